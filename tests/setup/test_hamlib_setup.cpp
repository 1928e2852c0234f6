// SPDX-License-Identifier: GPL-3.0-or-later
// The set-up for a radio that Hamlib drives: Hamlib's dummy radio (model 1)
// stands for it, and a model Hamlib does not know for a radio that never
// answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/fake_serial_survey.h"
#include "fakes/test_program.h"
#include "hamlib/hamlib_library.h"
#include "posix/termios_serial.h"
#include "setup/setup.h"

namespace voxrig {
namespace {

struct Console : OutputFile {
  bool Write(const std::string& bytes) override {
    text += bytes;
    return true;
  }
  std::string text;
};

class HamlibSetup : public ::testing::Test {
 protected:
  void SetUp() override {
    program.ctx.platform.hamlib = &library;
    survey.listed = {"/dev/ttyUSB0"};
    options.hamlibModel = 1;
  }

  TermiosDeviceLocker devices;
  HamlibLibrary library{devices};
  fakes::TestProgram program;
  fakes::FakeSerialSurvey survey;
  fakes::FakeStopwatch stopwatch{program.time};
  Console console;
  SetupTools tools{survey, stopwatch, console, ListenLimits{500, 100}};
  SetupOptions options{"/home/listener/radio", std::nullopt, "/home/listener/radio/wave"};
};

TEST_F(HamlibSetup, WritesTheRadioLineWithThePortAndSpeedTheRadioAnsweredAt) {
  program.files.files["VOXRIG.CFG"] =
      "PORT=COM3\r\nSPEED=9600\r\nRADIO=AR8600\r\nVOICE=0\r\nDEBUG=1\r\n";
  EXPECT_EQ(RunSetup(program.ctx, tools, options), kSetupDone) << console.text;
  EXPECT_EQ(program.files.files["VOXRIG.CFG"],
            "PORT=COM1\r\nSPEED=19200\r\nRADIO=hamlib:1\r\nVOICE=0\r\nDEBUG=1\r\n");
  EXPECT_EQ(survey.links.at("/home/listener/radio/COM1"), "/dev/ttyUSB0");
  EXPECT_NE(console.text.find("Hamlib model 1 found on /dev/ttyUSB0 at 19200 baud."),
            std::string::npos)
      << console.text;
  // Nothing of the AR8600's vocabulary went to the device itself.
  EXPECT_TRUE(survey.wire.empty());
}

// What cannot be a radio is told at once, without asking at any speed: a
// model Hamlib does not have, a device that is not there.
TEST_F(HamlibSetup, AnUnknownModelOrAMissingDeviceIsToldAtOnce) {
  struct Row {
    int model;
    std::string device;
    std::string told;
    std::string heard;
  };
  const std::vector<Row> rows = {
      {99999, "/dev/ttyUSB0",
       "No Hamlib model 99999: rigctl -l lists the models Hamlib has, their numbers first.", "inv"},
      {5013, "/nonexistent/ttyUSB9", "  It cannot be opened: No such file or directory.", "nodev"},
  };
  for (const Row& row : rows) {
    console.text.clear();
    program.sound.Clear();
    options.hamlibModel = row.model;
    survey.listed = {row.device};
    EXPECT_EQ(RunSetup(program.ctx, tools, options), kSetupNoReceiver);
    EXPECT_EQ(program.files.files.count("VOXRIG.CFG"), 0u);
    EXPECT_NE(console.text.find(row.told + "\n"), std::string::npos) << console.text;
    EXPECT_EQ(console.text.find("baud"), std::string::npos) << console.text;
    const std::vector<std::string> heard = program.Heard();
    EXPECT_NE(std::find(heard.begin(), heard.end(), row.heard), heard.end()) << row.model;
  }
}

}  // namespace
}  // namespace voxrig
