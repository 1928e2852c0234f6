#include "panel/display_lines.h"

#include <string>

#include "core/text_rules.h"

namespace voxrig {

namespace {

std::string Blanks(int count) {
  return std::string(static_cast<std::size_t>(count), ' ');
}

}  // namespace

Font ArielBold(int points) {
  return Font{"Ariel", points, 700};
}

Font AerialBold(int points) {
  return Font{"Aerial", points, 700};
}

void ShowFrequency(Context& ctx) {
  Display& display = *ctx.platform.display;
  display.SetFont(ArielBold(50));
  display.SetTextPosition(300, 150);
  display.Print(Blanks(20));  // erases the old frequency, whatever its length
  display.SetTextPosition(300, 150);
  display.SetColour(Colour::kBlue);
  display.Print(ctx.tuning.frequencyText);
  // A short entry such as 145.5 is shown as 145.5000: at most four zeros.
  const auto digits = static_cast<long long>(ctx.tuning.frequencyDigits.size());
  if (digits < 8) display.Print(LeftText("0000", 8 - digits) + Blanks(16));
  display.SetColour(Colour::kBlack);
  display.SetFont(ArielBold(30));
  ctx.command.limitEntryFresh = 1;
}

void ShowSearchLine(Context& ctx) {
  Display& display = *ctx.platform.display;
  const TuningState& tuning = ctx.tuning;
  display.SetFont(ArielBold(30));
  display.SetColour(Colour::kBlack);
  // The trailing blanks erase what a longer earlier value left at each place.
  display.SetTextPosition(80, 250);
  display.Print(tuning.searchLowerText + Blanks(10));
  display.SetTextPosition(300, 250);
  display.Print(tuning.searchStepText + Blanks(9));
  display.SetTextPosition(500, 250);
  display.Print(tuning.searchStopMode == StopMode::kStop ? "STOP" : "CONT");
  display.SetTextPosition(750, 250);
  display.Print(tuning.searchUpperText + Blanks(8));
}

void ClearLowerPanel(Context& ctx) {
  Display& display = *ctx.platform.display;
  display.SetFont(ArielBold(70));
  const int places[][2] = {{150, 300}, {300, 350}, {300, 400}, {300, 450}};
  for (const auto& place : places) {
    display.SetTextPosition(place[0], place[1]);
    display.Print(Blanks(40));
  }
}

}  // namespace voxrig
