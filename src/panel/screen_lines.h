// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/display.h"

// The panel's screen lines: every place the panel draws text, with the font
// and colour it is drawn in there. Each piece of information has its own
// place and is redrawn there whenever it changes, so this table is the whole
// layout of the window.
namespace voxrig {

enum class Line {
  kBanner,
  kConfigurationMissing,
  kSetupAdvice,
  kConnectStart,
  kMeter,
  kReceiverLost,
  kMode,
  kFrequency,
  kSearchLower,
  kSearchStep,
  kSearchStopMode,
  kSearchUpper,
  kScanStatus,
  kSearchActive,
  kSearchStarted,
  kEcho,
  kLowerPanel1,
  kLowerPanel2,
  kLowerPanel3,
  kLowerPanel4,
  kPortDetail,
  kPortHint,
  kChannel,
};

struct ScreenLine {
  Line line;
  std::string_view name;
  int x;
  int y;
  // The size of the bold "Ariel" it is drawn in; 0 for the window's default
  // font, which the lines drawn before any font is chosen are in.
  int points;
  // The colour it is drawn in; none where the line keeps the colour the
  // drawing before it left.
  std::optional<Colour> colour;
};

inline constexpr int kWindowFont = 0;

// clang-format off
inline constexpr std::array<ScreenLine, 23> kScreenLines{{
    {Line::kBanner,               "banner and authorship",        270,   0, kWindowFont, std::nullopt},
    {Line::kConfigurationMissing, "no VOXRIG.CFG",                  0,  30, kWindowFont, std::nullopt},
    {Line::kSetupAdvice,          "run the set-up",                 0,  60, kWindowFont, std::nullopt},
    // Where the connect sequence begins; nothing is printed there.
    {Line::kConnectStart,         "connect start",                  0,   0, 50, std::nullopt},
    // One place for the level meter and for the link's status over it.
    {Line::kMeter,                "level meter",                  320,  30, 30, Colour::kGreen},
    {Line::kReceiverLost,         "receiver not connected",       320,  30, 30, Colour::kRed},
    {Line::kMode,                 "mode",                         370,  80, 50, Colour::kBlack},
    {Line::kFrequency,            "frequency",                    300, 150, 50, Colour::kBlue},
    {Line::kSearchLower,          "search lower limit",            80, 250, 30, Colour::kBlack},
    {Line::kSearchStep,           "search step",                  300, 250, 30, Colour::kBlack},
    {Line::kSearchStopMode,       "search STOP or CONT",          500, 250, 30, Colour::kBlack},
    {Line::kSearchUpper,          "search upper limit",           750, 250, 30, Colour::kBlack},
    // One place for the scan and search status.
    {Line::kScanStatus,           "SCANNING or STOPPED",          270, 320, 30, Colour::kRed},
    {Line::kSearchActive,         "Search Mode Active",           270, 320, 30, Colour::kGreen},
    // The search's start shows "Search Mode Active" 20 pixels right of where
    // the status line redraws it, as it always has.
    {Line::kSearchStarted,        "search started",               290, 320, 30, Colour::kGreen},
    {Line::kEcho,                 "key echo",                     340, 370, 50, std::nullopt},
    // Blanked in the largest font, wiping the status line and the key echo.
    {Line::kLowerPanel1,          "lower panel 1",                150, 300, 70, std::nullopt},
    {Line::kLowerPanel2,          "lower panel 2",                300, 350, 70, std::nullopt},
    {Line::kLowerPanel3,          "lower panel 3",                300, 400, 70, std::nullopt},
    {Line::kLowerPanel4,          "lower panel 4",                300, 450, 70, std::nullopt},
    // Under the panel, small enough for a long /dev/serial/by-id name to fit
    // the window's width: what went wrong with the port, and what to run.
    {Line::kPortDetail,           "port report",                   10, 405, 16, Colour::kBlack},
    {Line::kPortHint,             "port report's advice",          10, 435, 16, Colour::kBlack},
    // Under the frequency, clear of its height and of the search line: the
    // channel the panel is on and its name.
    {Line::kChannel,              "channel and name",             300, 218, 20, Colour::kBlack},
}};
// clang-format on

constexpr const ScreenLine& LineFacts(Line line) {
  return kScreenLines[static_cast<std::size_t>(line)];
}

// The table stands in the order of Line, so a line's row is found by its number.
constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i < kScreenLines.size(); ++i) {
    if (static_cast<std::size_t>(kScreenLines[i].line) != i) return false;
  }
  return true;
}
static_assert(RowsInOrder(), "kScreenLines must list the lines in the order of Line");

// The panel's fonts. "Ariel" and "Aerial" are the faces the panel has always
// asked for; the display resolves them to Arial or its metric twin.
Font ArielBold(int points);
Font AerialBold(int points);

// The line's font: bold "Ariel" of its size, or the window's default font.
Font FontOf(Line line);
// The line's colour; black for a line that keeps the colour left before it.
Colour ColourOf(Line line);
// Sets the text position to the line's place.
void MoveTo(Display& display, Line line);

}  // namespace voxrig
