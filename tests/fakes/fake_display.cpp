// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_display.h"

namespace voxrig::fakes {

void FakeDisplay::SetTextPosition(int x, int y) {
  x_ = x;
  y_ = y;
  continuing_ = false;
}

void FakeDisplay::SetFont(const Font& font) {
  font_ = font;
}

void FakeDisplay::SetColour(Colour colour) {
  colour_ = colour;
}

void FakeDisplay::Print(const std::string& text) {
  const std::string drawn = TextToDraw(text);
  if (continuing_ && !runs_.empty()) {
    // A continuation of the previous run: it stands where that run started.
    Run run = runs_.back();
    run.text += drawn;
    run.font = font_;
    run.colour = colour_;
    runs_.push_back(run);
  } else {
    runs_.push_back(Run{x_, y_, drawn, font_, colour_});
  }
  continuing_ = true;
}

FakeDisplay::Run FakeDisplay::RunAt(int x, int y) const {
  for (auto it = runs_.rbegin(); it != runs_.rend(); ++it) {
    if (it->x == x && it->y == y) return *it;
  }
  return Run{x, y, "", {}, Colour::kBlack};
}

bool FakeDisplay::DrewAt(int x, int y) const {
  for (const Run& run : runs_) {
    if (run.x == x && run.y == y) return true;
  }
  return false;
}

}  // namespace voxrig::fakes
