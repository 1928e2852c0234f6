// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "fakes/memory_file_system.h"
#include "posix/posix_file_system.h"

namespace voxrig {
namespace {

class ConfigurationTest : public ::testing::Test {
 protected:
  Configuration Read(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string content;
    for (const std::string& line : lines) content += line + end;
    files.files["VOXRIG.CFG"] = content;
    const auto read = ReadConfiguration(files);
    EXPECT_TRUE(read.has_value());
    return read.value_or(Configuration{});
  }

  fakes::MemoryFileSystem files;
};

TEST_F(ConfigurationTest, TakesEachValueFromItsCharacterPosition) {
  Configuration read = Read({"PORTCOM1", "SPEED=19200", "RADIOAR8600", "VOICE=1", "DEBUG=1"});
  EXPECT_EQ(read.portSetting, "COM1");
  EXPECT_EQ(read.speedSetting, "19200");
  EXPECT_EQ(read.radioSetting, "AR8600");
  EXPECT_TRUE(read.voiceEnabled);
  EXPECT_TRUE(read.debugEnabled);
  EXPECT_FALSE(read.namesSwitchedOff);

  // The labels are not checked: whatever stands before the position is skipped.
  read = Read({"abcdefgh", "abcdefgh", "abcdefgh", "xxxxxx1x", "......0"});
  EXPECT_EQ(read.portSetting, "efgh");
  EXPECT_EQ(read.speedSetting, "gh");
  EXPECT_EQ(read.radioSetting, "fgh");
  EXPECT_TRUE(read.voiceEnabled);
  EXPECT_FALSE(read.debugEnabled);
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
    const Configuration read = Read({"PORTCOM1", "SPEED=9600", "RADIO", c.line, c.line});
    // Any digit but 0 switches the voice on; only a 1 asks for the log.
    EXPECT_EQ(read.voiceEnabled, c.value != 0) << c.line;
    EXPECT_EQ(read.debugEnabled, c.value == 1) << c.line;
  }
}

TEST_F(ConfigurationTest, MissingAndShortLinesReadAsEmpty) {
  Configuration read = Read({"COM", "SPEED=4800"});
  EXPECT_EQ(read.portSetting, "");
  EXPECT_EQ(read.speedSetting, "4800");
  EXPECT_EQ(read.radioSetting, "");
  // A missing voice line switches the voice off.
  EXPECT_FALSE(read.voiceEnabled);
  EXPECT_FALSE(read.debugEnabled);

  read = Read({});
  EXPECT_EQ(read.portSetting, "");
  EXPECT_FALSE(read.voiceEnabled);
}

TEST_F(ConfigurationTest, LinesEndAtCrOrLfAsWellAsCrLf) {
  for (const std::string end : {"\n", "\r"}) {
    const Configuration read =
        Read({"PORTCOM3", "SPEED=19200", "RADIOAR8600", "VOICE=1", "DEBUG=1", "NAMES=0"}, end);
    EXPECT_EQ(read.portSetting, "COM3");
    EXPECT_EQ(read.speedSetting, "19200");
    EXPECT_TRUE(read.voiceEnabled);
    EXPECT_TRUE(read.debugEnabled);
    EXPECT_TRUE(read.namesSwitchedOff);
  }
}

TEST_F(ConfigurationTest, OnlyTheFirstFiveLinesCount) {
  const Configuration read =
      Read({"PORTCOM1", "SPEED=9600", "RADIO", "VOICE=1", "DEBUG=0", "DEBUG=1", "x"});
  EXPECT_FALSE(read.debugEnabled);
  // Within the five lines NAMES=0 is some other setting's value.
  EXPECT_FALSE(Read({"NAMES=0", "SPEED=9600"}).namesSwitchedOff);
}

TEST(SwitchesAfterTheFiveLines, AreReadOnlyAfterThemInAnyLetterCase) {
  struct Row {
    bool (*reads)(const std::string&);
    std::vector<std::string> on;
    std::vector<std::string> off;
  };
  const std::string five = "PORT=COM1\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n";
  const Row rows[] = {
      {BrailleSwitchedOff,
       {"BRAILLE=0", "braille=off", "Braille=No  "},
       {"BRAILLE=1", "BRAILLE=", "# BRAILLE=0"}},
      {NamesSwitchedOff, {"NAMES=0", "names=off", "Names=NO "}, {"NAMES=1", "# NAMES=0"}},
      {SpeechServerChosen,
       {"SPEECH=speechd", "speech=SPEECHD  "},
       {"SPEECH=prompts", "SPEECH=", "# SPEECH=speechd"}},
  };
  for (const Row& row : rows) {
    EXPECT_FALSE(row.reads(five));
    EXPECT_FALSE(row.reads(""));
    for (const std::string& line : row.on) EXPECT_TRUE(row.reads(five + line + "\r\n")) << line;
    for (const std::string& line : row.off) EXPECT_FALSE(row.reads(five + line + "\r\n")) << line;
    // Within the five lines it is some other setting's value, not a switch.
    EXPECT_FALSE(row.reads(row.on.front() + "\r\nSPEED=19200\r\n")) << row.on.front();
  }
}

TEST_F(ConfigurationTest, LongLineIsCutTo254CharactersBeforeItsValueIsTaken) {
  // 254 characters end with the digit 3; the characters after them are cut.
  const std::string line1 = "PORT" + std::string(249, 'x') + "3" + std::string(46, '7');
  const Configuration read =
      Read({line1, "SPEED=" + std::string(400, '1'), "RADIO", "VOICE=1", "DEBUG=0"});
  EXPECT_EQ(read.portSetting.size(), 250u);
  EXPECT_EQ(read.portSetting.str().back(), '3');
  EXPECT_EQ(read.speedSetting.size(), 248u);
}

TEST_F(ConfigurationTest, AMissingFileReadsAsNone) {
  EXPECT_FALSE(ReadConfiguration(files).has_value());
}

// A named pipe or a link to /dev/zero as the configuration reads as no
// configuration at once: the panel neither waits for a writer nor reads on.
TEST(ConfigurationFile, ASpecialFileIsNoConfigurationAndIsNotWaitedFor) {
  char pattern[] = "/tmp/voxrig-config-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  PosixFileSystem posix(folder);
  alarm(10);  // a hang ends the test program instead of the run
  ASSERT_EQ(mkfifo((folder + "/VOXRIG.CFG").c_str(), 0666), 0);
  EXPECT_FALSE(ReadConfiguration(posix).has_value());
  std::filesystem::remove(folder + "/VOXRIG.CFG");
  std::filesystem::create_symlink("/dev/zero", folder + "/VOXRIG.CFG");
  EXPECT_FALSE(ReadConfiguration(posix).has_value());
  alarm(0);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace voxrig
