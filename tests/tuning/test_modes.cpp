// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "panel/display_lines.h"
#include "tuning/modes.h"

namespace voxrig {
namespace {

using fakes::TestProgram;
using Strings = std::vector<std::string>;

class ModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.AttachReceiver();
    // Each prompt notes how many commands had gone out when it played.
    program.sound.OnPlayed([this](const std::string& name) {
      timeline.push_back(name + "@" + std::to_string(program.Commands().size()));
    });
  }

  TestProgram program;
  Strings timeline;
};

struct ModeRow {
  Mode mode;
  std::string modeText;
  std::string prompt;
  std::string command;
};

const ModeRow kRows[] = {
    {Mode::kFM, "FM", "FM", "MD1"},     {Mode::kAM, "AM", "AM", "MD2"},
    {Mode::kLSB, "LSB", "LSB", "MD4"},  {Mode::kUSB, "USB", "USB", "MD3"},
    {Mode::kWFM, "WFM", "WFM", "MD0"},  {Mode::kCW, "CW ", "cw", "MD5"},
    {Mode::kAUT, "AUT", "auto", "AU1"},
};

TEST_F(ModesTest, EachModeSetsItsNameSpeaksAndThenSendsItsCommand) {
  for (const ModeRow& row : kRows) {
    program.ClearRecords();
    timeline.clear();
    SelectMode(program.ctx, row.mode);
    EXPECT_EQ(program.ctx.tuning.modeText, row.modeText);
    EXPECT_EQ(program.Heard(), Strings{row.prompt});
    EXPECT_EQ(timeline, Strings{row.prompt + "@0"});  // heard before the command
    EXPECT_EQ(program.line.written, row.command + "\r");
    EXPECT_TRUE(program.display.runs().empty());
  }
}

TEST_F(ModesTest, CwSelectsTheThirtyPointAerialFontAndOtherModesLeaveTheFont) {
  program.display.SetFont(ArielBold(50));
  SelectMode(program.ctx, Mode::kFM);
  EXPECT_EQ(program.display.font(), ArielBold(50));
  SelectMode(program.ctx, Mode::kCW);
  EXPECT_EQ(program.display.font(), AerialBold(30));
}

TEST_F(ModesTest, ModeLineShowsTheNameInLargeTextThenSelectsTheAerialFont) {
  program.ctx.tuning.modeText = "AUT";
  program.display.SetColour(Colour::kGreen);
  DrawModeLine(program.ctx);
  const auto line = program.display.RunAt(370, 80);
  EXPECT_EQ(line.text, "AUT      ");
  EXPECT_EQ(line.font, ArielBold(50));
  EXPECT_EQ(line.colour, Colour::kBlack);
  EXPECT_EQ(program.display.font(), AerialBold(30));
  EXPECT_TRUE(program.line.written.empty());
  EXPECT_TRUE(program.Heard().empty());
}

TEST_F(ModesTest, ApplyModeDrawsTheLineAndReappliesTheNamedMode) {
  for (const ModeRow& row : kRows) {
    program.ClearRecords();
    program.ctx.tuning.modeText = row.modeText;
    ApplyMode(program.ctx);
    EXPECT_EQ(program.display.TextAt(370, 80), row.modeText + "      ");
    EXPECT_EQ(program.Heard(), Strings{row.prompt}) << row.modeText;
    EXPECT_EQ(program.Commands(), Strings{row.command}) << row.modeText;
    EXPECT_EQ(program.ctx.tuning.modeText, row.modeText);
    EXPECT_EQ(program.display.font(), AerialBold(30));
  }
}

TEST_F(ModesTest, ApplyModeWithANameOutsideTheTableOnlyDrawsIt) {
  for (const std::string name : {"CW", "cw ", "fm", "", "NFM"}) {
    program.ClearRecords();
    program.ctx.tuning.modeText = name;
    ApplyMode(program.ctx);
    EXPECT_EQ(program.display.TextAt(370, 80), name + "      ");
    EXPECT_TRUE(program.Heard().empty()) << name;
    EXPECT_TRUE(program.line.written.empty()) << name;
    EXPECT_EQ(program.ctx.tuning.modeText, name);
  }
}

TEST_F(ModesTest, AttenuatorTogglesOnThenOffSpeakingBeforeSending) {
  program.ctx.tuning.attenuatorOn = false;
  ToggleAttenuator(program.ctx);
  EXPECT_TRUE(program.ctx.tuning.attenuatorOn);
  ToggleAttenuator(program.ctx);
  EXPECT_FALSE(program.ctx.tuning.attenuatorOn);
  EXPECT_EQ(program.Commands(), (Strings{"AT1", "AT0"}));
  EXPECT_EQ(timeline, (Strings{"atton@0", "attoff@1"}));
}

TEST_F(ModesTest, NoiseLimiterSaysNoiseThenOnOrOffAndSends) {
  program.ctx.tuning.noiseLimiterOn = false;
  ToggleNoiseLimiter(program.ctx);
  EXPECT_TRUE(program.ctx.tuning.noiseLimiterOn);
  ToggleNoiseLimiter(program.ctx);
  EXPECT_FALSE(program.ctx.tuning.noiseLimiterOn);
  EXPECT_EQ(program.Commands(), (Strings{"NL1", "NL0"}));
  EXPECT_EQ(timeline, (Strings{"noise@0", "on@0", "noise@1", "off@1"}));
}

TEST_F(ModesTest, VoiceOffStillSendsEveryCommand) {
  program.ctx.app.voicePrefix = "";
  SelectMode(program.ctx, Mode::kUSB);
  ToggleAttenuator(program.ctx);
  ToggleNoiseLimiter(program.ctx);
  EXPECT_TRUE(program.Heard().empty());
  EXPECT_EQ(program.Commands(), (Strings{"MD3", "AT1", "NL1"}));
}

}  // namespace
}  // namespace voxrig
