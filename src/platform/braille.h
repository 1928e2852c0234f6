// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace voxrig {

// One line on a braille display, and the keys typed on the display's braille
// keyboard. Neither call waits for the display: Show hands the line over and
// returns, and TakeKeys returns what has arrived since the last call.
class BrailleLine {
 public:
  virtual ~BrailleLine() = default;
  // Shows the line (plain ASCII) from its start; a line longer than the
  // display is read by panning.
  virtual void Show(const std::string& line) = 0;
  // The keys typed since the last call, as the panel's key codes (the codes
  // the window gives for the same keys), oldest first.
  virtual std::vector<int> TakeKeys() = 0;
};

}  // namespace voxrig
