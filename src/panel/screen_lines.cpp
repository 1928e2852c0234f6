// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/screen_lines.h"

namespace voxrig {

namespace {
constexpr int kBold = 700;
}  // namespace

Font ArielBold(int points) {
  return Font{"Ariel", points, kBold};
}

Font AerialBold(int points) {
  return Font{"Aerial", points, kBold};
}

Font FontOf(Line line) {
  const int points = LineFacts(line).points;
  return points == kWindowFont ? Font{} : ArielBold(points);
}

Colour ColourOf(Line line) {
  return LineFacts(line).colour.value_or(Colour::kBlack);
}

void MoveTo(Display& display, Line line) {
  const ScreenLine& place = LineFacts(line);
  display.SetTextPosition(place.x, place.y);
}

}  // namespace voxrig
