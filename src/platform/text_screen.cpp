// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_screen.h"

#include <algorithm>

namespace voxrig {

namespace {

// The font the window uses before the panel chooses one: 12 points.
constexpr int kDefaultPoints = 12;

// A character's height in pixels at 96 dots per inch, and the width of an
// average character of a bold sans face, a little over half of it.
int HeightOf(const Font& font) {
  const int points = font.face.empty() || font.points <= 0 ? kDefaultPoints : font.points;
  return std::max(1, points * 96 / 72);
}

int CellWidthOf(const Font& font) {
  return std::max(1, HeightOf(font) * 11 / 20);
}

// Blanks at both ends dropped, and every run of blanks inside kept to two at
// most: wide gaps between the panel's fields read as one pause.
std::string Squeezed(const std::string& text) {
  std::string out;
  int blanks = 0;
  for (char c : text) {
    if (c == ' ') {
      ++blanks;
      continue;
    }
    if (!out.empty()) out.append(static_cast<std::size_t>(std::min(blanks, 2)), ' ');
    blanks = 0;
    out += c;
  }
  return out;
}

}  // namespace

// Cuts [from, to) out of the line's pieces: a piece keeps the characters
// that start before `from` and those that start at or after `to`.
void TextScreen::Hide(Line& line, int from, int to) {
  Line kept;
  for (const Piece& piece : line) {
    if (piece.End() <= from || piece.x >= to) {
      kept.push_back(piece);
      continue;
    }
    const int count = static_cast<int>(piece.text.size());
    const int before = std::clamp((from - piece.x) / piece.cellWidth, 0, count);
    const int after = std::clamp((to - piece.x + piece.cellWidth - 1) / piece.cellWidth, 0, count);
    if (before > 0) kept.push_back({piece.x, piece.cellWidth, piece.text.substr(0, before)});
    if (after < count) {
      kept.push_back(
          {piece.x + after * piece.cellWidth, piece.cellWidth, piece.text.substr(after)});
    }
  }
  line = std::move(kept);
}

int TextScreen::Put(int x, int y, const Font& font, const std::string& text) {
  const int cell = CellWidthOf(font);
  const int end = x + cell * static_cast<int>(text.size());
  if (text.empty()) return x;
  // Rows further down that the characters' height reaches lose what they
  // showed there.
  const int bottom = y + HeightOf(font);
  for (auto row = rows_.upper_bound(y); row != rows_.end() && row->first < bottom; ++row) {
    Hide(row->second, x, end);
  }
  Line& line = rows_[y];
  Hide(line, x, end);
  line.push_back({x, cell, text});
  std::sort(line.begin(), line.end(), [](const Piece& a, const Piece& b) { return a.x < b.x; });
  return end;
}

std::string TextScreen::Row(int y) const {
  const auto row = rows_.find(y);
  if (row == rows_.end()) return "";
  std::string text;
  int lastEnd = 0;
  for (const Piece& piece : row->second) {
    // Prints that do not touch stand apart by a gap even when neither ends in a blank.
    if (!text.empty() && piece.x > lastEnd) text += "  ";
    text += piece.text;
    lastEnd = piece.End();
  }
  return Squeezed(text);
}

std::vector<int> TextScreen::Rows() const {
  std::vector<int> ys;
  for (const auto& [y, line] : rows_) ys.push_back(y);
  return ys;
}

}  // namespace voxrig
