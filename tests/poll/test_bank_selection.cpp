// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "banks/bank_test_support.h"
#include "fakes/connected_panel.h"
#include "poll/selected_bank.h"

namespace voxrig {
namespace {

using banktest::Bank;
using Strings = std::vector<std::string>;

struct SelectBankTest : fakes::PanelFixture {
  bool AnyCommandHolds(const std::string& text) {
    const Strings commands = program.Commands();
    return std::any_of(commands.begin(), commands.end(),
                       [&](const std::string& c) { return c.find(text) != std::string::npos; });
  }
};

TEST_F(SelectBankTest, SelectBankTunesFirstChannelWithBankModeAndStepWithoutClearingReceiver) {
  program.files.files["bank05.dat"] = Bank("bank05", "USB", "2.5", {"7.05", "7.1"});
  banktest::Timeline timeline(program);
  program.Finish(SelectBank(ctx, "05"));
  EXPECT_EQ(timeline.Events(), (Strings{"shdel x2", "> VA0007.05000", "shdel x1", "USB", "> MD3",
                                        "shdel x1", "> ST002.50", "sel", "channel", "1"}));
  // "MQA%%" would make the receiver clear its memory bank A.
  EXPECT_FALSE(AnyCommandHolds("MQ"));
  EXPECT_EQ(ctx.poll.bankScanState, BankScan::kBankSelected);
  EXPECT_EQ(ctx.banks.bankScanIndex, 4);
  EXPECT_EQ(ctx.banks.bankLastSlot, 6);
  EXPECT_EQ(ctx.tuning.frequencyText, "7.05");
  EXPECT_EQ(ctx.tuning.modeText, "USB");
  EXPECT_EQ(ctx.tuning.searchStepText, "2.5");
  EXPECT_EQ(ctx.banks.bankFileName, "bank05.dat");
}

TEST_F(SelectBankTest, SelectingMissingBankSaysBnfAndEndsEveryScanState) {
  ctx.poll.scanState = ReceiverScan::kScanning;
  ctx.poll.bankScanState = BankScan::kBankSelected;
  ctx.poll.searchState = Search::kSearching;
  ctx.command.pendingCommand = PendingCommand::kSelectBank;
  program.Finish(SelectBank(ctx, "05"));
  EXPECT_EQ(program.Heard(), (Strings{"shdel", "bnf"}));
  EXPECT_TRUE(program.Commands().empty());
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
  EXPECT_EQ(ctx.poll.bankScanState, BankScan::kOff);
  EXPECT_EQ(ctx.poll.searchState, Search::kOff);
}

TEST_F(SelectBankTest, SelectingEmptyBankNeverTunesTheTerminator) {
  program.files.files["bank05.dat"] = Bank("bank05", "FM", "12.5", {});
  program.Finish(SelectBank(ctx, "05"));
  EXPECT_EQ(program.Commands(), (Strings{"MD1", "ST012.50"}));
  EXPECT_EQ(program.Heard().back(), "sel");
  EXPECT_EQ(ctx.poll.bankScanState, BankScan::kBankSelected);
}

TEST_F(SelectBankTest, ArgumentThatCannotNameABankFileIsRefusedLeavingEveryScanAsItWas) {
  program.files.files["bank1..dat"] = Bank("bank1.", "FM", "12.5", {"145.5"});
  ctx.poll.bankScanState = BankScan::kScanning;
  for (const std::string argument : {"1.", ".5", "12.4", "123", "1", ""}) {
    SCOPED_TRACE(argument);
    program.ClearRecords();
    program.Finish(SelectBank(ctx, argument));
    EXPECT_EQ(program.Heard(), Strings{"inv"});
    EXPECT_TRUE(program.Commands().empty());
    EXPECT_EQ(ctx.poll.bankScanState, BankScan::kScanning);
  }
}

}  // namespace
}  // namespace voxrig
