// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "command/key_codes.h"
#include "command/receiver_bank_keys.h"
#include "fakes/connected_panel.h"
#include "fakes/scripted_window.h"
#include "memory/memory_scan.h"

namespace voxrig::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Strings = std::vector<std::string>;

// The receiver's own answer to a bare "MR" on channel A05.
const char* const kChannelA05 = "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRepeater    \r\n";

class MemoryScan : public fakes::PanelFixture {
 protected:
  // The receiver's memory scan resting on a channel, as the poll cycle sees it.
  void ScanRestingOnAChannel() {
    ctx.poll.scanState = ReceiverScan::kStopped;
    ctx.poll.squelchClosed = false;
  }
};

TEST_F(MemoryScan, StartWithoutABankLetterSendsMsAlone) {
  Type("G\r");
  EXPECT_THAT(trace, ElementsAre("radbank", "TX LC1", "shdel", "TX MS"));
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kStarted);
}

// The receiver reports where its scan stopped by itself; the answer of a
// key (Space) read just then takes the report, and the level answers after
// it carry no place: the rest is still told where it is.
TEST_F(MemoryScan, AReportTakenWithAKeysAnswerStillPlacesTheRest) {
  Type("G\r");
  Deliver(fakes::KeyDown(keys::kSpace));
  Deliver(fakes::KeyUp(keys::kSpace));
  program.line.Answer("LC 201 MA00 RF0145850000\r\n");
  Tick();  // Space's separator reads the report
  Forget();
  Cycles(3, "LM 201\r\n");
  EXPECT_EQ(ctx.tuning.frequencyText, "145.85000");
  EXPECT_THAT(Spoken(), ::testing::IsSupersetOf({"stop", "8"}));
}

TEST_F(MemoryScan, StartSaysScanItselfOnlyWhenTheScanVoiceIsOff) {
  ctx.poll.scanVoice = false;
  Type("GA\r");
  EXPECT_THAT(trace, ElementsAre("radbank", "A", "TX LC1", "shdel", "TX MSA", "scan"));
}

TEST_F(MemoryScan, PassRecordsTheChannelFromTheReceiversRealAnswer) {
  answers["MR"] = kChannelA05;
  ctx.app.debugEnabled = true;
  ctx.panel.debugFile = program.files.CreateFile("debug1.dat");
  ScanRestingOnAChannel();
  Press('P');
  EXPECT_THAT(trace, ElementsAre("pass", "TX MR", "shdel", "shdel", "TX MP1", "shdel", "TX MS"));
  EXPECT_EQ(ctx.memory.passCount, 2);
  EXPECT_EQ(ctx.memory.passedChannels[1], "A05");
  EXPECT_THAT(program.files.files["debug1.dat"],
              HasSubstr("RX= MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRepeater    \r\n"));
}

TEST_F(MemoryScan, PassFindsTheChannelBehindOtherWaitingLines) {
  // Level reports and the separator's empty lines may stand before it.
  answers["MR"] = std::string("LC%000 MB07\r\n\r\n") + kChannelA05;
  ScanRestingOnAChannel();
  Press('P');
  EXPECT_EQ(ctx.memory.passedChannels[1], "A05");
  EXPECT_THAT(Commands(), ElementsAre("MR", "MP1", "MS"));
}

TEST_F(MemoryScan, PassWithoutAChannelInTheAnswerIsRefused) {
  for (const char* answer : {"?\r\n", "", "MXA0", "MX%%5 MP0\r\n", "LM 120\r\n"}) {
    Forget();
    answers["MR"] = answer;
    ScanRestingOnAChannel();
    Press('P');
    EXPECT_THAT(Heard(), ElementsAre("pass", "shdel", "inv")) << answer;
    EXPECT_THAT(Commands(), ElementsAre("MR")) << answer;
    EXPECT_EQ(ctx.memory.passCount, 1) << answer;
  }
}

TEST_F(MemoryScan, PIsAPutUnlessTheScanRestsOnAChannel) {
  ctx.poll.scanState = ReceiverScan::kScanning;
  ctx.poll.squelchClosed = true;
  Press('P');
  EXPECT_THAT(Heard(), ElementsAre("put"));
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kPut);

  // Just started: the scan is left first, then P starts a put.
  Forget();
  ctx.poll.scanState = ReceiverScan::kStarted;
  ctx.poll.squelchClosed = false;
  Press('P');
  EXPECT_THAT(Heard(), ElementsAre("exitscan", "put"));
  EXPECT_THAT(Commands(), IsEmpty());
}

TEST_F(MemoryScan, PassBeyondTheLastSlotIsRefusedAndSendsNothing) {
  answers["MR"] = kChannelA05;
  ScanRestingOnAChannel();
  for (std::size_t i = 1; i < 49; ++i) ctx.memory.passedChannels[i] = "C10";
  ctx.memory.passCount = 49;
  Press('P');
  EXPECT_EQ(ctx.memory.passedChannels[49], "A05");
  EXPECT_EQ(ctx.memory.passCount, 50);

  Forget();
  Press('P');
  EXPECT_THAT(Heard(), ElementsAre("inv"));
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_EQ(ctx.memory.passCount, 50);

  // Leaving the scan gives back all 49 and makes room again.
  Forget();
  Press(keys::kEnter);
  const Strings commands = Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "MP0"), 49);
  EXPECT_EQ(ctx.memory.passCount, 1);
}

TEST_F(MemoryScan, FiftyPassesInOneScanRecordFortyNine) {
  ScanRestingOnAChannel();
  for (int n = 0; n < 50; ++n) {
    const std::string channel =
        std::string("B") + static_cast<char>('0' + n / 10) + static_cast<char>('0' + n % 10);
    answers["MR"] = "MX" + channel + " MP0 RF0145500000\r\n";
    Press('P');
  }
  EXPECT_EQ(ctx.memory.passCount, 50);
  EXPECT_EQ(ctx.memory.passedChannels[1], "B00");
  EXPECT_EQ(ctx.memory.passedChannels[49], "B48");
  EXPECT_EQ(Heard().back(), "inv");
}

TEST_F(MemoryScan, EnterRestoresTwoPassesInOrderThenTunes) {
  ScanRestingOnAChannel();
  answers["MR"] = kChannelA05;
  Press('P');
  answers["MR"] = "MXB12 MP0 RF0146000000 ST012500 AU0 MD1 AT0 TMTower       \r\n";
  Press('P');
  ctx.tuning.frequencyText = "145.5";
  Forget();
  Press(keys::kEnter);
  EXPECT_THAT(trace, ElementsAre("exitscan", "TX MRA05", "shdel", "TX MP0", "shdel", "TX MRB12",
                                 "shdel", "TX MP0", "shdel", "shdel", "TX VA0145.50000", "ok"));
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
  EXPECT_EQ(ctx.memory.passCount, 1);
}

TEST_F(MemoryScan, EnterWithoutAScanSendsNoRecallAndSaysNoExit) {
  ctx.memory.passCount = 2;  // a pass left from a scan that ended otherwise
  ctx.memory.passedChannels[1] = "A05";
  ctx.poll.bankScanState = BankScan::kBankSelected;  // a bank selected by hand is no scan
  Press(keys::kEnter);
  EXPECT_THAT(trace, ElementsAre("TX VA0145.00000", "ok"));
  EXPECT_EQ(ctx.memory.passCount, 2);

  // The next scan that is left gives it back.
  Forget();
  ctx.poll.scanState = ReceiverScan::kScanning;
  Press(keys::kEnter);
  EXPECT_THAT(Commands(), ElementsAre("MRA05", "MP0", "VA0145.00000"));
}

TEST_F(MemoryScan, CheckTouchesNoBankThatAlreadyHoldsNinety) {
  for (char bank = 'A'; bank <= 'J'; ++bank) {
    const std::string letter(1, bank);
    answers["MW" + letter] = "MW " + letter + ":90 " + static_cast<char>(bank + 32) + ":10\r\n";
  }
  Press('Z');
  EXPECT_THAT(Commands(),
              ElementsAre("MWA", "MWB", "MWC", "MWD", "MWE", "MWF", "MWG", "MWH", "MWI", "MWJ"));
  Strings expected = {"ckconfig"};
  for (int i = 0; i < 10; ++i) expected.push_back("shdel");
  expected.push_back("ok");
  EXPECT_THAT(Heard(), ElementsAreArray(expected));
}

TEST_F(MemoryScan, CheckSetsUpABankThatDoesNotHoldNinety) {
  for (char bank = 'A'; bank <= 'J'; ++bank) {
    const std::string letter(1, bank);
    answers["MW" + letter] = "MW " + letter + ":90 x:10\r\n";
  }
  answers["MWC"] = "MW C:50 c:50\r\n";
  // Resizing takes the receiver a while: it answers during the wait.
  answers["MWC90"] = "";
  bool resized = false;
  program.sound.OnPlayed([&](const std::string& name) {
    if (name == "beep" && !resized) {
      resized = true;
      program.line.Answer("\r\n");
    }
  });
  Press('Z');
  const Strings commands = Commands();
  const auto setUp = std::find(commands.begin(), commands.end(), "MWC90");
  ASSERT_NE(setUp, commands.end());
  EXPECT_EQ(*(setUp - 1), "MWC");
  EXPECT_EQ(*(setUp + 1), "MWD");
  EXPECT_THAT(Heard(), Contains("C"));
  EXPECT_EQ(Heard().back(), "ok");
}

TEST_F(MemoryScan, CheckAsksAgainUntilTheBankAnswers) {
  for (char bank = 'A'; bank <= 'J'; ++bank) {
    const std::string letter(1, bank);
    answers["MW" + letter] = "MW " + letter + ":90 x:10\r\n";
  }
  // Bank B's first answer is lost; the level report in its place is no answer.
  int asked = 0;
  program.line.responder = [&](const std::string& command) -> std::string {
    if (command == "MWB" && asked++ == 0) return "LM%000\r\n";
    const auto answer = answers.find(command);
    return answer != answers.end() ? answer->second : std::string("\r\n");
  };
  Press('Z');
  EXPECT_THAT(Commands(), ElementsAre("MWA", "MWB", "MWB", "MWC", "MWD", "MWE", "MWF", "MWG", "MWH",
                                      "MWI", "MWJ"));
  EXPECT_EQ(Heard().back(), "ok");
}

TEST_F(MemoryScan, CheckGivesUpOnASilentReceiverAfterTheFirstBankWithOneRncAndNoOk) {
  silent = true;
  Press('Z');
  EXPECT_EQ(Commands(), Strings(10, "MWA"));
  EXPECT_THAT(Spoken(), ElementsAre("ckconfig", "rnc"));

  // The next key is handled as usual.
  Forget();
  Type("5");
  EXPECT_THAT(Heard(), ElementsAre("5"));
}

// The receiver switched off 9 s into a bank's resize: "rnc" within a pause
// of the loss, said once, no beeps after it, nothing sent after it, no "ok".
TEST_F(MemoryScan, CheckHearsTheLossDuringAResizeWithinAPause) {
  for (char bank = 'A'; bank <= 'J'; ++bank) {
    answers["MW" + std::string(1, bank)] = "MW " + std::string(1, bank) + ":50 x:50\r\n";
  }
  answers["MWA90"] = "";  // resizing: nothing until it is done
  long long resizeAt = -1, lostAt = -1, rncAt = -1;
  Strings afterLoss;
  program.sound.OnPlayed([&](const std::string& name) {
    const long long now = program.time.now();
    if (name == "A" && resizeAt < 0) resizeAt = now;
    if (lostAt >= 0) afterLoss.push_back(name);
    if (name == "rnc" && rncAt < 0) rncAt = now;
    if (resizeAt >= 0 && lostAt < 0 && now - resizeAt >= 9000) {
      lostAt = now;
      program.line.hungUp = true;
    }
  });
  Press('Z');
  ASSERT_GE(lostAt, 0);
  EXPECT_LE(rncAt - lostAt, 300) << "a poll period";
  EXPECT_EQ(std::count(afterLoss.begin(), afterLoss.end(), "rnc"), 1);
  EXPECT_THAT(afterLoss, ::testing::Not(Contains("beep")));
  EXPECT_THAT(afterLoss, ::testing::Not(Contains("ok")));
  EXPECT_EQ(Commands().back(), "MWA90");
  EXPECT_TRUE(ctx.link.receiverLost);
  // The next key is taken at once, and told the receiver is away.
  Forget();
  Press('M');
  EXPECT_THAT(Heard(), ElementsAre("rnc"));
}

TEST_F(MemoryScan, QueryReceiverBankReadsTheKeyBeingHandled) {
  PutBankFile("bank05.dat", "FM", {"145.5"});
  ctx.command.pendingCommand = PendingCommand::kWriteToReceiver;
  ctx.command.entryText = "05";
  ctx.panel.currentKey = 'J';
  QueryReceiverBank(ctx);
  // The receiver's bank is cleared at Enter, not at its letter.
  EXPECT_THAT(trace, ElementsAre("J"));
  EXPECT_EQ(ctx.command.entryText, "05J");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kWriteToReceiver);
}

}  // namespace
}  // namespace voxrig::testing
