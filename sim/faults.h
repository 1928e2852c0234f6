// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Faults the simulated receiver shows on demand, so the panel's handling of a
// silent, babbling, vanishing or slow receiver can be tested.
namespace ar8600sim {

struct Faults {
  bool silent = false;              // commands are read (and logged) but never answered
  bool garbage = false;             // every answer is replaced by bytes that hold no keyword
  std::optional<int> replyDelayMs;  // first byte this long after the CR, instead of 7-20 ms
  // What RX answers first during a VFO search: "VS" is our guess for the
  // AR8600; a related AOR receiver answers "SS RF...". Two capital letters.
  std::string searchAnswer = "VS";

  bool operator==(const Faults&) const = default;
};

// The control file, read again on SIGHUP. One setting a line, '#' comments:
//   silent on|off
//   garbage on|off
//   drop-after N      (counted from when the file is read; 0: never)
//   hang-up           (drop the line now)
//   reply-delay-ms N  (normal: "reply-delay-ms off")
//   search-answer XX  (two capital letters; normal: "search-answer VS")
// Settings not named keep their value.
struct ControlLoad {
  Faults faults;
  std::optional<int> dropAfter;  // given: start counting again (0: never drop)
  bool hangUpNow = false;
  int line = 0;  // 1-based line of the first error, 0 when none
  std::string error;
};
ControlLoad ParseControlFile(std::string_view text, const Faults& current);

// Two capital letters, as the receiver's keywords are.
bool IsKeyword(std::string_view word);

}  // namespace ar8600sim
