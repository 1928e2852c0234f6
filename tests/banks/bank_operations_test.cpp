// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_merge.h"
#include "banks/bank_test_support.h"
#include "fakes/connected_panel.h"

namespace voxrig {
namespace {

using banktest::Bank;
using banktest::FileLines;
using banktest::Frequencies;
using banktest::Lines;
using Strings = std::vector<std::string>;

struct BankOperationsTest : fakes::PanelFixture {
  // Loads a bank as B would leave it, without B's prompts and commands.
  void Load(const std::string& name, const std::string& bytes, int scanIndex) {
    program.files.files[name] = bytes;
    ctx.banks.bankFileName = name;
    ReadBankFile(ctx);
    ctx.banks.bankScanIndex = scanIndex;
    ctx.poll.bankScanState = BankScan::kBankSelected;
    program.ClearRecords();
  }
  std::string File(const std::string& name) { return program.files.files[name]; }
  bool AnyCommandHolds(const std::string& text) {
    const Strings commands = program.Commands();
    return std::any_of(commands.begin(), commands.end(),
                       [&](const std::string& c) { return c.find(text) != std::string::npos; });
  }
};

TEST_F(BankOperationsTest, ArgumentThatCannotNameABankFileIsRefused) {
  program.files.files["bank1..dat"] = Bank("bank1.", "FM", "12.5", {"145.5"});
  program.files.files["bank.5.dat"] = Bank("bank.5", "FM", "12.5", {"145.5"});
  void (*const operations[])(Context&, const std::string&) = {SortBank, PutFrequency, TransferBank};
  for (const std::string argument : {"1.", ".5", "12.4", "123", "1", ""}) {
    for (auto* operation : operations) {
      SCOPED_TRACE(argument);
      program.ClearRecords();
      operation(ctx, argument);
      EXPECT_EQ(program.Heard(), Strings{"inv"});
      EXPECT_TRUE(program.Commands().empty());
    }
  }
  EXPECT_EQ(program.files.replaceCount, 0);
  EXPECT_EQ(program.files.files.size(), 2u);
}

// ---- DeleteChannel ---------------------------------------------------------

TEST_F(BankOperationsTest, DeleteChannelMovesTheRestUpAndTunesTheNextChannel) {
  Load("bank05.dat", Bank("bank05", "FM", "12.5", {"145.5", "146.0", "147.0"}), 6);
  DeleteChannel(ctx);
  EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", {"145.5", "147.0"}));
  EXPECT_EQ(program.Commands(), Strings{"VA0147.00000"});
  EXPECT_EQ(ctx.banks.bankScanIndex, 6);
  EXPECT_EQ(ctx.tuning.frequencyText, "147.0");
  EXPECT_TRUE(ctx.banks.lastWriteOk);
  EXPECT_TRUE(program.Heard().empty());  // the K key says "ok" itself
  // The stale last-channel slot now holds the terminator, so stepping down
  // from the first channel lands on the bank's end and not on an old channel.
  EXPECT_EQ(ctx.banks.bankLastSlot, 8);
  EXPECT_EQ(ctx.banks.bankSlots[8], "9999");
}

TEST_F(BankOperationsTest, DeletingTheLastChannelTunesTheChannelNowLast) {
  Load("bank05.dat", Bank("bank05", "FM", "12.5", {"145.5", "146.0", "147.0"}), 8);
  DeleteChannel(ctx);
  EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", {"145.5", "146.0"}));
  EXPECT_EQ(program.Commands(), Strings{"VA0146.00000"});
  EXPECT_EQ(ctx.banks.bankScanIndex, 6);
  EXPECT_FALSE(AnyCommandHolds("9999"));
}

TEST_F(BankOperationsTest, DeletingTheOnlyChannelLeavesAnEmptyBankAndTunesNothing) {
  Load("bank05.dat", Bank("bank05", "FM", "12.5", {"145.5"}), 4);
  DeleteChannel(ctx);
  EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", {}));
  EXPECT_TRUE(program.Commands().empty());
  EXPECT_EQ(ctx.banks.bankScanIndex, 4);

  // K again on the empty bank removes nothing and still tunes nothing.
  DeleteChannel(ctx);
  EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", {}));
  EXPECT_TRUE(program.Commands().empty());
}

TEST_F(BankOperationsTest, DeleteChannelMovesTheWholeRestOfALongBank) {
  const Strings hundred = Frequencies(100);
  Load("bank05.dat", Bank("bank05", "FM", "12.5", hundred), 4);
  DeleteChannel(ctx);
  Strings expected(hundred.begin() + 1, hundred.end());
  EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", expected));
  EXPECT_EQ(program.Commands(), Strings{"VA0145.01250"});

  // A channel far past slot 188 is removed too, and the one after it is tuned.
  program.ClearRecords();
  ctx.banks.bankScanIndex = 4 + 2 * 93;  // expected[93]
  DeleteChannel(ctx);
  expected.erase(expected.begin() + 93);
  EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", expected));
  EXPECT_EQ(ctx.tuning.frequencyText, expected[93]);
  EXPECT_EQ(ctx.banks.bankScanIndex, 190);
}

TEST_F(BankOperationsTest, DeleteChannelOutsideTheBankRemovesNothingAndStaysInside) {
  // A bank put into after the selection: the index points past its end.
  Load("bank05.dat", Bank("bank05", "FM", "12.5", {"145.5", "146.0"}), 20);
  DeleteChannel(ctx);
  EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", {"145.5", "146.0"}));
  EXPECT_EQ(ctx.banks.bankScanIndex, 6);
  EXPECT_EQ(program.Commands(), Strings{"VA0146.00000"});
}

TEST_F(BankOperationsTest, DeleteChannelInABankWithoutTerminatorGivesItOne) {
  Strings lines = {"bank05", "FM", "12.5", " "};
  const Strings all = Frequencies(198);
  for (const std::string& f : all) lines.insert(lines.end(), {f, " "});
  Load("bank05.dat", Lines(lines), 4);  // 400 lines, no "9999"
  DeleteChannel(ctx);
  EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", Strings(all.begin() + 1, all.end())));
  EXPECT_EQ(FileLines(File("bank05.dat")).size(), 399u);
}

TEST_F(BankOperationsTest, FailedDeleteWriteIsReportedAndKeepsTheOldFile) {
  const std::string old = Bank("bank05", "FM", "12.5", {"145.5", "146.0"});
  Load("bank05.dat", old, 4);
  program.files.failingWrites.insert("bank05.dat");
  DeleteChannel(ctx);
  EXPECT_FALSE(ctx.banks.lastWriteOk);
  EXPECT_EQ(File("bank05.dat"), old);
  EXPECT_EQ(ctx.banks.bankSlots[4], "146.0");  // the bank in memory keeps the change
}

// ---- SortBank --------------------------------------------------------------

struct SortCase {
  Strings channels;
  Strings sorted;
};

TEST_F(BankOperationsTest, SortBankOrdersByNumberAndDropsTextRepeats) {
  const SortCase cases[] = {
      {{"146.0", "145.5", "145.5", "144.1"}, {"144.1", "145.5", "146.0"}},
      // The third of three equal channels no longer follows an equal text
      // once the second has gone.
      {{"145.5", "145.5", "145.5"}, {"145.5", "145.5"}},
      // Equal numbers in other spellings are two channels and keep their order.
      {{"145.50", "146", "145.5"}, {"145.50", "145.5", "146"}},
      // Above 9999 MHz a frequency sorts last, still in front of the terminator.
      {{"12000", "145.5", "10000.5"}, {"145.5", "10000.5", "12000"}},
      {{}, {}},
  };
  for (const SortCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.channels));
    program.ClearRecords();
    program.files.files["bank07.dat"] = Bank("bank07", "AM", "10", c.channels);
    SortBank(ctx, "07");
    EXPECT_EQ(File("bank07.dat"), Bank("bank07", "AM", "10", c.sorted));
    EXPECT_EQ(program.Heard(), Strings{"ok"});
    EXPECT_TRUE(program.Commands().empty());
  }
}

TEST_F(BankOperationsTest, SortBankKeepsTagsWithTheirChannels) {
  program.files.files["bank07.dat"] = Lines({"bank07", "FM", "12.5", " ", "146.0", "Tower", "145.5",
                                             "Repeater", "144.8", "APRS", "9999"});
  SortBank(ctx, "07");
  EXPECT_EQ(File("bank07.dat"), Lines({"bank07", "FM", "12.5", " ", "144.8", "APRS", "145.5",
                                       "Repeater", "146.0", "Tower", "9999"}));
}

TEST_F(BankOperationsTest, SortBankWithoutTerminatorStaysInsideTheFile) {
  // 198 channels fill the 400 lines; descending numbers, one above 9999 MHz.
  Strings lines = {"bank07", "FM", "12.5", " "};
  Strings descending;
  for (int i = 197; i >= 0; --i) descending.push_back(std::to_string(100 + i) + ".5");
  descending[0] = "12000";
  for (const std::string& f : descending) lines.insert(lines.end(), {f, " "});
  program.files.files["bank07.dat"] = Lines(lines);
  SortBank(ctx, "07");
  Strings ascending(descending.rbegin(), descending.rend());
  const Strings written = FileLines(File("bank07.dat"));
  ASSERT_EQ(written.size(), 400u);
  for (std::size_t i = 0; i < ascending.size(); ++i) EXPECT_EQ(written[4 + 2 * i], ascending[i]);
  EXPECT_EQ(written[398], "12000");

  // A file that lost its "9999" line: the empty lines read past its end are
  // no channels, and the sorted bank gets its terminator back.
  program.files.files["bank08.dat"] =
      Lines({"bank08", "FM", "12.5", " ", "146.0", " ", "145.5", " "});
  SortBank(ctx, "08");
  EXPECT_EQ(File("bank08.dat"), Bank("bank08", "FM", "12.5", {"145.5", "146.0"}));
}

TEST_F(BankOperationsTest, SortingMissingBankSaysBnfAndWritesNothing) {
  SortBank(ctx, "07");
  EXPECT_EQ(program.Heard(), Strings{"bnf"});
  EXPECT_EQ(program.files.replaceCount, 0);
  EXPECT_TRUE(program.files.files.empty());
}

TEST_F(BankOperationsTest, FailedSortWriteSaysWrerrAndKeepsTheFile) {
  const std::string old = Bank("bank07", "FM", "12.5", {"146.0", "145.5"});
  program.files.files["bank07.dat"] = old;
  program.files.failingWrites.insert("bank07.dat");
  SortBank(ctx, "07");
  EXPECT_EQ(program.Heard(), Strings{"wrerr"});
  EXPECT_EQ(File("bank07.dat"), old);
}

}  // namespace
}  // namespace voxrig
