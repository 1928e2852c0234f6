// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "tuning/frequency.h"

namespace voxrig {
namespace {

using fakes::TestProgram;
using Strings = std::vector<std::string>;

class FrequencyTest : public ::testing::Test {
 protected:
  void SetUp() override { program.AttachReceiver(); }
  TuningState& tuning() { return program.ctx.tuning; }

  TestProgram program;
};

TEST_F(FrequencyTest, VfoACommandFollowsTheFrequencyTable) {
  struct Row {
    std::string digits;
    std::string command;
  };
  const Row rows[] = {
      {"145.5", "VA0145.50000"}, {"145", "VA0145000000"},      {"145.", "VA0145.00000"},
      {"7.05", "VA0007.05000"},  {"0.5", "VA0000.50000"},      {"1296.25", "VA1296.25000"},
      {"2500", "VA2500000000"},  {"145.1234", "VA0145.12340"}, {"145.12345", "VA0145.123450"},
  };
  for (const Row& row : rows) {
    program.ClearRecords();
    tuning().frequencyDigits = row.digits;
    tuning().frequencyText = row.digits;
    SetVfoA(program.ctx);
    EXPECT_EQ(program.line.written, row.command + "\r") << row.digits;
  }
}

TEST_F(FrequencyTest, VfoAShowsAWholeMegahertzTextWithPointZero) {
  tuning().frequencyDigits = "145";
  tuning().frequencyText = "145";
  SetVfoA(program.ctx);
  EXPECT_EQ(tuning().frequencyText, "145.0");
  EXPECT_EQ(program.display.TextAt(300, 150).substr(0, 5), "145.0");

  tuning().frequencyDigits = "145.5";
  tuning().frequencyText = "145.5";
  SetVfoA(program.ctx);
  EXPECT_EQ(tuning().frequencyText, "145.5");
  EXPECT_EQ(program.Commands(), (Strings{"VA0145000000", "VA0145.50000"}));
}

TEST_F(FrequencyTest, VfoBSendsItsCommandAndDrawsNothing) {
  tuning().frequencyDigits = "146";
  tuning().frequencyText = "145.5";
  SetVfoB(program.ctx);
  EXPECT_EQ(program.Commands(), Strings{"VB0146000000"});
  EXPECT_EQ(tuning().frequencyText, "145.5");
  EXPECT_TRUE(program.display.runs().empty());

  tuning().frequencyText = "146";
  SetVfoB(program.ctx);
  EXPECT_EQ(tuning().frequencyText, "146.0");
  EXPECT_TRUE(program.display.runs().empty());
}

TEST_F(FrequencyTest, TextToHzReadsMegahertzAndCutsPastTheSixthDecimal) {
  struct Row {
    std::string digits;
    std::int64_t hz;
  };
  const Row rows[] = {
      {"145.5", 145500000},        {"145.", 145000000},
      {"145", 145000000},          {"145.5125", 145512500},
      {"145.0001", 145000100},     {".5", 500000},
      {"1296.25", 1296250000},     {"7.05", 7050000},
      {"145.1234567", 145123456},  {"145.12345678", 145123456},
      {"145.5x5", 145505000},      {"2500", 2500000000},
      {"2147.483648", 2147483648}, {"", 0},
  };
  for (const Row& row : rows) {
    tuning().frequencyDigits = row.digits;
    TextToHz(program.ctx);
    EXPECT_EQ(tuning().frequencyHz, row.hz) << row.digits;
  }
}

TEST_F(FrequencyTest, HzToTextPutsThePointSixDigitsFromTheEndAndDropsTrailingZeros) {
  struct Row {
    std::int64_t hz;
    std::string digits;
  };
  const Row rows[] = {
      {145500000, "145.5"},
      {145000000, "145."},
      {145512500, "145.5125"},
      {145000100, "145.0001"},
      {500000, ".5"},
      {1296250000, "1296.25"},
      {2147483648, "2147.483648"},
      {5000000000, "5000."},
      // Below 100 kHz the six decimals are filled with zeros.
      {50000, ".05"},
      {100, ".0001"},
      {1, ".000001"},
      // No frequency, or below none, is shown and spoken as 0.
      {0, "0."},
      {-900, "0."},
  };
  for (const Row& row : rows) {
    tuning().frequencyHz = row.hz;
    HzToText(program.ctx);
    EXPECT_EQ(tuning().frequencyDigits, row.digits) << row.hz;
  }
}

TEST_F(FrequencyTest, StepToHzCountsOnlyTheFirstDecimal) {
  struct Row {
    std::string step;
    std::int64_t hz;
  };
  const Row rows[] = {
      {"12.5", 12500}, {"6.25", 6200}, {"8.33", 8300},  {"0.5", 500},
      {".5", 500},     {"25", 25000},  {"100", 100000},
  };
  for (const Row& row : rows) {
    tuning().searchStepText = row.step;
    EXPECT_EQ(StepToHz(program.ctx), row.hz) << row.step;
  }
}

TEST_F(FrequencyTest, TuneByMovesTheShownFrequencyAndSetsVfoA) {
  struct Row {
    std::string shown;
    std::int64_t delta;
    std::string tuned;
    std::string command;
  };
  const Row rows[] = {
      {"145.", 1000, "145.001", "VA0145.00100"},
      {"145.0001", -100, "145.", "VA0145.00000"},
      {"145", 100, "145.0001", "VA0145.00010"},          // typed, Enter not yet pressed
      {"145.5", 6200, "145.5062", "VA0145.50620"},       // Page Up with the step 6.25
      {"145.1234567", 0, "145.12345", "VA0145.123450"},  // to the receiver's 50 Hz
      {"2147.483647", 1, "2147.483648", "VA2147.4836480"},
      {"3000.", 1000, "3000.001", "VA3000.00100"},
      {".0001", -1000, "0.", "VA0000.00000"},
  };
  for (const Row& row : rows) {
    program.ClearRecords();
    tuning().frequencyText = row.shown;
    TuneBy(program.ctx, row.delta);
    EXPECT_EQ(tuning().frequencyText, row.tuned) << row.shown;
    EXPECT_EQ(program.Commands(), Strings{row.command}) << row.shown;
  }
}

TEST_F(FrequencyTest, TuningAnAbsurdlyLongTypedFrequencyStaysANumber) {
  tuning().frequencyText = "99999999999999999999999";
  TuneBy(program.ctx, 100);
  EXPECT_EQ(tuning().frequencyText, "1000000000.0001");
  tuning().frequencyText = "99999999999999999999999";
  TuneBy(program.ctx, INT64_MAX);
  EXPECT_FALSE(tuning().frequencyText.empty());
}

TEST_F(FrequencyTest, StepCommandFollowsTheStepTable) {
  struct Row {
    std::string step;
    std::string command;
  };
  const Row rows[] = {
      {"12.5", "ST012.50"}, {"6.25", "ST006.25"}, {"0.5", "ST000.50"}, {"2.5", "ST002.50"},
      {"5", "ST005000"},    {"25", "ST025000"},   {"100", "ST100000"}, {"12.345", "ST012.345"},
  };
  for (const Row& row : rows) {
    program.ClearRecords();
    tuning().searchStepText = row.step;
    SetStep(program.ctx);
    EXPECT_EQ(program.line.written, row.command + "\r") << row.step;
    EXPECT_TRUE(program.Heard().empty());
    EXPECT_TRUE(program.display.runs().empty());
  }
}

}  // namespace
}  // namespace voxrig
