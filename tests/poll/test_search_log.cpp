// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_test_support.h"
#include "fakes/connected_panel.h"
#include "poll/search_log.h"

namespace voxrig {
namespace {

using banktest::Bank;
using banktest::FileLines;
using banktest::Frequencies;
using Strings = std::vector<std::string>;

struct SearchLogTest : fakes::PanelFixture {
  SearchLogTest() {
    // The log as a search start leaves it.
    ctx.banks.bankFileName = "bank00.dat";
    const Strings header = {"Scanbank", "FM", "12.5", " ", "9999"};
    for (int i = 0; i < 5; ++i) ctx.banks.bankSlots[i] = header[i];
    ctx.poll.searchHitCount = 0;
    ctx.poll.searchState = Search::kStopped;
  }
  void Hit(const std::string& frequency) {
    ctx.tuning.frequencyText = frequency;
    LogSearchHit(ctx);
  }
};

TEST_F(SearchLogTest, HitsAreLoggedOnceAndCountedAloudInContMode) {
  const Strings hits = Frequencies(12);
  for (const std::string& f : hits) Hit(f);
  Hit(hits[3]);
  EXPECT_EQ(ctx.poll.searchHitCount, 12);
  // Each find's count, then its frequency.
  Strings counted;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (i + 1 >= 10) counted.push_back(std::to_string((i + 1) / 10));
    counted.push_back(std::to_string((i + 1) % 10));
    std::string said = hits[i];  // as a frequency is said: 145.0250 as 145.025
    while (said.back() == '0') said.pop_back();
    if (said.back() == '.') said += '0';
    for (char c : said) counted.push_back(c == '.' ? "point" : std::string(1, c));
  }
  EXPECT_EQ(program.Heard(), counted);
  EXPECT_EQ(BankFileBytes(ctx.banks.bankSlots), Bank("Scanbank", "FM", "12.5", hits));
  // Each find is on disk as soon as it is logged.
  EXPECT_EQ(program.files.files["bank00.dat"], Bank("Scanbank", "FM", "12.5", hits));
}

TEST_F(SearchLogTest, StopModeLogsWithoutSpeaking) {
  ctx.poll.searchStopMode = StopMode::kStop;
  Hit("145.5");
  Hit("146.0");
  EXPECT_EQ(ctx.poll.searchHitCount, 2);
  EXPECT_TRUE(program.Heard().empty());
}

TEST_F(SearchLogTest, FullLogRefusesHitsWithBfAndStillEndsWithItsTerminator) {
  const Strings hits = Frequencies(198);
  for (int i = 0; i < 197; ++i) Hit(hits[i]);
  EXPECT_EQ(ctx.poll.searchHitCount, 197);
  program.ClearRecords();
  Hit(hits[197]);
  EXPECT_EQ(program.Heard(), Strings{"bf"});
  EXPECT_EQ(ctx.poll.searchHitCount, 197);
  program.ClearRecords();
  Hit(hits[5]);  // already logged: nothing said
  EXPECT_TRUE(program.Heard().empty());

  const Strings lines = FileLines(BankFileBytes(ctx.banks.bankSlots));
  EXPECT_EQ(lines.size(), 399u);
  EXPECT_EQ(lines.back(), "9999");
  EXPECT_EQ(lines[4 + 2 * 196], hits[196]);
}

TEST_F(SearchLogTest, HundredthHitIsCountedDigitByDigit) {
  const Strings hits = Frequencies(100);
  for (int i = 0; i < 99; ++i) Hit(hits[i]);
  program.ClearRecords();
  Hit(hits[99]);
  const Strings heard = program.Heard();
  ASSERT_GE(heard.size(), 3u);
  EXPECT_EQ(Strings(heard.begin(), heard.begin() + 3), (Strings{"1", "0", "0"}));
}

}  // namespace
}  // namespace voxrig
