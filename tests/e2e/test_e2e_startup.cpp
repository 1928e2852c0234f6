// SPDX-License-Identifier: GPL-3.0-or-later
// The panel on its own: start-up, keys without a receiver, the close
// request, and the missing configuration.
#include <gtest/gtest.h>

#include <regex>

#include "e2e/panel_rig.h"

namespace e2e {
namespace {

class PanelStartup : public PanelRig {
 protected:
  // Port 0 is no port at all: the panel runs without a receiver and never
  // opens a serial device of the machine running the tests.
  void WriteConfigurationWithoutPort() {
    WriteFile("VOXRIG.CFG", "PORT=COM0\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=1\r\n");
  }

  // Without a receiver, start-up is over once the wait for its first answer
  // has ended with "receiver not connected" and the way to the set-up.
  bool WaitForStartupDone() { return WaitForPrompt("runsetup"); }
};

TEST_F(PanelStartup, OpensWindowShowsBannerAndSpeaksNameAndVersionInOrder) {
  WriteConfigurationWithoutPort();
  LinkPrompts();
  StartPanel();
  FocusPanel();
  EXPECT_EQ(WindowTitle(*window_), kWindowTitle);
  ASSERT_TRUE(WaitForStartupDone());

  Transcript transcript = ReadTranscript();
  std::vector<std::string> prompts = transcript.Prompts();
  ASSERT_GE(prompts.size(), 4u) << transcript.Dump();
  EXPECT_EQ(std::vector<std::string>(prompts.begin(), prompts.begin() + 4),
            (std::vector<std::string>{"vxr", "4", "point", "0"}))
      << transcript.Dump();
  std::vector<std::string> banner = transcript.TextsAt(270, 0);
  ASSERT_FALSE(banner.empty()) << transcript.Dump();
  EXPECT_EQ(banner.back().rfind("*** Voxrig V 4.0b ***", 0), 0u) << banner.back();
  // The banner stands before the first prompt is heard.
  EXPECT_EQ(transcript.lines().front().kind, TranscriptLine::Kind::kText) << transcript.Dump();
}

TEST_F(PanelStartup, KeysWithoutReceiverAreLoggedAndSayRncAndQEndsWithZero) {
  WriteConfigurationWithoutPort();
  LinkPrompts();
  StartPanel();
  ASSERT_TRUE(WaitForStartupDone());
  // Nothing was claimed of a receiver never reached.
  EXPECT_FALSE(ReadTranscript().HasPrompt("attoff")) << ReadTranscript().Dump();
  const size_t linesBeforeKey = ReadTranscript().lines().size();

  // The attenuator needs the receiver; the panel runs on.
  Type({"a"});
  ASSERT_TRUE(WaitForPrompt("rnc", 2));
  Type({"q"});
  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value()) << "the panel did not end on Q";
  EXPECT_EQ(*exitCode, 0);
  EXPECT_EQ(PromptsAfter(ReadTranscript(), linesBeforeKey),
            (std::vector<std::string>{"rnc", "quit"}));
  // The start-up said why: line 1 names no port.
  EXPECT_TRUE(ReadTranscript().HasPrompt("nodev"));
  const std::string printed = ReadFile("panel.out");
  EXPECT_NE(printed.find("voxrig: no port: line 1 of VOXRIG.CFG names neither"), std::string::npos)
      << printed;
  EXPECT_NE(printed.find("voxrig: Run voxrig --setup in this folder"), std::string::npos)
      << printed;

  std::string log = ReadFile("debug1.dat");
  EXPECT_TRUE(std::regex_search(
      log, std::regex("^VOXRIG 4\\.0b  \\d\\d-\\d\\d-\\d{4}   \\d\\d:\\d\\d:\\d\\d\r\n")))
      << log;
  EXPECT_NE(log.find("\r\n**A\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\r\nERR= no port: line 1"), std::string::npos) << log;
}

TEST_F(PanelStartup, CloseRequestEndsPanelWithExitCodeZero) {
  WriteConfigurationWithoutPort();
  LinkPrompts();
  StartPanel();
  ASSERT_TRUE(WaitForStartupDone());
  const size_t linesBeforeClose = ReadTranscript().lines().size();

  RequestCloseOfPanel();

  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value()) << "the panel did not end on the close request";
  EXPECT_EQ(*exitCode, 0);
  EXPECT_TRUE(PromptsAfter(ReadTranscript(), linesBeforeClose).empty()) << ReadTranscript().Dump();
}

TEST_F(PanelStartup, MissingConfigurationNamesTheSetUpAndExitsWithFive) {
  LinkPrompts();
  StartPanel();

  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value()) << "the panel did not end without its configuration";
  EXPECT_EQ(*exitCode, 5);
  Transcript transcript = ReadTranscript();
  EXPECT_EQ(transcript.TextsAt(0, 30),
            std::vector<std::string>{"--- VOXRIG.CFG file not found ---"})
      << transcript.Dump();
  EXPECT_EQ(transcript.TextsAt(0, 60),
            std::vector<std::string>{"please run 'voxrig --setup' in this folder"})
      << transcript.Dump();
  EXPECT_EQ(transcript.Prompts(), (std::vector<std::string>{"cfnf", "runsetup"}));
  EXPECT_EQ(ReadFile("panel.out"),
            "voxrig: no VOXRIG.CFG in this folder (or it cannot be read)\n"
            "voxrig: Run voxrig --setup in this folder: it finds the receiver and writes "
            "VOXRIG.CFG.\n");
  EXPECT_FALSE(Exists("debug1.dat"));
}

// Line 1 naming the receiver's device by its path, through the real program:
// the path is opened as it stands, whatever label stands before it.
TEST_F(PanelStartup, ADevicePathOnLineOneIsOpenedAsItStands) {
  StartSimulator({}, "receiver");
  LinkPrompts();
  WriteFile("VOXRIG.CFG", "PORT=" + Path("receiver/COM1") +
                              "\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=1\r\n");
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));
  EXPECT_FALSE(ReadTranscript().HasPrompt("nodev"));
  RequestCloseOfPanel();
  EXPECT_EQ(WaitForPanelExit(), std::optional<int>(0));
}

// A path that is not there is said, shown and printed, and never swapped for
// the COM1 link standing in the folder: the receiver there hears nothing.
TEST_F(PanelStartup, ADevicePathThatIsNotThereIsToldAndNoOtherPortIsTried) {
  StartSimulator();
  LinkPrompts();
  const std::string missing = Path("ttyUSB1");
  WriteFile("VOXRIG.CFG",
            "PORT=" + missing + "\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=1\r\n");
  StartPanel();
  ASSERT_TRUE(WaitForStartupDone());
  const Transcript transcript = ReadTranscript();
  EXPECT_TRUE(transcript.HasPrompt("nodev")) << transcript.Dump();
  const std::vector<std::string> shown = transcript.TextsAt(10, 405);
  ASSERT_FALSE(shown.empty()) << transcript.Dump();
  EXPECT_EQ(shown.back().rfind("No device: " + missing + " is not there", 0), 0u) << shown.back();

  Type({"q"});
  EXPECT_EQ(WaitForPanelExit(), std::optional<int>(0));
  EXPECT_TRUE(ReadWireLog().entries().empty()) << ReadWireLog().Dump();
  const std::string printed = ReadFile("panel.out");
  EXPECT_NE(printed.find("voxrig: no device: " + missing + " is not there"), std::string::npos)
      << printed;
  EXPECT_NE(ReadFile("debug1.dat").find("\r\nERR= no device: " + missing), std::string::npos);
}

}  // namespace
}  // namespace e2e
