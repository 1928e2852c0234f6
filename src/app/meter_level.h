// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <optional>
#include <string>

namespace voxrig {

// The level meter's row as the level the listener hears: the count of its
// asterisks, 10 and more standing for "9 plus". Nothing when the row shows
// no meter (the link's status stands there while the receiver is away).
inline std::optional<int> MeterLevel(const std::string& row) {
  if (row.empty() || row.find_first_not_of("*>") != std::string::npos) return std::nullopt;
  return static_cast<int>(std::count(row.begin(), row.end(), '*'));
}

// "S5", "S9+": the level as the braille line and the terminal show it, with
// `gap` between the S and the digit.
inline std::string LevelText(int level, const std::string& gap) {
  return "S" + gap + std::to_string(std::min(level, 9)) + (level > 9 ? "+" : "");
}

}  // namespace voxrig
