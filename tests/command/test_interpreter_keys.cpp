// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command/interpreter.h"
#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "panel/display_lines.h"
#include "tuning/receiver_news.h"

namespace voxrig::testing {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using Strings = std::vector<std::string>;

class InterpreterKeys : public fakes::PanelFixture {};

// A receiver that has not answered since the start-up is away: the keys
// that need it say so and send nothing, the rest work, and the panel runs on.
TEST_F(InterpreterKeys, KeysBeforeAnyReplyMeetAReceiverThatIsAway) {
  ctx.link.linkState = ReceiverAnswer::kAwaitingFirst;
  NoticeNoFirstAnswer(ctx);
  silent = true;
  const struct {
    const char* keys;
    Strings spoken;
  } rows[] = {
      {"F", {"rnc"}},
      {"5\r", {"5", "rnc"}},
      {"A", {"rnc"}},
      {"C", {"stmode"}},
  };
  for (const auto& row : rows) {
    Forget();
    Type(row.keys);
    EXPECT_EQ(Spoken(), row.spoken) << row.keys;
  }
  EXPECT_TRUE(ctx.app.programRunning);
  EXPECT_THAT(Commands(), Each(Eq("LM")));  // only the poll cycle, asking for it
}

TEST_F(InterpreterKeys, QuitEndsTheProgramEvenInTheMiddleOfASequence) {
  Type("B0");
  Forget();
  Press('Q');
  EXPECT_THAT(Heard(), ElementsAre("quit"));
  EXPECT_FALSE(ctx.app.programRunning);
  EXPECT_THAT(Commands(), IsEmpty());
}

TEST_F(InterpreterKeys, TypedFrequencyIsTunedOnEnterAndTheNextDigitStartsAFreshOne) {
  Type("145.5\r");
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "5", "point", "5", "ok"));
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000"));
  EXPECT_EQ(ctx.tuning.frequencyText, "145.5");
  EXPECT_THAT(program.display.TextAt(300, 150), StartsWith("145.5000"));
  EXPECT_TRUE(ctx.command.frequencyEntryFresh);

  Type("43");
  EXPECT_EQ(ctx.tuning.frequencyText, "43");
  // Enter with nothing new typed sends VFO A again.
  Forget();
  Type("\r\r");
  EXPECT_THAT(Commands(), ElementsAre("VA0043000000", "VA0043.00000"));
}

TEST_F(InterpreterKeys, FullStopDeleteAndTheKeypadTypeAsTheMainKeys) {
  ctx.command.frequencyEntryFresh = false;
  ctx.tuning.frequencyText = "145";
  Press(keys::kFullStop);
  Press(keys::kPoint);  // the Delete key
  Press(keys::kKeypadPoint);
  EXPECT_THAT(Heard(), ElementsAre("point", "point", "point"));
  EXPECT_EQ(ctx.tuning.frequencyText, "145...");

  Forget();
  for (int key = keys::kKeypad0; key <= keys::kKeypad9; ++key) Press(key);
  EXPECT_THAT(Heard(), ElementsAre("0", "1", "2", "3", "4", "5", "6", "7", "8", "9"));
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_EQ(ctx.tuning.frequencyText, "145...0123456789");
}

TEST_F(InterpreterKeys, EachKeyWritesItsLineToTheDebugLog) {
  ctx.app.debugEnabled = true;
  ctx.panel.debugFile = program.files.CreateFile("debug1.dat");
  Press(keys::kEnter);
  Press(keys::kSpace);
  Press(keys::kFullStop);
  Press('A');
  Strings keyLines;
  const std::string& log = program.files.files["debug1.dat"];
  std::size_t start = 0;
  while (start < log.size()) {
    const std::size_t end = log.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
    const std::string line = log.substr(start, end - start);
    if (line.rfind("**", 0) == 0) keyLines.push_back(line);
    start = end + 2;
  }
  EXPECT_THAT(keyLines, ElementsAre("**C/R", "**SPC", "**.", "**A"));
}

TEST_F(InterpreterKeys, SpaceSendsTheResumeByteAndKeepsAMemoryScanStarting) {
  ctx.poll.scanState = ReceiverScan::kStarted;
  Press(keys::kSpace);
  EXPECT_EQ(program.line.written, "\x1e");
  EXPECT_THAT(Heard(), IsEmpty());
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kStarted);
}

TEST_F(InterpreterKeys, AnyOtherKeyLeavesAStartingMemoryScanAndThenActs) {
  ctx.poll.scanState = ReceiverScan::kStarted;
  Press('E');
  EXPECT_THAT(Heard(), ElementsAre("exitscan", "end"));
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kUpperLimit);
  EXPECT_TRUE(ctx.command.limitEntryFresh);

  // A key without meaning leaves it too, silently otherwise.
  Forget();
  ctx.poll.scanState = ReceiverScan::kStarted;
  Press('Y');
  EXPECT_THAT(Heard(), ElementsAre("exitscan"));
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
  EXPECT_THAT(Commands(), IsEmpty());
}

TEST_F(InterpreterKeys, TuningKeysMoveTheFrequencyByTheirAmounts) {
  struct Row {
    int key;
    const char* command;
    const char* shown;
  };
  const Row rows[] = {
      {keys::kUp, "VA0145.00100", "145.001"},      {keys::kDown, "VA0144.99900", "144.999"},
      {keys::kRight, "VA0145.00010", "145.0001"},  {keys::kLeft, "VA0144.99990", "144.9999"},
      {keys::kPageUp, "VA0145.01250", "145.0125"}, {keys::kPageDown, "VA0144.98750", "144.9875"},
  };
  for (const Row& row : rows) {
    ctx.tuning.frequencyText = "145.0";
    Forget();
    Press(row.key);
    EXPECT_THAT(Commands(), ElementsAre(row.command)) << "key " << row.key;
    EXPECT_EQ(ctx.tuning.frequencyText, row.shown) << "key " << row.key;
    // The frequency it lands on, as a readout.
    Strings said;
    for (char c : std::string(row.shown)) said.push_back(c == '.' ? "point" : std::string(1, c));
    EXPECT_EQ(Heard(), said) << "key " << row.key;
  }
}

TEST_F(InterpreterKeys, TuningKeysAreRefusedWhileTheReceiverOrABankIsBusy) {
  struct State {
    Search searchState;
    ReceiverScan scanState;
    BankScan bankScanState;
    bool upDownRefused;
  };
  const State states[] = {
      {Search::kSearching, ReceiverScan::kOff, BankScan::kOff, true},
      {Search::kStopped, ReceiverScan::kOff, BankScan::kOff, true},
      {Search::kOff, ReceiverScan::kScanning, BankScan::kOff, true},
      {Search::kOff, ReceiverScan::kStopped, BankScan::kOff, true},
      // Up and Down step the selected bank instead
      {Search::kOff, ReceiverScan::kOff, BankScan::kBankSelected, false},
      // a bank scan: Up and Down still tune
      {Search::kOff, ReceiverScan::kOff, BankScan::kScanning, false},
  };
  for (const State& state : states) {
    SelectInMemory({"145.5", "146.0"});
    ctx.poll.searchState = state.searchState;
    ctx.poll.scanState = state.scanState;
    ctx.poll.bankScanState = state.bankScanState;
    ctx.poll.squelchClosed = false;
    for (int key : {keys::kLeft, keys::kRight, keys::kPageUp, keys::kPageDown}) {
      Forget();
      Press(key);
      EXPECT_THAT(Heard(), ElementsAre("inv")) << "key " << key;
      EXPECT_THAT(Commands(), IsEmpty()) << "key " << key;
    }
    for (int key : {keys::kUp, keys::kDown}) {
      Forget();
      Press(key);
      if (state.upDownRefused) {
        EXPECT_THAT(Heard(), ElementsAre("inv"));
        EXPECT_THAT(Commands(), IsEmpty());
      } else {
        EXPECT_EQ(Commands().size(), 1u);
      }
    }
  }
}

TEST_F(InterpreterKeys, ScanStartingIsLeftBeforeASideTuningKeyActsButUpAndDownAreRefused) {
  ctx.poll.scanState = ReceiverScan::kStarted;
  Press(keys::kUp);
  EXPECT_THAT(Heard(), ElementsAre("inv"));
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kStarted);

  Forget();
  Press(keys::kRight);
  EXPECT_THAT(Heard(), ElementsAre("exitscan", "1", "4", "5", "point", "0", "0", "0", "1"));
  EXPECT_THAT(Commands(), ElementsAre("VA0145.00010"));
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
}

TEST_F(InterpreterKeys, UpAndDownStepThroughTheSelectedBankAndMarkTheFirstChannel) {
  SelectInMemory({"145.5", "146.0", "147.25"});
  Press(keys::kUp);
  Press(keys::kUp);
  EXPECT_THAT(Commands(), ElementsAre("VA0146.00000", "VA0147.25000"));
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "6", "point", "0", "channel", "2", "1", "4", "7",
                                   "point", "2", "5", "channel", "3"));

  Forget();
  Press(keys::kUp);  // from the last channel to the first
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000"));
  EXPECT_THAT(Heard(), ElementsAre("beep", "1", "4", "5", "point", "5", "channel", "1"));
  EXPECT_EQ(ctx.banks.bankScanIndex, 4);

  Forget();
  Press(keys::kDown);  // from the first channel to the last
  EXPECT_THAT(Commands(), ElementsAre("VA0147.25000"));
  EXPECT_EQ(ctx.banks.bankScanIndex, 8);
  Press(keys::kDown);
  Press(keys::kDown);
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "7", "point", "2", "5", "channel", "3", "1", "4", "6",
                                   "point", "0", "channel", "2", "beep", "1", "4", "5", "point",
                                   "5", "channel", "1"));
  EXPECT_EQ(ctx.tuning.frequencyText, "145.5");
}

TEST_F(InterpreterKeys, BankSteppingFollowsTheRealLastChannelNotAStaleOne) {
  SelectInMemory({"145.5", "146.0", "147.25"});
  // The bank in memory grew (a merge) and shrank (a deleted channel) since
  // bankLastSlot was read; the terminator is what counts.
  ctx.banks.bankLastSlot = 20;
  Press(keys::kDown);
  EXPECT_THAT(Commands(), ElementsAre("VA0147.25000"));

  Forget();
  ctx.banks.bankSlots[8] = "9999";  // the last channel deleted
  ctx.banks.bankScanIndex = 8;
  Press(keys::kUp);
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000"));
  EXPECT_THAT(Heard(), ElementsAre("beep", "1", "4", "5", "point", "5", "channel", "1"));
  Press(keys::kDown);
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000", "VA0146.00000"));
}

TEST_F(InterpreterKeys, AnEmptySelectedBankHasNoChannelToStepOrScan) {
  SelectInMemory({});
  for (int key : {keys::kUp, keys::kDown, static_cast<int>('R')}) {
    Forget();
    Press(key);
    EXPECT_THAT(Heard(), ElementsAre("inv")) << "key " << key;
    EXPECT_THAT(Commands(), IsEmpty()) << "9999 is never tuned";
  }
  EXPECT_EQ(ctx.poll.bankScanState, BankScan::kBankSelected);
}

TEST_F(InterpreterKeys, FSpeaksTheFrequencyAndModeOrScanWhileTheReceiverMoves) {
  Press('F');
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "5", "point", "0", "fm.wav"));

  struct State {
    ReceiverScan scanState;
    BankScan bankScanState;
    bool squelchClosed;
  };
  for (State state : {State{ReceiverScan::kStarted, BankScan::kOff, false},
                      State{ReceiverScan::kScanning, BankScan::kOff, false},
                      State{ReceiverScan::kOff, BankScan::kScanning, true}}) {
    Forget();
    ctx.poll.scanState = state.scanState;
    ctx.poll.bankScanState = state.bankScanState;
    ctx.poll.squelchClosed = state.squelchClosed;
    Press('F');
    EXPECT_THAT(Heard(), ElementsAre("scan"));
  }

  // A memory scan resting on a channel: the frequency, without the mode.
  Forget();
  ctx.poll.scanState = ReceiverScan::kStopped;
  ctx.poll.bankScanState = BankScan::kOff;
  Press('F');
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "5", "point", "0"));

  // The program's search sweeping: "srching" first; resting on a hit: not.
  ctx.poll.scanState = ReceiverScan::kOff;
  for (const Search searchState : {Search::kSearching, Search::kStopped}) {
    Forget();
    ctx.poll.searchState = searchState;
    Press('F');
    if (searchState == Search::kSearching) {
      EXPECT_THAT(Heard(), ElementsAre("srching", "1", "4", "5", "point", "0", "fm.wav"));
    } else {
      EXPECT_THAT(Heard(), ElementsAre("1", "4", "5", "point", "0", "fm.wav"));
    }
  }
}

TEST_F(InterpreterKeys, SwitchKeysSpeakAndSendTheirStates) {
  Press('N');
  Press('N');
  EXPECT_THAT(Heard(), ElementsAre("svoice", "off", "svoice", "on"));
  EXPECT_TRUE(ctx.poll.scanVoice);

  Forget();
  Press('C');
  EXPECT_THAT(Heard(), ElementsAre("stmode"));
  EXPECT_THAT(program.display.TextAt(500, 250), StartsWith("STOP"));
  Press('C');
  EXPECT_THAT(program.display.TextAt(500, 250), StartsWith("CONT"));
  EXPECT_EQ(ctx.poll.searchStopMode, StopMode::kContinue);

  Forget();
  Press('A');
  Press('L');
  EXPECT_THAT(Heard(), ElementsAre("atton", "noise", "on"));
  EXPECT_THAT(Commands(), ElementsAre("AT1", "NL1"));

  Forget();
  ctx.poll.signalLevel = 12;
  Press('M');
  EXPECT_THAT(Heard(), ElementsAre("s", "9", "plus"));
  EXPECT_THAT(Commands(), IsEmpty());
}

TEST_F(InterpreterKeys, FunctionKeysSelectTheModesAndRedrawTheModeLine) {
  struct Row {
    int key;
    const char* modeText;
    const char* prompt;
    const char* command;
  };
  const Row rows[] = {{112, "FM", "FM", "MD1"},   {113, "AM", "AM", "MD2"},
                      {114, "LSB", "LSB", "MD4"}, {115, "USB", "USB", "MD3"},
                      {116, "WFM", "WFM", "MD0"}, {117, "CW ", "cw", "MD5"},
                      {118, "AUT", "auto", "AU1"}};
  for (const Row& row : rows) {
    Forget();
    Press(row.key);
    EXPECT_EQ(ctx.tuning.modeText, row.modeText);
    EXPECT_THAT(Heard(), ElementsAre(row.prompt));
    EXPECT_THAT(Commands(), ElementsAre(row.command));
    const auto line = program.display.RunAt(370, 80);
    EXPECT_THAT(line.text, StartsWith(std::string(row.modeText) + "      "));
    EXPECT_EQ(line.font, ArielBold(50));
    EXPECT_EQ(program.display.font(), AerialBold(30));
  }
}

TEST_F(InterpreterKeys, EachKeyStartsAtTheEchoAreaInItsFont) {
  Press('Y');  // a key that starts no sequence: nothing is typed to show
  EXPECT_EQ(program.display.font(), ArielBold(50));
  program.display.Print("echo");
  EXPECT_EQ(program.display.TextAt(340, 370), "echo");
}

TEST_F(InterpreterKeys, RStartsTheSearchWithoutABankAndTheBankScanWithOne) {
  Press('R');
  EXPECT_EQ(ctx.poll.searchState, Search::kSearching);
  ASSERT_FALSE(Commands().empty());
  EXPECT_EQ(Commands().back(), "VS");

  Forget();
  ctx.poll.searchState = Search::kOff;
  SelectInMemory({"145.5", "146.0"});
  ctx.banks.bankSlots[1] = "AM";
  ctx.banks.bankSlots[2] = "25";
  ctx.poll.scanState = ReceiverScan::kStarted;
  ctx.command.pendingCommand = PendingCommand::kSelectBank;
  Press('R');
  EXPECT_EQ(ctx.poll.bankScanState, BankScan::kStarted);
  EXPECT_EQ(ctx.banks.bankScanIndex, 4);
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000", "MD2", "ST025000"));
  // The memory scan that was starting is left after the bank scan starts.
  EXPECT_EQ(trace.back(), "exitscan");
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
  EXPECT_EQ(ctx.tuning.modeText, "AM");
  EXPECT_EQ(ctx.tuning.searchStepText, "25");
}

TEST_F(InterpreterKeys, TypingIntoAFullTextIsRefusedInsteadOfLost) {
  ctx.command.frequencyEntryFresh = false;
  ctx.tuning.frequencyText = std::string(254, '1');
  Press('5');
  EXPECT_THAT(Heard(), ElementsAre("inv"));
  EXPECT_EQ(ctx.tuning.frequencyText.str(), std::string(254, '1'));

  // A fresh entry empties the text first, so it takes the digit.
  Forget();
  ctx.command.frequencyEntryFresh = true;
  Press('5');
  EXPECT_THAT(Heard(), ElementsAre("5"));
  EXPECT_EQ(ctx.tuning.frequencyText, "5");

  Forget();
  Press('B');
  ctx.command.entryText = std::string(254, '0');
  Press('7');
  EXPECT_THAT(Heard(), ElementsAre("bank", "inv"));
  EXPECT_EQ(ctx.command.entryText.size(), 254u);
}

TEST_F(InterpreterKeys, DigitsAreIgnoredWhileABankScanRuns) {
  ctx.poll.bankScanState = BankScan::kStarted;
  Type("14.");
  EXPECT_THAT(Heard(), IsEmpty());
  EXPECT_EQ(ctx.tuning.frequencyText, "145.0");
}

TEST_F(InterpreterKeys, SeparatorCollectsTheAnswerToTheKeysCommand) {
  answers["AT1"] = "LM 120\r\n";
  Press('A');
  EXPECT_EQ(program.line.incoming, "");  // taken by the separator
  EXPECT_EQ(ctx.panel.keyQueueCount, 0);
}

TEST_F(InterpreterKeys, QueuedKeysAreTakenInOrder) {
  PanelState& panel = ctx.panel;
  for (int key : std::initializer_list<int>{'1', 0, '2', 0, '3', 0})
    panel.keyQueue[static_cast<std::size_t>(panel.keyQueueCount++)] = key;
  InterpretKey(ctx);
  EXPECT_EQ(panel.currentKey, '1');
  EXPECT_EQ(panel.keyQueueCount, 5);
  while (panel.keyQueueCount > 0) InterpretKey(ctx);
  EXPECT_EQ(ctx.tuning.frequencyText, "123");
  // An empty queue hands nothing over.
  InterpretKey(ctx);
  EXPECT_EQ(panel.keyQueueCount, 0);
  EXPECT_THAT(Heard(), ElementsAre("1", "2", "3"));
}

}  // namespace
}  // namespace voxrig::testing
