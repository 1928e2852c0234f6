// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace voxrig {

enum class Colour { kBlack, kGreen, kRed, kBlue };

// A font as the panel asks for it: face name, size in points, weight (700 is
// bold). An empty face is the window's default font, used until the first
// font is chosen.
struct Font {
  std::string face;
  int points = 0;
  int weight = 0;
  friend bool operator==(const Font&, const Font&) = default;
};

// The text as a display draws it: a final LF, with a CR just before it, is a
// line end the panel's lines carry, not something to draw.
inline std::string TextToDraw(const std::string& text) {
  std::string drawn = text;
  if (!drawn.empty() && drawn.back() == '\n') {
    drawn.pop_back();
    if (!drawn.empty() && drawn.back() == '\r') drawn.pop_back();
  }
  return drawn;
}

// The panel's text output: a text position, a current font and colour, and
// opaque printing that moves the position on to the end of what it drew, so a
// second print without a new position continues on the same line.
class Display {
 public:
  virtual ~Display() = default;
  virtual void SetTextPosition(int x, int y) = 0;
  virtual void SetFont(const Font& font) = 0;
  virtual void SetColour(Colour colour) = 0;
  // Draws the text opaquely at the text position. A final LF (with a CR just
  // before it) is not drawn and does not move the position to another line.
  virtual void Print(const std::string& text) = 0;
};

}  // namespace voxrig
