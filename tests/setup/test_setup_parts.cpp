// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces under the set-up: how bytes are shown, the
// configuration it writes, and the machine's serial devices as Linux lists
// them (in a /dev and /proc laid out by the test).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "link/timed_exchange.h"
#include "posix/posix_file_system.h"
#include "posix/posix_serial_survey.h"
#include "setup/setup.h"
#include "speech/prompt_set.h"

namespace voxrig {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(SetupParts, BytesAreShownSafelyAndTheFrequencyFieldIsRecognised) {
  EXPECT_EQ(ShownSafely("VA RF0145000000\r\n"), "VA RF0145000000<0D><0A>");
  EXPECT_EQ(ShownSafely(std::string("<\x1E\x00\xFF~", 5)), "<3C><1E><00><FF>~");
  EXPECT_EQ(ShownSafely(""), "");
  EXPECT_TRUE(HoldsFrequencyField("SS RF0145512500 ST012500"));
  EXPECT_TRUE(HoldsFrequencyField("MXA05 MP0 RF0145500000"));
  EXPECT_FALSE(HoldsFrequencyField("RF014550000"));  // nine digits
  EXPECT_FALSE(HoldsFrequencyField("?\r\n"));
  EXPECT_FALSE(HoldsFrequencyField("LM 142"));
}

TEST(SetupParts, TheConfigurationKeepsLinesThreeToFiveOfTheOldOne) {
  EXPECT_EQ(SetupConfiguration(4800, std::nullopt),
            "PORT=COM1\r\nSPEED=4800\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n");
  EXPECT_EQ(SetupConfiguration(19200, "PORT=COM4\nSPEED=9600\nRADIO=AR-8600\nVOICE=0\n"),
            "PORT=COM1\r\nSPEED=19200\r\nRADIO=AR-8600\r\nVOICE=0\r\nDEBUG=0\r\n");
}

class MachineLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("voxrig-survey-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "dev" / "serial" / "by-id");
    fs::create_directories(root / "proc");
  }
  void TearDown() override { fs::remove_all(root); }
  void Touch(const fs::path& path) { std::ofstream(path).put('x'); }

  fs::path root;
};

TEST_F(MachineLayout, DevicesAreListedStableNamesFirstThenByKindInNumberOrderEachOnce) {
  const fs::path dev = root / "dev";
  for (const char* name : {"ttyS10", "ttyS2", "ttyS0", "ttyACM0", "ttyUSB1", "ttyUSB0", "ttyUSBx",
                           "tty5", "console"}) {
    Touch(dev / name);
  }
  fs::create_symlink("../../ttyUSB1", dev / "serial" / "by-id" / "usb-FTDI_A1-port0");
  fs::create_symlink("../../ttyUSB9", dev / "serial" / "by-id" / "usb-gone-port0");  // stale
  PosixSerialSurvey survey(dev.string(), (root / "proc").string());
  const std::string byId = (dev / "serial" / "by-id" / "usb-FTDI_A1-port0").string();
  EXPECT_EQ(survey.ListDevices(), (Strings{byId, (dev / "ttyUSB0").string(),
                                           (dev / "ttyACM0").string(), (dev / "ttyS0").string(),
                                           (dev / "ttyS2").string(), (dev / "ttyS10").string()}));
  EXPECT_EQ(survey.StableName((dev / "ttyUSB1").string()), byId);
  EXPECT_EQ(survey.StableName((dev / "ttyUSB0").string()), "");
}

TEST_F(MachineLayout, HoldersAreFoundInProcByTheirOpenFilesAndNamed) {
  const fs::path dev = root / "dev";
  Touch(dev / "ttyUSB0");
  const std::string device = fs::canonical(dev / "ttyUSB0").string();
  struct Process {
    int pid;
    std::string name;
    std::string fdTarget;
  };
  for (const Process& p : {Process{812, "brltty", device}, Process{77, "ModemManager", device},
                           Process{5, "bash", "/dev/pts/1"}}) {
    const fs::path folder = root / "proc" / std::to_string(p.pid);
    fs::create_directories(folder / "fd");
    fs::create_symlink(p.fdTarget, folder / "fd" / "3");
    std::ofstream(folder / "comm") << p.name << "\n";
  }
  PosixSerialSurvey survey(dev.string(), (root / "proc").string());
  const std::vector<DeviceHolder> holders = survey.Holders((dev / "ttyUSB0").string());
  ASSERT_EQ(holders.size(), 2u);
  EXPECT_EQ(holders[0].pid, 77);
  EXPECT_EQ(holders[0].name, "ModemManager");
  EXPECT_EQ(holders[1].pid, 812);
  EXPECT_EQ(holders[1].name, "brltty");
}

// The simulated receiver holds its pseudo-terminal's both ends; it is the far
// end, not a program in the way. Another program on the same terminal is.
TEST_F(MachineLayout, TheFarEndOfAPseudoTerminalHoldsNothing) {
  struct Process {
    int pid;
    std::string name;
    std::vector<std::pair<std::string, std::string>> fds;  // target, fdinfo
  };
  const Process processes[] = {
      {40, "ar8600-sim", {{"/dev/pts/7", ""}, {"/dev/ptmx", "pos:\t0\ntty-index:\t7\n"}}},
      {41, "ar8600-sim", {{"/dev/ptmx", "pos:\t0\ntty-index:\t17\n"}}},
      {50, "minicom", {{"/dev/pts/7", ""}, {"/dev/ptmx", "tty-index:\t9\n"}}},
  };
  for (const Process& p : processes) {
    const fs::path folder = root / "proc" / std::to_string(p.pid);
    fs::create_directories(folder / "fd");
    fs::create_directories(folder / "fdinfo");
    int fd = 3;
    for (const auto& [target, info] : p.fds) {
      fs::create_symlink(target, folder / "fd" / std::to_string(fd));
      std::ofstream(folder / "fdinfo" / std::to_string(fd)) << info;
      ++fd;
    }
    std::ofstream(folder / "comm") << p.name << "\n";
  }
  PosixSerialSurvey survey((root / "dev").string(), (root / "proc").string());
  const std::vector<DeviceHolder> holders = survey.Holders("/dev/pts/7");
  ASSERT_EQ(holders.size(), 1u);
  EXPECT_EQ(holders[0].pid, 50);
  EXPECT_EQ(holders[0].name, "minicom");
}

TEST_F(MachineLayout, LinksReplaceOnlyLinksAndThePromptSetIsFoundInTheFolderFirst) {
  PosixSerialSurvey survey;
  PosixFileSystem files;
  std::string error;
  const fs::path link = root / "COM1";
  EXPECT_TRUE(survey.MakeLink(link.string(), "/dev/ttyUSB0", error)) << error;
  EXPECT_TRUE(survey.MakeLink(link.string(), "/dev/ttyUSB1", error)) << error;
  EXPECT_EQ(fs::read_symlink(link), "/dev/ttyUSB1");
  Touch(root / "COM2");
  EXPECT_FALSE(survey.MakeLink((root / "COM2").string(), "/dev/ttyUSB0", error));
  EXPECT_NE(error.find("not a link"), std::string::npos);

  const fs::path elsewhere = root / "share" / "wave";
  fs::create_directories(elsewhere);
  fs::create_directories(root / "work" / "wave");
  EXPECT_EQ(FindPromptSet(files, root / "work", {elsewhere}), std::nullopt);
  Touch(elsewhere / "VXR.WAV");
  EXPECT_EQ(FindPromptSet(files, root / "work", {root / "none", elsewhere}), elsewhere);
  Touch(root / "work" / "wave" / "vxr.wav");
  EXPECT_EQ(FindPromptSet(files, root / "work", {elsewhere}), root / "work" / "wave");
}

}  // namespace
}  // namespace voxrig
