// The panel on its own: start-up, the first key without a receiver, the
// close request, and the missing configuration.
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

  // Start-up is over once the connect sequence has switched the attenuator
  // off, its last spoken step; the timer runs from then on.
  bool WaitForStartupDone() { return WaitForPrompt("attoff"); }
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

TEST_F(PanelStartup, FirstKeyWithoutReceiverIsLoggedAndEndsPanelWithRnc) {
  WriteConfigurationWithoutPort();
  LinkPrompts();
  StartPanel();
  ASSERT_TRUE(WaitForStartupDone());
  const size_t linesBeforeKey = ReadTranscript().lines().size();

  Type({"a"});

  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value()) << "the panel did not end after the first key";
  EXPECT_EQ(*exitCode, 0);
  // "rnc" and nothing else: the key itself (the attenuator) is not acted on.
  EXPECT_EQ(PromptsAfter(ReadTranscript(), linesBeforeKey), std::vector<std::string>{"rnc"});

  std::string log = ReadFile("debug1.dat");
  EXPECT_TRUE(std::regex_search(
      log, std::regex("^VOXRIG 4\\.0b  \\d\\d-\\d\\d-\\d{4}   \\d\\d:\\d\\d:\\d\\d\r\n")))
      << log;
  EXPECT_NE(log.find("\r\n**A\r\n"), std::string::npos) << log;
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

TEST_F(PanelStartup, MissingConfigurationShowsBothLinesSaysCfnfAndExits) {
  LinkPrompts();
  StartPanel();

  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value()) << "the panel did not end without its configuration";
  EXPECT_EQ(*exitCode, 0);
  Transcript transcript = ReadTranscript();
  EXPECT_EQ(transcript.TextsAt(0, 30),
            std::vector<std::string>{"--- VOXRIG.CFG file not found ---"})
      << transcript.Dump();
  EXPECT_EQ(transcript.TextsAt(0, 60),
            std::vector<std::string>{"please run the 'VOXSETUP' program"})
      << transcript.Dump();
  EXPECT_EQ(transcript.Prompts(), std::vector<std::string>{"cfnf"});
  EXPECT_FALSE(Exists("debug1.dat"));
}

}  // namespace
}  // namespace e2e
