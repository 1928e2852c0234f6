// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banks/bank_test_support.h"
#include "fakes/test_program.h"

namespace voxrig {
namespace {

using banktest::Bank;
using banktest::FileLines;
using banktest::Lines;

const std::string kTwoChannelBank = Bank("bank12", "FM", "12.5", {"145.5", "145.525"});

struct BankFileTest : ::testing::Test {
  void Read(const std::string& name, const std::string& bytes) {
    program.files.files[name] = bytes;
    ctx.banks.bankFileName = name;
    ReadBankFile(ctx);
  }
  std::string WriteAndGet(const std::string& name) {
    ctx.banks.bankFileName = name;
    EXPECT_TRUE(WriteBankFile(ctx));
    return program.files.files[name];
  }
  fakes::TestProgram program;
  Context& ctx = program.ctx;
};

TEST_F(BankFileTest, ProgramWrittenBankRoundTripsByteForByte) {
  Read("bank12.dat", kTwoChannelBank);
  EXPECT_TRUE(ctx.banks.bankFound);
  EXPECT_EQ(ctx.banks.bankSlots[0], "bank12");
  EXPECT_EQ(ctx.banks.bankSlots[1], "FM");
  EXPECT_EQ(ctx.banks.bankSlots[2], "12.5");
  EXPECT_EQ(ctx.banks.bankSlots[3], " ");
  EXPECT_EQ(ctx.banks.bankSlots[4], "145.5");
  EXPECT_EQ(ctx.banks.bankSlots[6], "145.525");
  EXPECT_EQ(ctx.banks.bankSlots[8], "9999");
  EXPECT_EQ(ctx.banks.bankLastSlot, 6);
  EXPECT_EQ(ctx.banks.bankScanIndex, 6);
  EXPECT_EQ(WriteAndGet("copy.dat"), kTwoChannelBank);
  EXPECT_EQ(FileLines(kTwoChannelBank).size(), 9u);
  EXPECT_TRUE(program.Heard().empty());
}

TEST_F(BankFileTest, EveryLineEndReadsLikeCrLf) {
  const std::vector<std::string> lines = {"bank12", "FM",         "12.5", " ",
                                          "145.5",  "a, \"b\"\t", "9999"};
  std::string lfOnly, crOnly, mixed, lastLineOpen;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    lfOnly += lines[i] + "\n";
    crOnly += lines[i] + "\r";
    mixed += lines[i] + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    lastLineOpen += lines[i] + (i + 1 < lines.size() ? "\r\n" : "");
  }
  for (const std::string& bytes : {lfOnly, crOnly, mixed, lastLineOpen}) {
    SCOPED_TRACE(bytes);
    Read("bank12.dat", bytes);
    EXPECT_EQ(ctx.banks.bankLastSlot, 4);
    EXPECT_EQ(ctx.banks.bankSlots[5], "a, \"b\"\t");  // nothing trimmed or unquoted
    EXPECT_EQ(WriteAndGet("bank12.dat"), Lines(lines));
  }
}

TEST_F(BankFileTest, EmptyBankReadsWithLastSlotTwoAndWritesFiveLines) {
  Read("bank00.dat", Lines({"Scanbank", "FM", "12.5", " ", "9999"}));
  EXPECT_EQ(ctx.banks.bankLastSlot, 2);
  EXPECT_EQ(ctx.banks.bankScanIndex, 2);
  EXPECT_EQ(WriteAndGet("bank00.dat"), Lines({"Scanbank", "FM", "12.5", " ", "9999"}));
}

TEST_F(BankFileTest, NineNineNineNineEndsTheBankWhereverItStands) {
  // A tag line: the lines after it are neither read nor written back, and the
  // record it cuts is no channel.
  Read("bank12.dat",
       Lines({"bank12", "FM", "12.5", " ", "145.5", " ", "146.0", "9999", "147.0", " ", "9999"}));
  EXPECT_EQ(ctx.banks.bankSlots[8], "");
  EXPECT_EQ(ctx.banks.bankLastSlot, 4);
  EXPECT_EQ(ctx.banks.bankScanIndex, 4);
  EXPECT_EQ(WriteAndGet("bank12.dat"),
            Lines({"bank12", "FM", "12.5", " ", "145.5", " ", "146.0", "9999"}));

  // A header line: the bank holds no channel; the last-channel slot stays
  // on a channel slot instead of going negative.
  Read("bank13.dat", Lines({"bank13", "9999", "12.5", " ", "145.5", " ", "9999"}));
  EXPECT_EQ(ctx.banks.bankLastSlot, 2);
  EXPECT_EQ(WriteAndGet("bank13.dat"), Lines({"bank13", "9999"}));
}

TEST_F(BankFileTest, FileWithoutTerminatorReadsFourHundredLines) {
  ctx.banks.bankLastSlot = 30;
  ctx.banks.bankScanIndex = 12;
  std::vector<std::string> lines = {"bank12", "FM", "12.5", " "};
  for (int i = 0; i < 205; ++i) {
    lines.push_back(std::to_string(100 + i));
    lines.push_back(" ");
  }  // 414 lines, no "9999"
  Read("bank12.dat", Lines(lines));
  EXPECT_TRUE(ctx.banks.bankFound);
  EXPECT_EQ(ctx.banks.bankSlots[398], "297");
  EXPECT_EQ(ctx.banks.bankLastSlot, 30);  // kept: no terminator was read
  EXPECT_EQ(ctx.banks.bankScanIndex, 12);
  // Writing those 400 lines back would cut the file's last 14 off: refused.
  EXPECT_FALSE(WriteBankFile(ctx));
  EXPECT_TRUE(ctx.banks.lastWriteTooLong);
  EXPECT_EQ(program.files.files["bank12.dat"], Lines(lines));
  // Once the file is 400 lines, its bank is written back whole.
  lines.resize(400);
  Read("bank12.dat", Lines(lines));
  const std::vector<std::string> written = FileLines(WriteAndGet("bank12.dat"));
  ASSERT_EQ(written.size(), 400u);
  EXPECT_EQ(written[398], "297");
  EXPECT_EQ(written[399], " ");

  // A short file without terminator gives empty slots up to slot 399.
  ctx.banks.bankSlots[100] = "stale";
  Read("bank14.dat", Lines({"bank14", "FM", "12.5", " ", "145.5", " "}));
  EXPECT_EQ(ctx.banks.bankSlots[100], "");
  EXPECT_EQ(FileLines(WriteAndGet("bank14.dat")).size(), 400u);
}

TEST_F(BankFileTest, EmptyLineAmongChannelsIsAChannelWithEmptyFrequency) {
  const std::string bytes = Lines({"bank12", "FM", "12.5", " ", "", " ", "146.0", " ", "9999"});
  Read("bank12.dat", bytes);
  EXPECT_EQ(ctx.banks.bankSlots[4], "");
  EXPECT_EQ(ctx.banks.bankLastSlot, 6);
  EXPECT_EQ(WriteAndGet("bank12.dat"), bytes);
}

TEST_F(BankFileTest, MissingFileSaysBnfOnceAndKeepsTheBankInMemory) {
  Read("bank05.dat", kTwoChannelBank);
  ctx.banks.bankScanIndex = 4;
  ctx.banks.bankFileName = "bank77.dat";
  ReadBankFile(ctx);
  EXPECT_FALSE(ctx.banks.bankFound);
  EXPECT_EQ(program.Heard(), std::vector<std::string>{"bnf"});
  EXPECT_EQ(ctx.banks.bankSlots[4], "145.5");
  EXPECT_EQ(ctx.banks.bankSlots[8], "9999");
  EXPECT_EQ(ctx.banks.bankLastSlot, 6);
  EXPECT_EQ(ctx.banks.bankScanIndex, 4);
}

TEST_F(BankFileTest, LongLineIsCutToTheSlotAndTheNextLineReadsWhole) {
  const std::string longTag(300, 'x');
  Read("bank12.dat", Lines({"bank12", "FM", "12.5", " ", "145.5", longTag, "9999"}));
  EXPECT_EQ(ctx.banks.bankSlots[5], std::string(254, 'x'));
  EXPECT_EQ(ctx.banks.bankSlots[6], "9999");
  EXPECT_EQ(ctx.banks.bankLastSlot, 4);
}

TEST_F(BankFileTest, ReadingLeavesTheMemoryOnlySlotsAlone) {
  ctx.banks.bankSlots[405] = "kept";
  Read("bank12.dat", kTwoChannelBank);
  EXPECT_EQ(ctx.banks.bankSlots[405], "kept");
}

TEST_F(BankFileTest, WritingReplacesALongerOldFileCompletely) {
  program.files.files["bank12.dat"] = Bank("bank12", "FM", "12.5", banktest::Frequencies(40));
  Read("bank05.dat", kTwoChannelBank);
  EXPECT_EQ(WriteAndGet("bank12.dat"), kTwoChannelBank);
  EXPECT_EQ(program.files.replaceCount, 1);  // one atomic replacement, no half file
}

TEST_F(BankFileTest, FailedWriteLeavesOldFileAndBankAndReportsIt) {
  const std::string old = Bank("bank12", "FM", "12.5", {"144.0"});
  Read("bank05.dat", kTwoChannelBank);
  program.files.files["bank12.dat"] = old;
  program.files.failingWrites.insert("bank12.dat");
  ctx.banks.bankFileName = "bank12.dat";
  EXPECT_FALSE(WriteBankFile(ctx));
  EXPECT_FALSE(ctx.banks.lastWriteOk);
  EXPECT_EQ(program.files.files["bank12.dat"], old);
  EXPECT_EQ(ctx.banks.bankSlots[4], "145.5");
  EXPECT_EQ(ctx.banks.bankFileName, "bank12.dat");

  program.files.failingWrites.clear();
  EXPECT_TRUE(WriteBankFile(ctx));
  EXPECT_TRUE(ctx.banks.lastWriteOk);
}

TEST_F(BankFileTest, WriteResultIsSpokenAsOkOrWrerr) {
  SayWriteResult(ctx, true);
  SayWriteResult(ctx, false);
  EXPECT_EQ(program.Heard(), (std::vector<std::string>{"ok", "wrerr"}));
}

TEST(BankFileBytes, StopsAtTheTerminatorOrAfterFourHundredLines) {
  BankState::Slots slots;
  for (int i = 0; i < BankState::kSlotCount; ++i) slots[i] = "x";
  EXPECT_EQ(FileLines(BankFileBytes(slots)).size(), 400u);  // slots 400-419 never reach a file
  slots[7] = "9999";
  EXPECT_EQ(BankFileBytes(slots), Lines({"x", "x", "x", "x", "x", "x", "x", "9999"}));
  slots[0] = "";
  slots[1] = "9999";
  EXPECT_EQ(BankFileBytes(slots), "\r\n9999\r\n");
}

}  // namespace
}  // namespace voxrig
