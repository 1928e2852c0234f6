// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "fakes/connected_panel.h"
#include "panel/display_lines.h"

namespace voxrig {
namespace {

using fakes::ConnectedPanel;

const std::string kTail = ">" + std::string(17, ' ');
const std::string kSquelchLine = ">" + std::string(26, ' ');

TEST(PollMeter, LevelAnswerDrawsOneAsteriskPerTwelveSteps) {
  struct Row {
    std::string answer;
    std::string meter;
    int signalLevel;
  };
  const Row rows[] = {
      {"LM 120\r\n", std::string(10, '*') + kTail, 10},
      {"LC 120 VA RF0145500000\r\n", std::string(10, '*') + kTail, 10},  // (120 + 10) / 12
      {"LM 255\r\n", std::string(18, '*') + kTail, 21},                  // the bar ends at 18
      {"LM 011\r\n", kTail, 0},
      {"LM 023\r\n", std::string(1, '*') + kTail, 1},
      {"LC 002 VA\r\n", std::string(1, '*') + kTail, 1},
      // A garbled level is held to the receiver's 255.
      {"LM 674\r\n", std::string(18, '*') + kTail, 21},
      {"LC 999 VA\r\n", std::string(18, '*') + kTail, 22},
  };
  for (const Row& row : rows) {
    ConnectedPanel rig;
    rig.Cycle(row.answer);
    const auto meter = rig.program.display.RunAt(320, 30);
    EXPECT_EQ(meter.text, row.meter) << row.answer;
    EXPECT_EQ(meter.colour, Colour::kGreen);
    EXPECT_EQ(meter.font, ArielBold(30));
    EXPECT_EQ(rig.program.display.colour(), Colour::kBlack);
    EXPECT_EQ(rig.ctx.poll.signalLevel, row.signalLevel) << row.answer;
    EXPECT_FALSE(rig.ctx.poll.squelchClosed);
    EXPECT_EQ(rig.ctx.link.statusLine, row.meter);
  }
}

TEST(PollMeter, SquelchMarkShowsAnEmptyMeterWhateverDigitsFollow) {
  for (const std::string answer : {"LM%120\r\n", "LM%255\r\n", "LC%000 VA\r\n"}) {
    ConnectedPanel rig;
    rig.ctx.poll.signalLevel = 7;
    rig.Cycle(answer);
    EXPECT_EQ(rig.program.display.TextAt(320, 30), kSquelchLine) << answer;
    EXPECT_TRUE(rig.ctx.poll.squelchClosed);
    EXPECT_EQ(rig.ctx.poll.signalLevel, 0);
  }
}

TEST(PollMeter, NoAnswerLeavesMeterAndSquelchAsTheyWere) {
  ConnectedPanel rig;
  rig.Cycle("LM 120\r\n");
  rig.program.ClearRecords();
  rig.Cycle("");
  EXPECT_FALSE(rig.program.display.DrewAt(320, 30));
  EXPECT_EQ(rig.ctx.poll.signalLevel, 10);
  EXPECT_FALSE(rig.ctx.poll.squelchClosed);
}

TEST(PollMeter, LateAnswerToAnotherCommandNeitherRedrawsNorDividesTheLevelAgain) {
  ConnectedPanel rig;
  rig.Cycle("LM 120\r\n");
  rig.program.ClearRecords();
  rig.Cycle("MW A:90 a:10\r\n");
  EXPECT_EQ(rig.program.line.incoming, "");  // read away as an answer
  EXPECT_FALSE(rig.program.display.DrewAt(320, 30));
  EXPECT_EQ(rig.ctx.poll.signalLevel, 10);
  EXPECT_FALSE(rig.ctx.poll.squelchClosed);
}

TEST(PollMeter, LateAnswerWhileSearchingAnnouncesNoFalseStop) {
  ConnectedPanel rig;
  rig.ctx.poll.searchState = Search::kSearching;
  rig.Cycle(fakes::kQuiet);
  rig.program.ClearRecords();
  // "VS" alone, as a late empty-line answer would not be; its third character
  // is not "%" but it says nothing about the squelch.
  rig.Cycle("VS RF0145512500 ST012500\r\n");
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kSearching);
  EXPECT_TRUE(rig.ctx.poll.squelchClosed);
  EXPECT_FALSE(rig.program.display.DrewAt(270, 320));
  EXPECT_EQ(rig.program.Commands(), std::vector<std::string>{"LM"});
}

}  // namespace
}  // namespace voxrig
