// SPDX-License-Identifier: GPL-3.0-or-later
// What the keys ask of the radio's record: on the AR8600's, a frequency is
// tuned as typed when the receiver holds it exactly, rounded to its 50 Hz
// otherwise, and nothing outside 0.1 to 2040 MHz.
#include <gtest/gtest.h>

#include <string>

#include "link/radio_capabilities.h"
#include "tuning/radio_abilities.h"

namespace voxrig {
namespace {

struct Row {
  const char* input;
  const char* expected;
};

TEST(RadioAbilities, TunableFrequenciesAreRoundedToTheAr8600sFiftyHertz) {
  const Row rows[] = {
      {"145.5", "145.5"},
      {"0145.5", "0145.5"},
      {"145.", "145."},
      {"145.12345", "145.12345"},
      {"145.12345678901", "145.12345"},
      {"145.000025", "145.00005"},
      {"145.000024999", "145"},
      {"145.5000000", "145.5"},
      {"0.099975", ".1"},
      {"2040.000024", "2040"},
      {"0.099974", ""},
      {"2040.000025", ""},
      {"3000", ""},
      {"1.4.5", ""},
      {"", ""},
      {"12e3", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TunableOn(Ar8600Capabilities(), row.input).value_or(""), row.expected) << row.input;
  }
  EXPECT_EQ(RoundedForRadio(Ar8600Capabilities(), 145'500'001), 145'500'000);
  EXPECT_EQ(RoundedForRadio(Ar8600Capabilities(), 145'500'025), 145'500'050);
}

}  // namespace
}  // namespace voxrig
