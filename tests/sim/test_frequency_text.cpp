// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "frequency_text.h"

namespace ar8600sim {
namespace {

TEST(FrequencyText, ReadsMegahertzAndHertzFormsRoundedTo50Hz) {
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"0145.50000", 145'500'000},
      {"0145.123450", 145'123'450},
      {"0145000000", 145'000'000},
      {"145.5", 145'500'000},
      {".5", 500'000},
      {"0007.05000", 7'050'000},
      {"0145.123475", 145'123'500},
      {"0145.12342", 145'123'400},
      {"0145512520", 145'512'500},
      {"0145512525", 145'512'550},
      {"2040.00000", 2'040'000'000},
      {"0145.1234567890", 145'123'450},
  };
  for (const auto& [text, hz] : cases) {
    EXPECT_EQ(ParseFrequencyHz(text), hz) << text;
  }
}

TEST(FrequencyText, RefusesMalformedFrequencies) {
  for (const char* text : {"", ".", "014500000", "01450000000", "0145.5x", "12345.5", "01a5000000",
                           "-145.5", "145..5"}) {
    EXPECT_FALSE(ParseFrequencyHz(text).has_value()) << text;
  }
}

TEST(FrequencyText, RangeIsPointOneTo2040Megahertz) {
  EXPECT_FALSE(FrequencyInRange(99'950));
  EXPECT_TRUE(FrequencyInRange(100'000));
  EXPECT_TRUE(FrequencyInRange(2'040'000'000));
  EXPECT_FALSE(FrequencyInRange(2'040'000'050));
}

TEST(FrequencyText, ReadsStepsTheReceiverHasAndRefusesOthers) {
  const std::vector<std::pair<std::string, std::optional<int>>> cases = {
      {"012500", 12'500},  {"012.50", 12'500}, {"006.25", 6'250}, {"000.50", 500},
      {"12.5", 12'500},    {"008.33", 8'330},  {"008330", 8'330}, {"999950", 999'950},
      {"999.95", 999'950}, {"000050", 50},     {"012.345", {}},   {"000000", {}},
      {"000025", {}},      {"1000.0", {}},     {"01250", {}},     {"012.5000", {}},
      {"12.", {}},         {"ST", {}},
  };
  for (const auto& [text, hz] : cases) {
    EXPECT_EQ(ParseStepHz(text), hz) << text;
  }
}

TEST(FrequencyText, WritesFixedWidthFields) {
  EXPECT_EQ(TenDigitHz(145'500'000), "0145500000");
  EXPECT_EQ(TenDigitHz(1'296'250'000), "1296250000");
  EXPECT_EQ(SixDigitStep(12'500), "012500");
  EXPECT_EQ(SixDigitStep(50), "000050");
}

TEST(FrequencyText, AutomaticModeFollowsTheBand) {
  EXPECT_EQ(AutomaticModeFor(7'050'000), 2);    // short wave: AM
  EXPECT_EQ(AutomaticModeFor(98'500'000), 0);   // broadcast: WFM
  EXPECT_EQ(AutomaticModeFor(118'100'000), 2);  // air band: AM
  EXPECT_EQ(AutomaticModeFor(145'500'000), 1);  // 2 m: NFM
  EXPECT_EQ(AutomaticModeFor(430'000'000), 1);
}

TEST(FrequencyText, ReadsExactMegahertzForSignalFiles) {
  EXPECT_EQ(ParseMegahertzExact("145.2126"), 145'212'600);
  EXPECT_EQ(ParseMegahertzExact("7"), 7'000'000);
  EXPECT_FALSE(ParseMegahertzExact("145.1234567").has_value());
  EXPECT_FALSE(ParseMegahertzExact("abc").has_value());
}

}  // namespace
}  // namespace ar8600sim
