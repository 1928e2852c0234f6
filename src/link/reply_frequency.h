// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace voxrig {

// A frequency read out of a receiver answer: the digits as they came and the
// text the panel shows and logs.
struct ReplyFrequency {
  std::string digits;
  std::string text;
};

// Where the search stopped, from the answer to "RX": the run of digits after
// the first "RF" (the receiver sends ten, a blank follows them), with a point
// after the fourth and the leading and trailing zeros removed, so RF0145512500
// gives 145.5125 and RF0145000000 gives 145.0. Nothing when there is no "RF" or fewer than ten
// digits follow it (an answer cut short would log a wrong frequency).
std::optional<ReplyFrequency> SearchHitFrequency(std::string_view reply);

// Where a receiver scan holds, from the level answer: the four characters
// after the first "RF", a point and the five after those, with leading zeros
// removed (RF0145125000 gives 145.12500). Nothing when there is no "RF" or
// those nine characters are not all digits.
std::optional<ReplyFrequency> HeldScanFrequency(std::string_view reply);

}  // namespace voxrig
