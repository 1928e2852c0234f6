// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "fakes/test_program.h"
#include "posix/posix_file_system.h"

namespace voxrig {
namespace {

class ConfigurationTest : public ::testing::Test {
 protected:
  void WriteConfiguration(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string content;
    for (const std::string& line : lines) content += line + end;
    program.files.files["VOXRIG.CFG"] = content;
  }
  // As start-up leaves them before the file is read.
  void SetUp() override {
    program.ctx.app.voicePrefix = "wave\\";
    program.ctx.app.waveFolder = "wave\\";
  }

  fakes::TestProgram program;
  AppState& app = program.ctx.app;
};

TEST_F(ConfigurationTest, TakesEachValueFromItsCharacterPosition) {
  WriteConfiguration({"PORTCOM1", "SPEED=19200", "RADIOAR8600", "VOICE=1", "DEBUG=1"});
  ASSERT_TRUE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.portSetting, "COM1");
  EXPECT_EQ(app.speedSetting, "19200");
  EXPECT_EQ(app.radioSetting, "AR8600");
  EXPECT_EQ(app.voiceEnabled, 1);
  EXPECT_EQ(app.debugEnabled, 1);
  EXPECT_EQ(app.voicePrefix, "wave\\");

  // The labels are not checked: whatever stands before the position is skipped.
  WriteConfiguration({"abcdefgh", "abcdefgh", "abcdefgh", "xxxxxx1x", "......0"});
  ASSERT_TRUE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.portSetting, "efgh");
  EXPECT_EQ(app.speedSetting, "gh");
  EXPECT_EQ(app.radioSetting, "fgh");
  EXPECT_EQ(app.voiceEnabled, 1);
  EXPECT_EQ(app.debugEnabled, 0);
}

TEST_F(ConfigurationTest, SwitchesReadOnlyTheSeventhCharacter) {
  struct Case {
    std::string line;
    int value;
  };
  const std::vector<Case> cases = {
      {"VOICE=1", 1}, {"VOICE=12", 1}, {"VOICE=9", 9},  {"VOICE=0", 0}, {"VOICE=", 0},
      {"VOICE=y", 0}, {"VOICE= 1", 0}, {"VOICE=-1", 0}, {"V", 0},       {"", 0},
  };
  for (const Case& c : cases) {
    WriteConfiguration({"PORTCOM1", "SPEED=9600", "RADIO", c.line, c.line});
    ASSERT_TRUE(ReadConfiguration(program.ctx));
    // Any digit but 0 switches the voice on; only a 1 asks for the log.
    EXPECT_EQ(app.voiceEnabled, c.value != 0) << c.line;
    EXPECT_EQ(app.debugEnabled, c.value == 1) << c.line;
  }
}

TEST_F(ConfigurationTest, VoiceOffEmptiesOnlyTheSwitchablePrefix) {
  WriteConfiguration({"PORTCOM1", "SPEED=9600", "RADIO", "VOICE=0", "DEBUG=1"});
  ASSERT_TRUE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.voicePrefix, "");
  EXPECT_EQ(app.waveFolder, "wave\\");
}

TEST_F(ConfigurationTest, DebugSettingOfExactlyZeroLeavesTheVoiceOn) {
  WriteConfiguration({"PORTCOM1", "SPEED=9600", "RADIO", "VOICE=1", "DEBUG=0"});
  ASSERT_TRUE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.debugEnabled, 0);
  EXPECT_EQ(app.voicePrefix, "wave\\");
}

TEST_F(ConfigurationTest, MissingAndShortLinesReadAsEmpty) {
  WriteConfiguration({"COM", "SPEED=4800"});
  ASSERT_TRUE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.portSetting, "");
  EXPECT_EQ(app.speedSetting, "4800");
  EXPECT_EQ(app.radioSetting, "");
  // A missing voice line switches the voice off.
  EXPECT_EQ(app.voiceEnabled, 0);
  EXPECT_EQ(app.voicePrefix, "");
  EXPECT_EQ(app.debugEnabled, 0);

  program.files.files["VOXRIG.CFG"] = "";
  app.voicePrefix = "wave\\";
  ASSERT_TRUE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.portSetting, "");
  EXPECT_EQ(app.voicePrefix, "");
}

TEST_F(ConfigurationTest, LinesEndAtCrOrLfAsWellAsCrLf) {
  for (const std::string end : {"\n", "\r"}) {
    app.voicePrefix = "wave\\";
    WriteConfiguration({"PORTCOM3", "SPEED=19200", "RADIOAR8600", "VOICE=1", "DEBUG=1"}, end);
    ASSERT_TRUE(ReadConfiguration(program.ctx));
    EXPECT_EQ(app.portSetting, "COM3");
    EXPECT_EQ(app.speedSetting, "19200");
    EXPECT_EQ(app.voiceEnabled, 1);
    EXPECT_EQ(app.debugEnabled, 1);
  }
}

TEST_F(ConfigurationTest, OnlyTheFirstFiveLinesCount) {
  WriteConfiguration({"PORTCOM1", "SPEED=9600", "RADIO", "VOICE=1", "DEBUG=0", "DEBUG=1", "x"});
  ASSERT_TRUE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.debugEnabled, 0);
}

TEST(BrailleConfiguration, ALineAfterTheFiveSwitchesTheBrailleLineOff) {
  const std::string five = "PORT=COM1\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n";
  EXPECT_FALSE(BrailleSwitchedOff(five));
  EXPECT_FALSE(BrailleSwitchedOff(""));
  for (const char* off : {"BRAILLE=0", "braille=off", "Braille=No  "}) {
    EXPECT_TRUE(BrailleSwitchedOff(five + off + "\r\n")) << off;
  }
  for (const char* on : {"BRAILLE=1", "BRAILLE=", "# BRAILLE=0"}) {
    EXPECT_FALSE(BrailleSwitchedOff(five + on + "\r\n")) << on;
  }
  // Within the five lines it is some other setting's value, not a switch.
  EXPECT_FALSE(BrailleSwitchedOff("BRAILLE=0\r\nSPEED=19200\r\n"));
}

TEST(SpeechConfiguration, ALineAfterTheFiveChoosesSpeechDispatcher) {
  const std::string five = "PORT=COM1\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n";
  EXPECT_FALSE(SpeechServerChosen(five));
  for (const char* line : {"SPEECH=speechd", "speech=SPEECHD  "}) {
    EXPECT_TRUE(SpeechServerChosen(five + line + "\r\n")) << line;
  }
  for (const char* line : {"SPEECH=prompts", "SPEECH=", "# SPEECH=speechd"}) {
    EXPECT_FALSE(SpeechServerChosen(five + line + "\r\n")) << line;
  }
  EXPECT_FALSE(SpeechServerChosen("SPEECH=speechd\r\nSPEED=19200\r\n"));
}

TEST_F(ConfigurationTest, LongLineIsCutTo254CharactersBeforeItsValueIsTaken) {
  // 254 characters end with the digit 3; the characters after them are cut.
  const std::string line1 = "PORT" + std::string(249, 'x') + "3" + std::string(46, '7');
  WriteConfiguration({line1, "SPEED=" + std::string(400, '1'), "RADIO", "VOICE=1", "DEBUG=0"});
  ASSERT_TRUE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.portSetting.size(), 250u);
  EXPECT_EQ(app.portSetting.str().back(), '3');
  EXPECT_EQ(app.speedSetting.size(), 248u);
}

TEST_F(ConfigurationTest, MissingFileChangesNothing) {
  app.portSetting = "before";
  EXPECT_FALSE(ReadConfiguration(program.ctx));
  EXPECT_EQ(app.portSetting, "before");
  EXPECT_EQ(app.voicePrefix, "wave\\");
}

// A named pipe or a link to /dev/zero as the configuration reads as no
// configuration at once: the panel neither waits for a writer nor reads on.
TEST_F(ConfigurationTest, ASpecialFileIsNoConfigurationAndIsNotWaitedFor) {
  char pattern[] = "/tmp/voxrig-config-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  PosixFileSystem posix(folder);
  program.ctx.platform.files = &posix;
  alarm(10);  // a hang ends the test program instead of the run
  ASSERT_EQ(mkfifo((folder + "/VOXRIG.CFG").c_str(), 0666), 0);
  EXPECT_FALSE(ReadConfiguration(program.ctx));
  std::filesystem::remove(folder + "/VOXRIG.CFG");
  std::filesystem::create_symlink("/dev/zero", folder + "/VOXRIG.CFG");
  EXPECT_FALSE(ReadConfiguration(program.ctx));
  alarm(0);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace voxrig
