// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <string_view>

namespace ar8600sim {

// Walks the lines of one of the simulator's small text files (signals, memory,
// control), LF or CR LF ended, passing over blank lines and '#' comments.
// `take(line)` returns an error text, empty when the line was taken; the walk
// stops at the first error and returns its line number, or 0 when every line
// was taken.
template <typename Take>
int ForEachDataLine(std::string_view text, std::string& error, Take take) {
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    error = take(line);
    if (!error.empty()) return lineNumber;
  }
  return 0;
}

}  // namespace ar8600sim
