// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/display.h"

namespace voxrig {

// The panel's text as rows of plain text, for the outputs that cannot draw
// at a place in pixels: the terminal's lines and the braille line. Each print
// lands on the row of its y and hides what it covers of earlier prints, as
// the window's opaque text does: on its own row from its x for the width of
// its characters, and on the rows below it that its font's height reaches
// (so the lower panel's 70-point blanks wipe the status line and the echo
// area under them). Widths are estimated from the font's size, which is
// enough to know what hides what: the panel's places stand far apart.
class TextScreen {
 public:
  // Puts the text (as the display draws it) at x, y in the font; returns the
  // x where it ends, where a print without a new position goes on.
  int Put(int x, int y, const Font& font, const std::string& text);
  // The row's text as a reader wants it: its prints from left to right,
  // blanks at both ends dropped, and every gap (blanks between words, or
  // space between prints that do not touch) shown as at most two blanks.
  std::string Row(int y) const;
  // The y of every row that has been printed on, top to bottom.
  std::vector<int> Rows() const;

 private:
  struct Piece {
    int x = 0;
    int cellWidth = 1;
    std::string text;
    int End() const { return x + cellWidth * static_cast<int>(text.size()); }
  };
  using Line = std::vector<Piece>;  // left to right

  static void Hide(Line& line, int from, int to);

  std::map<int, Line> rows_;
};

}  // namespace voxrig
