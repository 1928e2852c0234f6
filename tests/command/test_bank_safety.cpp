// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "banks/bank_undo.h"
#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "poll/poll_status.h"

// The banks a listener can trust: the selected bank stays the one Up, Down
// and K act on, U takes changes back byte for byte, a bank grown past the
// receiver's 91 channels is told, and a bank without its terminator is
// stepped through its real channels only.
namespace voxrig::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Not;
using Strings = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

class BankSafety : public fakes::PanelFixture {
 protected:
  // The bank files, without the undo folder's copies or the search log's backup.
  Files BankFiles() const {
    Files banks;
    for (const auto& [name, bytes] : program.files.files) {
      if (name.starts_with("bank") && name.ends_with(".dat")) banks[name] = bytes;
    }
    return banks;
  }
  // Selects bank 01 of three channels through the keyboard, then Up to the second.
  void SelectSecondChannelOfBank01() {
    PutBankFile("bank01.dat", "FM", {"145.1", "145.2", "145.3"});
    Type("B01\r");
    Press(keys::kUp);
    ASSERT_EQ(ctx.tuning.frequencyText, "145.2");
    Forget();
  }
};

Strings Numbered(int count) {
  Strings frequencies;
  for (int i = 0; i < count; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%.4f", 140.0 + 0.0125 * i);
    frequencies.emplace_back(text);
  }
  return frequencies;
}

TEST_F(BankSafety, KillAfterAPutIntoAnotherBankRemovesTheSelectedBanksChannel) {
  SelectSecondChannelOfBank01();
  PutBankFile("bank13.dat", "FM", {"150.0", "151.0"});
  Type("P13\r");
  const std::string bank13 = program.files.files["bank13.dat"];
  Type("K\r");
  EXPECT_THAT(Heard(), ElementsAre("put", "1", "3", "ok", "kill", "ok"));
  EXPECT_EQ(program.files.files["bank01.dat"],
            "bank01\r\nFM\r\n12.5\r\n \r\n145.1\r\n \r\n145.3\r\n \r\n9999\r\n");
  EXPECT_EQ(program.files.files["bank13.dat"], bank13);
  EXPECT_THAT(Commands(), ElementsAre("VA0145.30000"));
}

TEST_F(BankSafety, EveryOperationOnAnotherBankLeavesUpAndDownInTheSelectedOne) {
  PutBankFile("bank13.dat", "FM", {"150.0", "151.0"});
  for (const char* sequence : {"P13\r", "T0113\r", "T13\r", "O13\r", "W13A\r", "D13\r", "U"}) {
    SelectSecondChannelOfBank01();
    Type(sequence);
    Forget();
    Press(keys::kUp);
    EXPECT_THAT(Commands(), ElementsAre("VA0145.30000")) << sequence;
    EXPECT_EQ(ctx.banks.bankFileName, "bank01.dat") << sequence;
    PutBankFile("bank13.dat", "FM", {"150.0", "151.0"});
  }
}

TEST_F(BankSafety, SortingTheSelectedBankKeepsTheListenerOnTheSameChannel) {
  PutBankFile("bank01.dat", "FM", {"146.0", "145.5", "144.0"});
  Type("B01\r");
  Press(keys::kUp);  // on 145.5, the second channel
  Type("O01\r");
  Forget();
  Type("K\r");
  EXPECT_EQ(program.files.files["bank01.dat"],
            "bank01\r\nFM\r\n12.5\r\n \r\n144.0\r\n \r\n146.0\r\n \r\n9999\r\n");
  EXPECT_THAT(Commands(), ElementsAre("VA0146.00000"));
}

TEST_F(BankSafety, DeletingTheSelectedBankEndsTheSelectionAndSaysSo) {
  SelectSecondChannelOfBank01();
  Type("D01\r");
  EXPECT_THAT(Heard(), ElementsAre("delete", "0", "1", "ok", "unsel"));
  EXPECT_EQ(ctx.poll.bankScanState, BankScan::kOff);
  Forget();
  Type("K");
  EXPECT_THAT(Heard(), Not(Contains("kill")));
}

// Each undoable key, run on a folder that holds banks 01, 05 and 00 (the
// search log): U brings every bank file back byte for byte, or removes the
// file the key created, and says which bank it restored.
TEST_F(BankSafety, UndoOfEachOperationRestoresTheExactBytes) {
  struct Row {
    const char* keys;
    Strings heardAfterU;
  };
  const Row rows[] = {
      {"P01\r", {"undo", "0", "1", "ok"}},
      {"P07\r", {"undo", "0", "7", "ok"}},  // created: removed again
      {"T0105\r", {"undo", "0", "5", "ok"}},
      {"T0507\r", {"undo", "0", "7", "ok"}},  // target created: removed again
      {"O05\r", {"undo", "0", "5", "ok"}},
      {"D05\r", {"undo", "0", "5", "ok"}},
      {"B05\rK\r", {"undo", "0", "5", "ok"}},
      {"R\r", {"undo", "0", "0", "ok"}},  // the search log's rewrite, after the search ended
  };
  for (const Row& row : rows) {
    program.files.files.clear();
    ClearUndoCopies(ctx);
    ctx.poll.bankScanState = BankScan::kOff;
    PutBankFile("bank01.dat", "FM", {"145.5", "146.0"});
    PutBankFile("bank05.dat", "FM", {"147.0", "145.5", "146.5", "145.5"});
    program.files.files["bank00.dat"] = "Scanbank\r\nFM\r\n12.5\r\n \r\n144.8\r\n \r\n9999\r\n";
    program.files.files["bank05.dat"] += "a line after the end\r\n";
    const Files before = BankFiles();
    Type(row.keys);
    EXPECT_NE(BankFiles(), before) << row.keys;
    Forget();
    Press('U');
    EXPECT_EQ(BankFiles(), before) << row.keys;
    const Strings heard = Heard();
    EXPECT_THAT(
        Strings(heard.end() - static_cast<long>(std::min(heard.size(), row.heardAfterU.size())),
                heard.end()),
        ElementsAreArray(row.heardAfterU))
        << row.keys;
    EXPECT_THAT(Commands(), Not(Contains(::testing::StartsWith("MX"))))
        << "U never writes the receiver";
  }
}

TEST_F(BankSafety, UndoGoesBackTwentyStepsThenSaysInvalid) {
  PutBankFile("bank01.dat", "FM", {});
  const std::string empty = program.files.files["bank01.dat"];
  std::vector<std::string> versions{empty};
  for (const std::string& frequency : Numbered(22)) {
    ctx.tuning.frequencyText = frequency;
    Type("P01\r");
    versions.push_back(program.files.files["bank01.dat"]);
  }
  for (int step = 1; step <= 20; ++step) {
    Press('U');
    EXPECT_EQ(program.files.files["bank01.dat"], versions[versions.size() - 1 - step]);
  }
  Forget();
  Press('U');
  EXPECT_THAT(Heard(), ElementsAre("inv"));
  EXPECT_EQ(program.files.files["bank01.dat"], versions[2]);
  // Every copy was taken back or dropped with its step.
  for (const auto& [name, bytes] : program.files.files)
    EXPECT_EQ(name.rfind("undo/", 0), std::string::npos) << name;
}

TEST_F(BankSafety, UndoKeepsAVersionAnotherProgramWroteAsOneMoreStep) {
  PutBankFile("bank01.dat", "FM", {"145.5"});
  const std::string before = program.files.files["bank01.dat"];
  Type("P01\r");
  const std::string edited = "bank01\r\nFM\r\n12.5\r\n \r\n150.0\r\n hand made\r\n9999\r\n";
  program.files.files["bank01.dat"] = edited;
  Forget();
  Press('U');
  EXPECT_THAT(Heard(), ElementsAre("undo", "0", "1", "ok"));
  EXPECT_EQ(program.files.files["bank01.dat"], before);
  Press('U');
  EXPECT_EQ(program.files.files["bank01.dat"], edited);
  Forget();
  Press('U');
  EXPECT_THAT(Heard(), ElementsAre("inv"));
}

TEST_F(BankSafety, UndoCopiesAreWrittenInTheUndoFolderAndClearedAtStartUp) {
  PutBankFile("bank01.dat", "FM", {"145.5"});
  const std::string before = program.files.files["bank01.dat"];
  Type("D01\r");
  EXPECT_THAT(program.files.folders, Contains("undo"));
  EXPECT_EQ(program.files.files["undo/undo00-0.dat"], before);
  ClearUndoCopies(ctx);
  EXPECT_EQ(program.files.files.count("undo/undo00-0.dat"), 0u);
  Forget();
  Press('U');
  EXPECT_THAT(Heard(), ElementsAre("inv"));
}

TEST_F(BankSafety, AChangeWhoseCopyCannotBeKeptIsNotMade) {
  PutBankFile("bank01.dat", "FM", {"145.5"});
  const Files before = BankFiles();
  program.files.failingWrites.insert("undo");
  Type("D01\r");
  EXPECT_THAT(Heard(), ElementsAre("delete", "0", "1", "wrerr"));
  ctx.tuning.frequencyText = "146.0";
  Type("P01\r");
  EXPECT_EQ(Heard().back(), "wrerr");
  EXPECT_EQ(BankFiles(), before);
}

TEST_F(BankSafety, UndoIsRefusedWhileASearchRuns) {
  Press('R');
  Forget();
  Press('U');
  EXPECT_THAT(Heard(), ElementsAre("inv"));
  EXPECT_EQ(ctx.poll.searchState, Search::kSearching);
}

TEST_F(BankSafety, APutOrTransferPastTheReceiversNinetyOneChannelsIsToldOnceAfterOk) {
  struct Row {
    int channelsBefore;
    const char* keys;
    Strings heard;
  };
  const Row rows[] = {
      {91, "P12\r", {"put", "1", "2", "ok", "over91"}},
      {90, "P12\r", {"put", "1", "2", "ok"}},
      {95, "P12\r", {"put", "1", "2", "ok", "over91"}},
      {89, "T0512\r", {"transfer", "0", "5", "1", "2", "ok", "over91"}},
  };
  for (const Row& row : rows) {
    PutBankFile("bank12.dat", "FM", Numbered(row.channelsBefore));
    PutBankFile("bank05.dat", "FM", {"150.0", "150.5", "151.0", "140.0000"});
    ctx.tuning.frequencyText = "149.0";
    Forget();
    Type(row.keys);
    EXPECT_THAT(Heard(), ElementsAreArray(row.heard)) << row.channelsBefore << " " << row.keys;
  }
  // A put that adds nothing makes the bank no longer; nothing more is said.
  Forget();
  ctx.tuning.frequencyText = "140.0000";
  Type("P12\r");
  EXPECT_THAT(Heard(), ElementsAre("put", "1", "2", "ok"));
}

TEST_F(BankSafety, ABankWithoutTerminatorIsSteppedAndScannedThroughItsRealChannelsOnly) {
  program.files.files["bank01.dat"] = "bank01\r\nFM\r\n12.5\r\n \r\n145.1\r\n \r\n145.2\r\n \r\n";
  Type("B01\r");
  Forget();
  for (int i = 0; i < 3; ++i) Press(keys::kUp);
  Press(keys::kDown);
  EXPECT_THAT(Commands(),
              ElementsAre("VA0145.20000", "VA0145.10000", "VA0145.20000", "VA0145.10000"));
  Type("R");
  Forget();
  ctx.poll.squelchClosed = true;
  for (int i = 0; i < 5; ++i) DecideStatus(ctx);
  // The scan starts again on the first channel, which R has just tuned.
  EXPECT_THAT(Commands(), ElementsAre("VA0145.10000", "VA0145.20000", "VA0145.10000",
                                      "VA0145.20000", "VA0145.10000"));
}

}  // namespace
}  // namespace voxrig::testing
