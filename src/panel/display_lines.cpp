// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/display_lines.h"

#include <algorithm>
#include <string>

namespace voxrig {

namespace {

std::string Blanks(int count) {
  return std::string(static_cast<std::size_t>(count), ' ');
}

// Blanks as wide as a field of the search line (the 220 pixels from one
// field's place to the next at 30 points): no glyph of an earlier, wider
// value (the T of CONT behind STOP) is left beside the new one. A clear that
// runs into the next field is drawn over when that field is drawn, left to
// right.
constexpr int kSearchFieldBlanks = 20;

// Draws one field of the search line: cleared to its full width, then the
// value; the value's trailing blanks also erase what a longer earlier value
// left at its place.
void ShowSearchField(Display& display, Line line, const std::string& text) {
  MoveTo(display, line);
  display.Print(Blanks(kSearchFieldBlanks));
  MoveTo(display, line);
  display.Print(text);
}

}  // namespace

std::size_t PaddingZeros(const std::string& frequency) {
  constexpr std::size_t kShownLength = 8;
  constexpr std::size_t kMostZeros = 4;
  if (frequency.size() >= kShownLength) return 0;
  return std::min(kMostZeros, kShownLength - frequency.size());
}

void ShowFrequency(Context& ctx) {
  Display& display = *ctx.platform.display;
  display.SetFont(FontOf(Line::kFrequency));
  MoveTo(display, Line::kFrequency);
  display.Print(Blanks(20));  // erases the old frequency, whatever its length
  MoveTo(display, Line::kFrequency);
  display.SetColour(ColourOf(Line::kFrequency));
  display.Print(ctx.tuning.frequencyText);
  // A short entry such as 145.5 is shown as 145.5000: at most four zeros,
  // counted from the text shown, so the line reads as one frequency.
  const std::size_t zeros = PaddingZeros(ctx.tuning.frequencyText.str());
  if (zeros > 0) display.Print(std::string(zeros, '0') + Blanks(16));
  display.SetColour(Colour::kBlack);
  display.SetFont(ArielBold(30));
  ctx.panel.frequencyShown = true;
}

void ShowSearchLine(Context& ctx) {
  Display& display = *ctx.platform.display;
  const TuningState& tuning = ctx.tuning;
  display.SetFont(FontOf(Line::kSearchLower));
  display.SetColour(ColourOf(Line::kSearchLower));
  ShowSearchField(display, Line::kSearchLower, tuning.searchLowerText + Blanks(10));
  ShowSearchField(display, Line::kSearchStep, tuning.searchStepText + Blanks(9));
  ShowSearchField(display, Line::kSearchStopMode,
                  ctx.poll.searchStopMode == StopMode::kStop ? "STOP" : "CONT");
  ShowSearchField(display, Line::kSearchUpper, tuning.searchUpperText + Blanks(8));
}

void ClearLowerPanel(Context& ctx) {
  Display& display = *ctx.platform.display;
  display.SetFont(FontOf(Line::kLowerPanel1));
  for (const Line line :
       {Line::kLowerPanel1, Line::kLowerPanel2, Line::kLowerPanel3, Line::kLowerPanel4}) {
    MoveTo(display, line);
    display.Print(Blanks(40));
  }
}

}  // namespace voxrig
