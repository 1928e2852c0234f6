// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "panel/display_lines.h"

namespace voxrig {
namespace {

std::string Blanks(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

TEST(DisplayLines, FontsAreBoldArielAndAerial) {
  EXPECT_EQ(ArielBold(50), (Font{"Ariel", 50, 700}));
  EXPECT_EQ(AerialBold(30), (Font{"Aerial", 30, 700}));
}

TEST(ShowFrequency, ErasesThenDrawsBlueTextPaddedToEightCharacters) {
  struct Case {
    std::string text;
    std::string digits;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {"145.5", "145.5", "145.5000" + Blanks(16)},
      {"145", "145", "1450000" + Blanks(16)},  // four zeros, not five
      {"145.0125", "145.0125", "145.0125"},
      {"1296.00000", "1296.00000", "1296.00000"},
      {"", "", "0000" + Blanks(16)},
      // Padded from the text shown, whatever digits stand behind it.
      {"145.12", "145.1", "145.1200" + Blanks(16)},
      {"145.5125", "145", "145.5125"},
      {"145.0", "145", "145.0000" + Blanks(16)},
  };
  for (const Case& c : cases) {
    fakes::TestProgram program;
    program.ctx.tuning.frequencyText = c.text;
    program.ctx.tuning.frequencyDigits = c.digits;
    program.ctx.panel.frequencyShown = false;
    ShowFrequency(program.ctx);

    const auto& runs = program.display.runs();
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs[0].x, 300);
    EXPECT_EQ(runs[0].y, 150);
    EXPECT_EQ(runs[0].text, Blanks(20));
    EXPECT_EQ(runs[0].font, (Font{"Ariel", 50, 700}));
    const auto shown = program.display.RunAt(300, 150);
    EXPECT_EQ(shown.text, c.shown) << c.text;
    EXPECT_EQ(shown.colour, Colour::kBlue);
    EXPECT_EQ(shown.font, (Font{"Ariel", 50, 700}));
    // Left for the next line: black, 30 points, and the note that the line
    // was drawn, which starts a limit entry afresh.
    EXPECT_EQ(program.display.colour(), Colour::kBlack);
    EXPECT_EQ(program.display.font(), (Font{"Ariel", 30, 700}));
    EXPECT_TRUE(program.ctx.panel.frequencyShown);
  }
}

TEST(ShowSearchLine, DrawsTheFourFieldsInBlackThirtyPoint) {
  fakes::TestProgram program;
  program.ctx.tuning.searchLowerText = "145";
  program.ctx.tuning.searchStepText = "12.5";
  program.ctx.tuning.searchUpperText = "146";
  program.ctx.poll.searchStopMode = StopMode::kStop;
  program.display.SetColour(Colour::kRed);
  ShowSearchLine(program.ctx);

  EXPECT_EQ(program.display.TextAt(80, 250), "145" + Blanks(10));
  EXPECT_EQ(program.display.TextAt(300, 250), "12.5" + Blanks(9));
  EXPECT_EQ(program.display.TextAt(500, 250), "STOP");
  EXPECT_EQ(program.display.TextAt(750, 250), "146" + Blanks(8));
  ASSERT_EQ(program.display.runs().size(), 8u);
  for (const auto& run : program.display.runs()) {
    EXPECT_EQ(run.font, (Font{"Ariel", 30, 700}));
    EXPECT_EQ(run.colour, Colour::kBlack);
  }
}

// Each field is cleared to its full width at its place before its value is
// drawn, so STOP after the wider CONT leaves no piece of the T behind it.
TEST(ShowSearchLine, ClearsEachFieldToItsFullWidthBeforeDrawingIt) {
  for (const StopMode mode : {StopMode::kContinue, StopMode::kStop}) {
    fakes::TestProgram program;
    program.ctx.poll.searchStopMode = mode;
    ShowSearchLine(program.ctx);
    const auto& runs = program.display.runs();
    ASSERT_EQ(runs.size(), 8u);
    const int places[] = {80, 300, 500, 750};
    for (std::size_t field = 0; field < 4; ++field) {
      EXPECT_EQ(runs[2 * field].x, places[field]);
      EXPECT_EQ(runs[2 * field].text, Blanks(20)) << places[field];
      EXPECT_EQ(runs[2 * field + 1].x, places[field]);
      EXPECT_EQ(runs[2 * field + 1].y, 250);
    }
    EXPECT_EQ(runs[5].text, mode == StopMode::kStop ? "STOP" : "CONT");
  }
}

TEST(ClearLowerPanel, BlanksFourPlacesInOrderAndKeepsSeventyPoint) {
  fakes::TestProgram program;
  ClearLowerPanel(program.ctx);
  const auto& runs = program.display.runs();
  ASSERT_EQ(runs.size(), 4u);
  const int places[][2] = {{150, 300}, {300, 350}, {300, 400}, {300, 450}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(runs[i].x, places[i][0]);
    EXPECT_EQ(runs[i].y, places[i][1]);
    EXPECT_EQ(runs[i].text, Blanks(40));
    EXPECT_EQ(runs[i].font, (Font{"Ariel", 70, 700}));
  }
  EXPECT_EQ(program.display.font(), (Font{"Ariel", 70, 700}));
}

}  // namespace
}  // namespace voxrig
