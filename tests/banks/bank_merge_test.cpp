// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_test_support.h"
#include "fakes/connected_panel.h"

namespace voxrig {
namespace {

using banktest::Bank;
using banktest::FileLines;
using banktest::Frequencies;
using banktest::Lines;
using Strings = std::vector<std::string>;

struct BankMergeTest : fakes::PanelFixture {
  BankMergeTest() { ctx.tuning.frequencyText = "145.5"; }
  std::string& File(const std::string& name) { return program.files.files[name]; }
  void Run(void (*operation)(Context&, const std::string&), const std::string& argument) {
    program.ClearRecords();
    operation(ctx, argument);
  }
};

// ---- PutFrequency ----------------------------------------------------------

TEST_F(BankMergeTest, PutTwiceAddsTheShownFrequencyOnceAndSaysOkBothTimes) {
  File("bank12.dat") = Bank("bank12", "FM", "12.5", {"146.0"});
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), Strings{"ok"});
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), Strings{"ok"});
  EXPECT_EQ(File("bank12.dat"), Bank("bank12", "FM", "12.5", {"146.0", "145.5"}));
  EXPECT_EQ(ctx.banks.bankFileName, "bank12.dat");
}

TEST_F(BankMergeTest, PutIntoBankOfAnotherModeSaysIncmodeAndChangesNothing) {
  const std::string old = Bank("bank12", "AM", "12.5", {"146.0"});
  File("bank12.dat") = old;
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), Strings{"incmode"});
  EXPECT_EQ(File("bank12.dat"), old);
  EXPECT_EQ(program.files.replaceCount, 0);
}

TEST_F(BankMergeTest, PutCreatesAMissingTargetWithTheCurrentModeAndStep) {
  Run(PutFrequency, "0512");  // four digits: the last two name the target
  EXPECT_EQ(program.Heard(), (Strings{"bnf", "create", "1", "2", "ok"}));
  EXPECT_EQ(File("bank12.dat"), Lines({"bank0512", "FM", "12.5", " ", "145.5", " ", "9999"}));
  EXPECT_EQ(program.files.files.count("bank05.dat"), 0u);
}

// ---- TransferBank ----------------------------------------------------------

TEST_F(BankMergeTest, TransferAppendsTheMissingChannelsInSourceOrder) {
  const std::string source = Bank("bank05", "FM", "12.5", {"145.5", "146.0", "147.0"});
  File("bank05.dat") = source;
  File("bank12.dat") = Bank("bank12", "FM", "12.5", {"146.0", "144.0"});
  Run(TransferBank, "0512");
  EXPECT_EQ(program.Heard(), Strings{"ok"});
  EXPECT_EQ(File("bank12.dat"), Bank("bank12", "FM", "12.5", {"146.0", "144.0", "145.5", "147.0"}));
  EXPECT_EQ(File("bank05.dat"), source);

  // Two digits take the search log bank00.dat as the source.
  File("bank00.dat") = Bank("Scanbank", "FM", "12.5", {"145.0125", "144.0"});
  Run(TransferBank, "12");
  EXPECT_EQ(File("bank12.dat"),
            Bank("bank12", "FM", "12.5", {"146.0", "144.0", "145.5", "147.0", "145.0125"}));
}

TEST_F(BankMergeTest, TransferFromAMissingSourceSaysSoAndMakesNoFile) {
  // Nothing to transfer: no "ok" after "bnf", and neither bank is made.
  for (const char* entry : {"12", "0512"}) {
    Run(TransferBank, entry);
    EXPECT_EQ(program.Heard(), Strings{"bnf"}) << entry;
    EXPECT_TRUE(program.files.files.empty()) << entry;
  }
}

TEST_F(BankMergeTest, TransferCarriesEveryChannelOfALongSource) {
  const Strings channels = Frequencies(95);
  File("bank05.dat") = Bank("bank05", "FM", "12.5", channels);
  Run(TransferBank, "0512");
  // Kept whole, and told that a receiver bank holds only 91 of them.
  EXPECT_EQ(program.Heard(), (Strings{"bnf", "create", "1", "2", "ok", "over91"}));
  EXPECT_EQ(File("bank12.dat"), Bank("bank0512", "FM", "12.5", channels));
  EXPECT_EQ(FileLines(File("bank12.dat")).size(), 4u + 2 * 95 + 1);
}

TEST_F(BankMergeTest, TransferTagsTravelWithTheirChannels) {
  File("bank05.dat") = Lines({"bank05", "FM", "12.5", " ", "145.5", "Tower", "9999"});
  File("bank12.dat") = Bank("bank12", "FM", "12.5", {"146.0"});
  Run(TransferBank, "0512");
  EXPECT_EQ(File("bank12.dat"),
            Lines({"bank12", "FM", "12.5", " ", "146.0", " ", "145.5", "Tower", "9999"}));
}

TEST_F(BankMergeTest, MergeIntoALongTargetKeepsEveryChannelAndSaysNWhenFull) {
  const Strings target = Frequencies(150, 140.0);
  const Strings source = Frequencies(60, 150.0);
  File("bank05.dat") = Bank("bank05", "FM", "12.5", source);
  File("bank12.dat") = Bank("bank12", "FM", "12.5", target);
  Run(TransferBank, "0512");
  EXPECT_EQ(program.Heard(), (Strings{"n", "ok", "over91"}));
  Strings expected = target;
  expected.insert(expected.end(), source.begin(), source.begin() + 47);  // 197 channels fit
  EXPECT_EQ(File("bank12.dat"), Bank("bank12", "FM", "12.5", expected));
  const Strings lines = FileLines(File("bank12.dat"));
  EXPECT_EQ(lines.size(), 399u);
  EXPECT_EQ(lines.back(), "9999");

  // Full, but nothing new to add: no "n".
  ctx.tuning.frequencyText = target[7];
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), Strings{"ok"});
  // Full, and a new channel: "n", and the file keeps all it had.
  ctx.tuning.frequencyText = "430.0";
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), (Strings{"n", "ok"}));
  EXPECT_EQ(File("bank12.dat"), Bank("bank12", "FM", "12.5", expected));
}

TEST_F(BankMergeTest, MergeIntoATargetWithoutTerminatorAddsNothingOverIt) {
  Strings lines = {"bank12", "FM", "12.5", " "};
  for (const std::string& f : Frequencies(198)) lines.insert(lines.end(), {f, " "});
  File("bank12.dat") = Lines(lines);
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), (Strings{"n", "ok"}));
  EXPECT_EQ(File("bank12.dat"), Lines(lines));
}

TEST_F(BankMergeTest, MergeIntoAHandEditedTargetKeepsEveryLineItHad) {
  // The "9999" stands in a tag line: the record it cuts is no channel, but its
  // frequency line stays in front of the terminator, behind the new channel.
  File("bank12.dat") = Lines({"bank12", "FM", "12.5", " ", "145.5", " ", "146.0", "9999"});
  ctx.tuning.frequencyText = "147.0";
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), Strings{"ok"});
  EXPECT_EQ(File("bank12.dat"),
            Lines({"bank12", "FM", "12.5", " ", "145.5", " ", "147.0", " ", "146.0", "9999"}));

  // The "9999" stands in the step line: the bank has no room for a channel.
  const std::string cut = Lines({"bank12", "FM", "9999"});
  File("bank12.dat") = cut;
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), (Strings{"n", "ok"}));
  EXPECT_EQ(File("bank12.dat"), cut);
}

TEST_F(BankMergeTest, FailedWritesOfAMergeSayWrerr) {
  const std::string old = Bank("bank12", "FM", "12.5", {"146.0"});
  File("bank12.dat") = old;
  program.files.failingWrites.insert("bank12.dat");
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), Strings{"wrerr"});
  EXPECT_EQ(File("bank12.dat"), old);

  // The target T had to create could not be written.
  File("bank05.dat") = Bank("bank05", "FM", "12.5", {"145.5"});
  program.files.failingWrites = {"bank07.dat"};
  Run(TransferBank, "0507");
  EXPECT_EQ(program.Heard(), (Strings{"bnf", "create", "0", "7", "wrerr"}));
  EXPECT_EQ(program.files.files.count("bank07.dat"), 0u);
}

}  // namespace
}  // namespace voxrig
