// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "panel/display_lines.h"

namespace voxrig::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;
using Strings = std::vector<std::string>;

class InterpreterSequences : public fakes::PanelFixture {
 protected:
  Strings FirstHeard(std::size_t count) const {
    Strings heard = Heard();
    heard.resize(std::min(count, heard.size()));
    return heard;
  }
};

TEST_F(InterpreterSequences, LimitKeysTellTheValueOrTakeTheTypedOne) {
  Type("S\r");
  EXPECT_THAT(Heard(), ElementsAre("start", "1", "4", "5"));
  EXPECT_EQ(ctx.tuning.searchLowerText, "145");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  EXPECT_FALSE(ctx.command.limitEntryFresh);

  Forget();
  Type("S144\r");
  EXPECT_THAT(Heard(), ElementsAre("start", "1", "4", "4", "ok"));
  EXPECT_EQ(ctx.tuning.searchLowerText, "144");
  EXPECT_THAT(program.display.TextAt(80, 250), StartsWith("144"));
  EXPECT_THAT(Commands(), IsEmpty());

  Forget();
  Type("E147\r");
  EXPECT_THAT(Heard(), ElementsAre("end", "1", "4", "7", "ok"));
  EXPECT_EQ(ctx.tuning.searchUpperText, "147");
  EXPECT_THAT(program.display.TextAt(750, 250), StartsWith("147"));

  // A frequency drawn between two keys (a search hit, a scan's step) starts
  // the limit being typed afresh: the next digit replaces it, and Enter with
  // nothing typed since tells it.
  Forget();
  Type("S14");
  ShowFrequency(ctx);
  Type("6\r");
  EXPECT_EQ(ctx.tuning.searchLowerText, "6");
  Forget();
  Type("E148");
  ShowFrequency(ctx);
  Type("\r");
  EXPECT_THAT(Heard(), ElementsAre("end", "1", "4", "8", "1", "4", "8"));

  // The step is sent on Enter whether or not a digit was typed.
  Forget();
  Type("I\r");
  EXPECT_THAT(Commands(), ElementsAre("ST012.50"));
  EXPECT_THAT(Heard(), ElementsAre("incr", "1", "2", "point", "5"));
  Forget();
  Type("I25\r");
  EXPECT_THAT(Commands(), ElementsAre("ST025000"));
  EXPECT_THAT(Heard(), ElementsAre("incr", "2", "5", "ok"));
  EXPECT_EQ(ctx.tuning.searchStepText, "25");
}

TEST_F(InterpreterSequences, ACommandKeyAbandonsALimitKeepingItsDigits) {
  Type("S1F");
  EXPECT_THAT(Heard(), ElementsAre("start", "1", "1", "4", "5", "point", "0", "fm.wav"));
  EXPECT_EQ(ctx.tuning.searchLowerText, "1");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);

  Type("I5B");
  EXPECT_EQ(ctx.tuning.searchStepText, "5");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kSelectBank);
}

// A typed value the receiver cannot take is refused at Enter and put back,
// so nothing goes to the receiver and no "ok" claims it did; left by another
// key, such a value is put back with "inv" before that key acts.
TEST_F(InterpreterSequences, AValueTheReceiverCannotTakeIsRefusedAndPutBack) {
  const BoundedText& lower = ctx.tuning.searchLowerText;
  const BoundedText& upper = ctx.tuning.searchUpperText;
  const BoundedText& step = ctx.tuning.searchStepText;
  const BoundedText& frequency = ctx.tuning.frequencyText;
  struct Case {
    const char* keys;
    const BoundedText& value;
    const char* keeps;
  };
  const std::vector<Case> cases = {
      {"I99999\r", step, "12.5"}, {"I0.01\r", step, "12.5"},      {"S3000\r", lower, "145"},
      {"E1.4.5\r", upper, "146"}, {"3000\r", frequency, "145.0"}, {"1.4.5\r", frequency, "145.0"},
  };
  for (const Case& c : cases) {
    Forget();
    Type(c.keys);
    EXPECT_EQ(Heard().back(), "inv") << c.keys;
    EXPECT_EQ(c.value, c.keeps) << c.keys;
    EXPECT_THAT(Commands(), IsEmpty()) << c.keys;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone) << c.keys;
  }
  EXPECT_THAT(program.display.TextAt(300, 150), StartsWith("145"));
  // Typed but never tuned, such a frequency goes into no bank file.
  Forget();
  Type("3000P05\r");
  EXPECT_EQ(Heard().back(), "inv");
  EXPECT_EQ(program.files.files.count("bank05.dat"), 0u);
  Type("I99999B");
  EXPECT_EQ(step, "12.5");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kSelectBank);
  // What the receiver takes goes through as before (the first Enter ends
  // the B sequence; the refused P gave up the 3000, so the second tunes
  // the line's frequency again).
  Forget();
  Type("\r\rI8.33\r2040\r");
  EXPECT_THAT(Commands(), ElementsAre("VA0145.00000", "ST008.33", "VA2040000000"));
}

TEST_F(InterpreterSequences, BankArgumentsOfTwoOrFourDigitsReachTheBankOperations) {
  PutBankFile("bank05.dat", "FM", {"146.0", "145.5"});
  Type("B05\r");
  EXPECT_THAT(FirstHeard(3), ElementsAre("bank", "0", "5"));
  EXPECT_THAT(Heard(), Contains("sel"));
  EXPECT_THAT(Commands(), Contains("VA0146.00000"));
  EXPECT_THAT(Sent("MQ"), IsEmpty()) << "selecting a bank never clears a receiver bank";
  EXPECT_EQ(ctx.poll.bankScanState, BankScan::kBankSelected);
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);

  // T with four digits: the channels of bank 05 go into bank 07.
  Forget();
  Type("T0507\r");
  EXPECT_EQ(ctx.command.entryText, "0507");
  EXPECT_THAT(program.files.files["bank07.dat"], HasSubstr("146.0\r\n \r\n145.5\r\n"));
  EXPECT_EQ(Heard().back(), "ok");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);

  Forget();
  Type("O05\r");
  EXPECT_THAT(program.files.files["bank05.dat"], HasSubstr("145.5\r\n \r\n146.0\r\n \r\n9999"));
  EXPECT_EQ(Heard().back(), "ok");

  Forget();
  ctx.tuning.frequencyText = "147.5";
  Type("P12\r");
  EXPECT_THAT(FirstHeard(3), ElementsAre("put", "1", "2"));
  EXPECT_THAT(program.files.files["bank12.dat"], HasSubstr("\r\n147.5\r\n"));
  EXPECT_EQ(Heard().back(), "ok");
}

TEST_F(InterpreterSequences, BankArgumentsOfOtherLengthsOrWithAPointAreRefused) {
  PutBankFile("bank05.dat", "FM", {"145.5"});
  const auto filesBefore = program.files.files;
  const char* sequences[] = {"B5\r",    "B123\r", "B0.\r",    "O.5\r",  "P1.\r",
                             "T05.7\r", "T\r",    "P12345\r", "B.5..\r"};
  for (const char* sequence : sequences) {
    Forget();
    ctx.command.limitEntryFresh = true;
    Type(sequence);
    ASSERT_FALSE(Heard().empty());
    EXPECT_EQ(Heard().back(), "inv") << sequence;
    EXPECT_THAT(Commands(), IsEmpty()) << sequence;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone) << sequence;
    EXPECT_FALSE(ctx.command.limitEntryFresh) << sequence;
    EXPECT_EQ(program.files.files, filesBefore) << sequence;
  }
  Forget();
  Type("B5\r");
  EXPECT_THAT(Heard(), ElementsAre("bank", "5", "inv"));
}

TEST_F(InterpreterSequences, WriteSequenceClearsTheNamedReceiverBankAtEnterThenWritesIt) {
  PutBankFile("bank03.dat", "FM", {"145.5"});
  Type("W03C");
  EXPECT_THAT(Heard(), ElementsAre("write", "fromb", "0", "3", "torb", "C"));
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_EQ(ctx.command.entryText, "03C");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kWriteToReceiver);

  Forget();
  // This receiver cannot be read back: the write is reported as unchecked.
  answers["MAC"] = "?\r\n";
  Press(keys::kEnter);
  EXPECT_THAT(Commands(),
              ElementsAre("MQC%%", "MXC00 RF0145500000 ST012500 MD1 TM            ", "MAC"));
  EXPECT_EQ(Heard().back(), "nochk");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
}

TEST_F(InterpreterSequences, WriteSequenceWithoutTheBankFileLeavesTheReceiverBankAlone) {
  Type("W07C");
  EXPECT_THAT(Heard(), ElementsAre("write", "fromb", "0", "7", "torb", "C", "bnf"));
  EXPECT_THAT(Commands(), IsEmpty())
      << "no bank file to write: the receiver's bank C is not cleared";
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
}

TEST_F(InterpreterSequences, WriteSequenceRefusesAThirdDigitAndWrongLetters) {
  Type("W034");
  EXPECT_THAT(Heard(), ElementsAre("write", "fromb", "0", "3", "torb", "4", "inv"));
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);

  // Only a receiver bank A to J, after two digits, may be cleared: a keypad
  // digit would otherwise clear partner bank "a", Space or F1 a bank that
  // does not exist.
  struct Case {
    const char* digits;
    int key;
  };
  const Case cases[] = {{"", 'C'},         {"0", 'C'},  {"0.", 'C'},      {"03", 'K'},
                        {"03", keys::kF1}, {"03", 'R'}, {"03", keys::kUp}};
  for (const Case& c : cases) {
    Forget();
    Type("W");
    Type(c.digits);
    Forget();
    Press(c.key);
    EXPECT_THAT(Heard(), ElementsAre("inv")) << c.digits << " then " << c.key;
    EXPECT_THAT(Commands(), IsEmpty()) << c.digits << " then " << c.key;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  }

  // A keypad digit is a third digit, not partner bank "a".
  Forget();
  Type("W03");
  Forget();
  Press(keys::kKeypad0 + 1);
  EXPECT_THAT(Heard(), ElementsAre("1", "inv"));
  EXPECT_THAT(Commands(), IsEmpty());

  // Space still sends its resume byte, and nothing else.
  Forget();
  Type("W03 ");
  EXPECT_EQ(program.line.written, "\x1e");
  EXPECT_EQ(Heard().back(), "inv");

  // Enter before the letter.
  Forget();
  Type("W03\r");
  EXPECT_EQ(Heard().back(), "inv");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
}

TEST_F(InterpreterSequences, MemoryScanSequenceTakesALetterAToJ) {
  Type("GB\r");
  EXPECT_THAT(Heard(), ElementsAre("radbank", "B", "shdel"));
  EXPECT_THAT(Commands(), ElementsAre("LC1", "MSB"));
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kStarted);
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);

  // G followed at once by Enter scans the same bank again.
  ctx.poll.scanState = ReceiverScan::kOff;
  Forget();
  Type("G\r");
  EXPECT_THAT(Commands(), ElementsAre("LC1", "MSB"));

  // A digit is said and dropped; the sequence stays open.
  ctx.poll.scanState = ReceiverScan::kOff;
  Forget();
  Type("G5");
  EXPECT_THAT(Heard(), ElementsAre("radbank", "5"));
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kMemoryScan);
  EXPECT_EQ(ctx.command.entryText, "B");

  // E, F, G and I are bank letters here.
  Type("E");
  EXPECT_EQ(ctx.command.entryText, "E");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kMemoryScan);

  // Any other key ends it.
  Forget();
  Type("Y");
  EXPECT_THAT(Heard(), ElementsAre("inv"));
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  EXPECT_THAT(Commands(), IsEmpty());

  // W, X and R keep their meaning.
  Type("GW");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kWriteToReceiver);
  Type("GX");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kReadReceiver);
}

TEST_F(InterpreterSequences, MemoryScanEnterWithoutOneBankLetterKeepsTheSequenceOpen) {
  // Left from another sequence: two characters, or one that names no bank.
  for (const char* left : {"12", "5"}) {
    Forget();
    ctx.command.pendingCommand = PendingCommand::kNone;
    ctx.command.entryText = left;
    Type("G\r");
    EXPECT_THAT(Heard(), ElementsAre("radbank", "inv")) << left;
    EXPECT_THAT(Commands(), IsEmpty()) << left;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kMemoryScan);
  }
  Forget();
  Type("C\r");
  EXPECT_THAT(Commands(), ElementsAre("LC1", "MSC"));
}

TEST_F(InterpreterSequences, DeleteSequenceRemovesTheBankFileAndSaysBnfWhenMissing) {
  PutBankFile("bank07.dat", "FM", {"145.5"});
  Type("D07\r");
  EXPECT_THAT(Heard(), ElementsAre("delete", "0", "7", "ok"));
  EXPECT_EQ(program.files.files.count("bank07.dat"), 0u);

  Forget();
  Type("D07\r");
  EXPECT_THAT(Heard(), ElementsAre("delete", "0", "7", "bnf"));

  PutBankFile("bank07.dat", "FM", {"145.5"});
  PutBankFile("bank0..dat", "FM", {"145.5"});
  for (const char* sequence : {"D7\r", "D007\r", "D0.\r", "D\r"}) {
    Forget();
    Type(sequence);
    EXPECT_EQ(Heard().back(), "inv") << sequence;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  }
  EXPECT_EQ(program.files.files.count("bank07.dat"), 1u);
  EXPECT_EQ(program.files.files.count("bank0..dat"), 1u);
  EXPECT_THAT(Commands(), IsEmpty());

  // D does nothing while another sequence is in progress.
  Forget();
  Type("BD");
  EXPECT_THAT(Heard(), ElementsAre("bank"));
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kSelectBank);
}

TEST_F(InterpreterSequences, KillOnlyWorksOnABankSelectedByHand) {
  Press('K');
  EXPECT_THAT(Heard(), IsEmpty());
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);

  PutBankFile("bank05.dat", "FM", {"145.5", "146.0"});
  Type("B05\r");
  Forget();
  Type("K");
  EXPECT_THAT(Heard(), ElementsAre("kill"));
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kKillChannel);
  Type("\r");
  const Strings heard = Heard();
  EXPECT_EQ(heard.back(), "ok");
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "ok"), 1);
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  EXPECT_THAT(program.files.files["bank05.dat"], Not(HasSubstr("145.5")));
  EXPECT_THAT(Commands(), Contains("VA0146.00000"));

  ctx.poll.bankScanState = BankScan::kScanning;
  Forget();
  Press('K');
  EXPECT_THAT(Heard(), IsEmpty());
}

TEST_F(InterpreterSequences, KillThatCannotBeWrittenSaysWriteErrorInsteadOfOk) {
  PutBankFile("bank05.dat", "FM", {"145.5", "146.0"});
  Type("B05\r");
  const std::string before = program.files.files["bank05.dat"];
  program.files.failingWrites.insert("bank05.dat");
  Forget();
  Type("K\r");
  EXPECT_EQ(Heard().back(), "wrerr");
  EXPECT_THAT(Heard(), Not(Contains("ok")));
  EXPECT_EQ(program.files.files["bank05.dat"], before);
}

TEST_F(InterpreterSequences, EnterEndsARunningSearchWritingItsLogBeforeTuning) {
  Press('R');
  ASSERT_EQ(ctx.poll.searchState, Search::kSearching);
  ctx.tuning.frequencyText = "145.5";
  Forget();
  Press(keys::kEnter);
  EXPECT_EQ(ctx.poll.searchState, Search::kOff);
  EXPECT_THAT(program.files.files["bank00.dat"], StartsWith("Scanbank\r\n"));
  EXPECT_THAT(Heard(), Contains("0"));
  EXPECT_EQ(Heard().back(), "ok");
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000"));
}

TEST_F(InterpreterSequences, AFailedWriteIsNeverFollowedByOk) {
  // A full disk at the end of a search: the search still ends and the
  // receiver is tuned, but after "wrerr" and the count no "ok" follows.
  Press('R');
  ctx.tuning.frequencyText = "145.5";
  program.files.diskFull = true;
  Forget();
  Press(keys::kEnter);
  EXPECT_THAT(Heard(), ElementsAre("wrerr", "0"));
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000"));
  EXPECT_EQ(ctx.poll.searchState, Search::kOff);
  program.files.diskFull = false;

  // D of a file that stays (a folder that cannot be written) says so; one
  // copied in under upper-case letters is the bank's file and goes.
  PutBankFile("bank07.dat", "FM", {"145.5"});
  program.files.failingRemoves.insert("bank07.dat");
  PutBankFile("BANK08.DAT", "FM", {"145.5"});
  Forget();
  Type("D07\r");
  EXPECT_THAT(Heard(), ElementsAre("delete", "0", "7", "wrerr"));
  EXPECT_EQ(program.files.files.count("bank07.dat"), 1u);
  Forget();
  Type("D08\r");
  EXPECT_THAT(Heard(), ElementsAre("delete", "0", "8", "ok"));
  EXPECT_EQ(program.files.files.count("BANK08.DAT"), 0u);

  // K on a bank whose file is longer than the bank in memory holds.
  std::vector<std::string> channels;
  for (int i = 0; i < 198; ++i) channels.push_back(std::to_string(140 + i));
  PutBankFile("bank09.dat", "FM", channels);  // 401 lines
  const std::string before = program.files.files["bank09.dat"];
  Type("B09\r");
  Forget();
  Type("K\r");
  EXPECT_EQ(Heard().back(), "toolong");
  EXPECT_THAT(Heard(), Not(Contains("ok")));
  EXPECT_EQ(program.files.files["bank09.dat"], before);
}

// The Enter that completes a command which fails, or a sequence already
// refused at one of its keys, ends at the failure: nothing is tuned, sent or
// said after it.
TEST_F(InterpreterSequences, EachEnterEndsAtItsCommandsFailure) {
  const std::string badStep =
      "bank05\r\nFM\r\n99999999999999999999999\r\n \r\n145.5\r\n \r\n9999\r\n";
  struct Row {
    const char* keys;
    std::string bank05;  // bank05.dat, when there is one
    Strings heard;       // without the pacing pauses
  };
  const Row rows[] = {
      {"W01A\r", "", {"write", "fromb", "0", "1", "torb", "A", "bnf", "bnf"}},
      {"W015\r", "", {"write", "fromb", "0", "1", "torb", "5", "inv", "inv"}},
      {"X01K\r", "", {"read", "intob", "0", "1", "fromrb", "inv", "inv"}},
      {"GK\r", "", {"radbank", "inv", "inv"}},
      {"T09\r", "", {"transfer", "0", "9", "bnf"}},
      {"T0509\r", "", {"transfer", "0", "5", "0", "9", "bnf"}},
      {"B05\r", "", {"bank", "0", "5", "bnf"}},
      {"B05\r", badStep, {"bank", "0", "5", "inv", "line", "3"}},
      {"B05\r",
       "bank05\r\nfm\r\n12.5\r\n \r\n145.5\r\n \r\n9999\r\n",
       {"bank", "0", "5", "inv", "line", "2"}},
      {"B05\r",
       "bank05\r\nFM\r\n12.5\r\n \r\n145.5\r\n \r\n3000\r\n \r\n9999\r\n",
       {"bank", "0", "5", "inv", "line", "7"}},
      {"O05\r", "", {"sort", "0", "5", "bnf"}},
      {"P05\r", "bank05\r\nAM\r\n12.5\r\n \r\n9999\r\n", {"put", "0", "5", "incmode"}},
      {"D0\r", "", {"delete", "0", "inv"}},
  };
  for (const Row& row : rows) {
    program.files.files.clear();
    if (!row.bank05.empty()) program.files.files["bank05.dat"] = row.bank05;
    const auto filesBefore = program.files.files;
    const std::string shownBefore = ctx.tuning.frequencyText.str();
    Forget();
    Type(row.keys);
    Strings spoken;
    for (const std::string& name : Heard()) {
      if (name != "shdel") spoken.push_back(name);
    }
    EXPECT_EQ(spoken, row.heard) << row.keys;
    EXPECT_THAT(Commands(), IsEmpty()) << row.keys;
    EXPECT_EQ(program.files.files, filesBefore) << row.keys;
    EXPECT_EQ(ctx.tuning.frequencyText, shownBefore) << row.keys;
    EXPECT_EQ(ctx.poll.bankScanState, BankScan::kOff) << row.keys;
  }
  // The refusal is for that Enter alone: the next Enter tunes as usual.
  Type("W015\r\r");
  EXPECT_EQ(Heard().back(), "ok");
  EXPECT_THAT(Commands(), ElementsAre("VA0145.00000"));
}

TEST_F(InterpreterSequences, EnterLeavesABankScanBeforeTuning) {
  SelectInMemory({"145.5", "146.0"});
  ctx.poll.bankScanState = BankScan::kScanning;
  ctx.poll.resumeCountdown = 3;
  Press(keys::kEnter);
  EXPECT_THAT(Heard(), ElementsAre("exitscan", "shdel", "ok"));
  EXPECT_THAT(Commands(), ElementsAre("VA0145.00000"));
  EXPECT_EQ(ctx.poll.bankScanState, BankScan::kOff);
  EXPECT_EQ(ctx.poll.resumeCountdown, 0);
}

TEST_F(InterpreterSequences, PendingCommandTransitions) {
  struct Row {
    const char* keys;
    PendingCommand pending;
  };
  using enum PendingCommand;
  const Row rows[] = {
      {"S", kLowerLimit},
      {"E", kUpperLimit},
      {"I", kStep},
      {"T", kTransfer},
      {"P", kPut},
      {"O", kSort},
      {"B", kSelectBank},
      {"G", kMemoryScan},
      {"W", kWriteToReceiver},
      {"D", kDeleteBank},
      {"X", kReadReceiver},
      {"SB", kSelectBank},
      {"BS", kLowerLimit},
      {"BG", kMemoryScan},
      {"GW", kWriteToReceiver},
      {"BW", kWriteToReceiver},
      {"BR", kNone},
      {"GR", kNone},
      {"WR", kNone},
      {"S1\r", kNone},
      {"B05", kSelectBank},
      {"TD", kTransfer},
      {"GS", kNone},
      {"DS", kLowerLimit},
      {"W0", kWriteToReceiver},
      {"G\r", kNone},
      {"BY", kSelectBank},
      {"SY", kNone},
      {"BX", kReadReceiver},
      {"XR", kNone},
  };
  for (const Row& row : rows) {
    ctx.command.pendingCommand = PendingCommand::kNone;
    ctx.command.entryText.clear();
    ctx.poll.searchState = Search::kOff;
    ctx.poll.scanState = ReceiverScan::kOff;
    ctx.poll.bankScanState = BankScan::kOff;
    Type(row.keys);
    EXPECT_EQ(ctx.command.pendingCommand, row.pending) << row.keys;
  }
}

}  // namespace
}  // namespace voxrig::testing
