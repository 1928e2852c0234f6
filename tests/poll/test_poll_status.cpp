// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/connected_panel.h"
#include "panel/display_lines.h"
#include "poll/poll_cycle.h"
#include "poll/scan_status_lines.h"

namespace voxrig {
namespace {

using fakes::ConnectedPanel;
using fakes::kQuiet;
using fakes::kSignal;
using Strings = std::vector<std::string>;

void ExpectStatusLine(const ConnectedPanel& rig, const std::string& text) {
  const auto status = rig.program.display.RunAt(270, 320);
  EXPECT_EQ(status.text, text);
  EXPECT_EQ(status.colour, Colour::kRed);
  EXPECT_EQ(status.font, ArielBold(30));
}

TEST(PollStatus, IdlePanelAsksTheLevelOnceAPollCycle) {
  ConnectedPanel rig;
  rig.Cycles(3, kQuiet);
  EXPECT_EQ(rig.program.Commands(), (Strings{"LM", "LM", "LM"}));
  EXPECT_FALSE(rig.program.display.DrewAt(270, 320));
  EXPECT_TRUE(rig.program.Heard().empty());
}

TEST(PollStatus, ReceiverScanStartAndStopAreShownAndSpokenOnce) {
  ConnectedPanel rig;
  rig.ctx.poll.scanState = ReceiverScan::kStarted;
  rig.Cycle(kQuiet);
  ExpectStatusLine(rig, kScanningLine);
  EXPECT_EQ(rig.ctx.poll.scanState, ReceiverScan::kScanning);
  rig.Cycle(kQuiet);
  EXPECT_EQ(rig.program.Heard(), Strings{"scan"});

  rig.program.ClearRecords();
  rig.Cycle(kSignal);
  ExpectStatusLine(rig, kStoppedLine);
  EXPECT_EQ(rig.ctx.poll.scanState, ReceiverScan::kStopped);
  // "stop", then where it rests (this level answer names no channel).
  EXPECT_EQ(rig.program.Heard(), (Strings{"stop", "1", "4", "5", "point", "0"}));
  // The STOPPED line is printed again while the scan holds, the prompt is not.
  rig.program.ClearRecords();
  rig.Cycle(kSignal);
  ExpectStatusLine(rig, kStoppedLine);
  EXPECT_TRUE(rig.program.Heard().empty());

  rig.Cycle(kQuiet);
  ExpectStatusLine(rig, kScanningLine);
  EXPECT_EQ(rig.program.Heard(), Strings{"scan"});
  EXPECT_EQ(rig.ctx.poll.scanState, ReceiverScan::kScanning);
}

TEST(PollStatus, ReceiverScanIsSilentWithoutScanVoice) {
  ConnectedPanel rig;
  rig.ctx.poll.scanVoice = false;
  rig.ctx.poll.scanState = ReceiverScan::kStarted;
  rig.Cycle(kQuiet);
  rig.Cycle(kSignal);
  rig.Cycle(kQuiet);
  ExpectStatusLine(rig, kScanningLine);
  EXPECT_TRUE(rig.program.Heard().empty());
}

TEST(PollStatus, ReceiverScanStopTakesTwoMoreTicksAndShowsTheHeldFrequency) {
  ConnectedPanel rig;
  rig.ctx.poll.scanState = ReceiverScan::kScanning;
  rig.answers["LM"] = "LC 120 MA05 RF0145125000\r\n";
  rig.ctx.poll.pollState = PollStep::kSendLevelPoll;
  RunPollStep(rig.ctx);
  RunPollStep(rig.ctx);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kSettleOnHeldChannel);
  RunPollStep(rig.ctx);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kShowHeldChannel);
  EXPECT_FALSE(rig.program.display.DrewAt(300, 150));
  RunPollStep(rig.ctx);
  // The receive state is asked for once, for the channel held and its name.
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kReadHeldChannel);
  EXPECT_EQ(rig.ctx.tuning.frequencyText, "145.12500");
  EXPECT_EQ(rig.ctx.tuning.frequencyDigits, "145.12500");
  EXPECT_EQ(rig.program.display.TextAt(300, 150).substr(0, 9), "145.12500");
  RunPollStep(rig.ctx);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kIdle);
  EXPECT_EQ(rig.program.Commands(), (Strings{"LM", "RX"}));
}

TEST(PollStatus, HeldScanWithoutAFrequencyInTheAnswerKeepsTheShownFrequency) {
  ConnectedPanel rig;
  rig.ctx.poll.scanState = ReceiverScan::kScanning;
  rig.ctx.tuning.frequencyText = "145.5";
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.ctx.tuning.frequencyText, "145.5");
  EXPECT_FALSE(rig.program.display.DrewAt(300, 150));
}

// A bank of two channels with its end mark.
void LoadBank(Context& ctx) {
  BankState::Slots& slots = ctx.banks.bankSlots;
  slots[0] = "bank05";
  slots[1] = "FM";
  slots[2] = "12.5";
  slots[3] = " ";
  slots[4] = "145.5";
  slots[5] = " ";
  slots[6] = "146.0";
  slots[7] = " ";
  slots[8] = "9999";
  ctx.poll.bankScanState = BankScan::kStarted;
  ctx.banks.bankScanIndex = 4;
}

TEST(PollStatus, BankScanTunesEachChannelAndWrapsAtTheEndMark) {
  ConnectedPanel rig;
  LoadBank(rig.ctx);
  rig.Cycle(kQuiet);
  ExpectStatusLine(rig, kScanningLine);
  EXPECT_EQ(rig.ctx.poll.bankScanState, BankScan::kScanning);
  EXPECT_EQ(rig.ctx.banks.bankScanIndex, 6);
  EXPECT_EQ(rig.ctx.tuning.frequencyText, "145.5");
  rig.Cycle(kQuiet);
  EXPECT_EQ(rig.ctx.banks.bankScanIndex, 4);
  rig.Cycle(kQuiet);
  EXPECT_EQ(rig.program.Commands(),
            (Strings{"LM", "VA0145.50000", "LM", "VA0146.00000", "LM", "VA0145.50000"}));
  EXPECT_EQ(rig.program.Heard(), Strings{"scan"});
}

TEST(PollStatus, BankScanHoldsOnASignalAndSaysStopOnce) {
  ConnectedPanel rig;
  LoadBank(rig.ctx);
  rig.Cycle(kQuiet);
  rig.program.ClearRecords();
  rig.Cycle(kSignal);
  ExpectStatusLine(rig, kStoppedLine);
  EXPECT_EQ(rig.ctx.poll.bankScanState, BankScan::kStopped);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kIdle);
  rig.program.ClearRecords();
  rig.Cycle(kSignal);
  EXPECT_FALSE(rig.program.display.DrewAt(270, 320));
  EXPECT_TRUE(rig.program.Heard().empty());
  EXPECT_EQ(rig.program.Commands(), Strings{"LM"});
  // The signal goes: the scan moves on and says so again.
  rig.Cycle(kQuiet);
  ExpectStatusLine(rig, kScanningLine);
  EXPECT_EQ(rig.program.Heard(), Strings{"scan"});
  EXPECT_EQ(rig.ctx.poll.bankScanState, BankScan::kScanning);
}

TEST(PollStatus, BankScanIsSilentWithoutScanVoice) {
  ConnectedPanel rig;
  LoadBank(rig.ctx);
  rig.ctx.poll.scanVoice = false;
  rig.Cycle(kQuiet);
  rig.Cycle(kSignal);
  ExpectStatusLine(rig, kStoppedLine);
  EXPECT_TRUE(rig.program.Heard().empty());
}

TEST(PollStatus, BankScanNeverLeavesTheSlotsNorTunesTheEndMark) {
  ConnectedPanel rig;
  LoadBank(rig.ctx);
  rig.ctx.banks.bankSlots[4] = "9999";  // a bank without channels
  rig.Cycles(3, kQuiet);
  EXPECT_EQ(rig.program.Commands(), (Strings{"LM", "LM", "LM"}));
  EXPECT_EQ(rig.ctx.banks.bankScanIndex, 4);

  ConnectedPanel unterminated;
  LoadBank(unterminated.ctx);
  for (int slot = 4; slot < BankState::kSlotCount; slot += 2) {
    unterminated.ctx.banks.bankSlots[slot] = "145.5";
  }
  // Slots past the 400 lines of a bank file hold no channel of it: an index
  // there starts the scan again at the first channel.
  unterminated.ctx.banks.bankScanIndex = BankState::kSlotCount - 2;
  unterminated.Cycle(kQuiet);
  EXPECT_EQ(unterminated.ctx.banks.bankScanIndex, 6);
  unterminated.ctx.banks.bankScanIndex = 5000;
  unterminated.Cycle(kQuiet);
  EXPECT_EQ(unterminated.ctx.banks.bankScanIndex, 6);
}

TEST(PollStatus, ReceiverScanRuleComesBeforeTheBankScanRule) {
  ConnectedPanel rig;
  LoadBank(rig.ctx);
  rig.ctx.poll.scanState = ReceiverScan::kStarted;
  rig.Cycle(kQuiet);
  EXPECT_EQ(rig.program.Commands(), Strings{"LM"});
  EXPECT_EQ(rig.ctx.poll.scanState, ReceiverScan::kScanning);
  EXPECT_EQ(rig.ctx.poll.bankScanState, BankScan::kStarted);
}

}  // namespace
}  // namespace voxrig
