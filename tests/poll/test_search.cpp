// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/connected_panel.h"
#include "panel/display_lines.h"
#include "poll/search.h"

namespace voxrig {
namespace {

using fakes::ConnectedPanel;
using fakes::kQuiet;
using fakes::kSignal;
using Strings = std::vector<std::string>;

constexpr const char* kHeader = "Scanbank\r\nFM\r\n12.5\r\n \r\n9999\r\n";

std::string Answer(const std::string& digits) {
  return "VS RF" + digits + " ST012500 AU0 MD1 AT0\r\n";
}

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.ctx.tuning.frequencyText = "145.5";  // tuned since connecting
    rig.program.sound.OnPlayed([this](const std::string& name) {
      timeline.push_back(name + "@" + std::to_string(rig.program.Commands().size()));
    });
  }
  std::string File() { return rig.program.files.files["bank00.dat"]; }

  ConnectedPanel rig;
  Strings timeline;
};

TEST_F(SearchTest, StartLoadsTheLimitsStepAndModeThenStartsTheReceiversSearch) {
  rig.program.Finish(StartSearch(rig.ctx));
  EXPECT_EQ(rig.program.Commands(),
            (Strings{"VA0145000000", "VB0146000000", "ST012.50", "MD1", "VS"}));
  EXPECT_EQ(timeline,
            (Strings{"srch@0", "shdel@0", "shdel@1", "shdel@2", "shdel@3", "FM@3", "act@4"}));
}

TEST_F(SearchTest, StartWritesTheSearchLogHeader) {
  rig.ctx.banks.bankSlots[6] = "old";
  rig.program.Finish(StartSearch(rig.ctx));
  EXPECT_EQ(File(), kHeader);
  const BankState::Slots& slots = rig.ctx.banks.bankSlots;
  EXPECT_EQ(slots[0], "Scanbank");
  EXPECT_EQ(slots[1], "FM");
  EXPECT_EQ(slots[2], "12.5");
  EXPECT_EQ(slots[3], " ");
  EXPECT_EQ(slots[4], "9999");
  EXPECT_EQ(rig.ctx.banks.bankFileName, "bank00.dat");
  EXPECT_EQ(rig.ctx.banks.bankScanIndex, 2);
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kSearching);
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 0);
}

TEST_F(SearchTest, StartHeaderCarriesTheModeAndStepOfTheMoment) {
  rig.ctx.tuning.modeText = "CW ";
  rig.ctx.tuning.searchStepText = "6.25";
  rig.program.Finish(StartSearch(rig.ctx));
  EXPECT_EQ(File(), "Scanbank\r\nCW \r\n6.25\r\n \r\n9999\r\n");
  EXPECT_EQ(rig.program.Commands(),
            (Strings{"VA0145000000", "VB0146000000", "ST006.25", "MD5", "VS"}));
}

TEST_F(SearchTest, StartShowsSearchModeActiveAndTheLimits) {
  rig.program.Finish(StartSearch(rig.ctx));
  const fakes::FakeDisplay& display = rig.program.display;
  const auto active = display.RunAt(290, 320);
  EXPECT_EQ(active.text, "Search Mode Active      ");
  EXPECT_EQ(active.colour, Colour::kGreen);
  EXPECT_EQ(active.font, ArielBold(30));
  const auto limits = display.RunAt(340, 370);
  EXPECT_EQ(limits.text, "145/146");
  EXPECT_EQ(limits.font, ArielBold(50));
  EXPECT_EQ(limits.colour, Colour::kBlack);
  EXPECT_EQ(display.TextAt(370, 80), "FM      ");
  // The frequency line keeps the frequency from before the search.
  EXPECT_EQ(rig.ctx.tuning.frequencyText, "145.5");
  EXPECT_EQ(display.TextAt(300, 150).substr(0, 5), "145.5");
}

TEST_F(SearchTest, StartGoesOnWhenTheLogCannotBeWritten) {
  rig.program.files.failingWrites.insert("bank00.dat");
  rig.program.Finish(StartSearch(rig.ctx));
  EXPECT_EQ(rig.program.files.files.count("bank00.dat"), 0u);
  EXPECT_EQ(rig.program.Commands().back(), "VS");
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kSearching);
}

TEST_F(SearchTest, StartingAgainForgetsTheHitsSoFar) {
  rig.program.Finish(StartSearch(rig.ctx));
  rig.answers["RX"] = Answer("0145512500");
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 1);
  rig.program.Finish(StartSearch(rig.ctx));
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 0);
  EXPECT_EQ(rig.ctx.banks.bankSlots[4], "9999");
  EXPECT_EQ(File(), kHeader);
}

TEST_F(SearchTest, ContinuingSearchLogsEachHitCountsAloudAndResumesByItself) {
  rig.program.Finish(StartSearch(rig.ctx));
  rig.program.ClearRecords();
  timeline.clear();
  rig.answers["RX"] = Answer("0145512500");
  rig.Cycle(kSignal);
  rig.Cycles(5, kSignal);
  rig.Cycle(kQuiet);
  rig.answers["RX"] = Answer("0145800000");
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.program.Commands(),
            (Strings{"LM", "RX", "LM", "LM", "LM", "LM", "LM", "<1E>", "LM", "LM", "RX"}));
  EXPECT_EQ(rig.program.Heard(), (Strings{"1", "1", "4", "5", "point", "5", "1", "2", "5", "shdel",
                                          "2", "1", "4", "5", "point", "8"}));
  EXPECT_EQ(rig.ctx.tuning.frequencyText, "145.8");

  rig.program.ClearRecords();
  EndSearch(rig.ctx);
  EXPECT_EQ(File(), "Scanbank\r\nFM\r\n12.5\r\n \r\n145.5125\r\n \r\n145.8\r\n \r\n9999\r\n");
  EXPECT_EQ(rig.program.Heard(), Strings{"2"});
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kOff);
}

TEST_F(SearchTest, StopModeSearchSaysStopAndWaitsWithoutCounting) {
  rig.ctx.poll.searchStopMode = StopMode::kStop;
  rig.program.Finish(StartSearch(rig.ctx));
  rig.program.ClearRecords();
  rig.answers["RX"] = Answer("0145512500");
  rig.Cycles(8, kSignal);
  EXPECT_EQ(rig.program.Heard(), (Strings{"stop", "1", "4", "5", "point", "5", "1", "2", "5"}));
  EXPECT_EQ(rig.Count("<1E>"), 0);
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 1);
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kStopped);
  EXPECT_EQ(rig.ctx.banks.bankSlots[4], "145.5125");
}

TEST_F(SearchTest, EndWritesTheLogAndSpeaksTheHitCount) {
  struct Row {
    int hits;
    Strings heard;
  };
  const Row rows[] = {
      {0, {"0"}},
      {7, {"7"}},
      {12, {"1", "2"}},
      {105, {"1", "0", "5"}},
  };
  for (const Row& row : rows) {
    ConnectedPanel other;
    other.program.Finish(StartSearch(other.ctx));
    BankState::Slots& slots = other.ctx.banks.bankSlots;
    std::string expected = kHeader;
    expected.resize(expected.size() - 6);  // without the end mark
    for (int hit = 0; hit < row.hits; ++hit) {
      const std::string frequency = std::to_string(145 + hit / 100) + "." + std::to_string(hit);
      slots[4 + 2 * hit] = frequency;
      slots[5 + 2 * hit] = " ";
      expected += frequency + "\r\n \r\n";
    }
    slots[4 + 2 * row.hits] = "9999";
    expected += "9999\r\n";
    other.ctx.poll.searchHitCount = row.hits;
    other.program.ClearRecords();
    EndSearch(other.ctx);
    EXPECT_EQ(other.program.Heard(), row.heard) << row.hits;
    EXPECT_EQ(other.program.files.files["bank00.dat"], expected) << row.hits;
    EXPECT_EQ(other.ctx.poll.searchState, Search::kOff);
  }
}

TEST_F(SearchTest, EndSaysWrerrWhenTheLogCannotBeWrittenAndStillGivesTheCount) {
  rig.program.Finish(StartSearch(rig.ctx));
  rig.program.files.diskFull = true;
  rig.ctx.poll.searchHitCount = 3;
  rig.program.ClearRecords();
  EndSearch(rig.ctx);
  EXPECT_EQ(rig.program.Heard(), (Strings{"wrerr", "3"}));
  EXPECT_EQ(File(), kHeader);
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kOff);
}

TEST_F(SearchTest, EndWithoutASearchDoesNothing) {
  rig.ctx.poll.searchState = Search::kOff;
  EndSearch(rig.ctx);
  EXPECT_TRUE(rig.program.Heard().empty());
  EXPECT_TRUE(rig.program.files.files.empty());
}

}  // namespace
}  // namespace voxrig
