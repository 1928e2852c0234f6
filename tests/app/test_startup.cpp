#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/startup.h"
#include "fakes/test_program.h"
#include "link/serial_port.h"

namespace voxrig {
namespace {

using fakes::CloseRequest;
using fakes::KeyDown;
using fakes::Tick;

constexpr const char* kConfiguration =
    "PORTCOM1\r\nSPEED=19200\r\nRADIOAR8600\r\nVOICE=1\r\nDEBUG=0\r\n";

std::string Configuration(const std::string& line1, const std::string& voice,
                          const std::string& debug) {
  return line1 + "\r\nSPEED=19200\r\nRADIOAR8600\r\nVOICE=" + voice + "\r\nDEBUG=" + debug + "\r\n";
}

TEST(StartUp, OpensTheFixedPanelWindowAndStartsTheTimer) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = kConfiguration;
  EXPECT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(program.window.layout.title, "*** AR8600 Voxrig Front Panel v4.0b***");
  EXPECT_EQ(program.window.layout.left, 250);
  EXPECT_EQ(program.window.layout.top, 100);
  EXPECT_EQ(program.window.layout.outerWidth, 950);
  EXPECT_EQ(program.window.layout.outerHeight, 500);
  EXPECT_EQ(program.window.timerPeriodMs, 100);
  // The script's end asked to close: the timer is stopped and the window closed.
  EXPECT_FALSE(program.window.timerRunning);
  EXPECT_TRUE(program.window.closed);
  EXPECT_EQ(program.ctx.app.programRunning, 0);
}

TEST(StartUp, ShowsTheBannerInTheDefaultFontBeforeSpeakingNameAndVersion) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = kConfiguration;
  std::string bannerWhenNameSpoken;
  program.sound.OnPlayed([&](const std::string& name) {
    if (name == "vxr") bannerWhenNameSpoken = program.display.TextAt(270, 0);
  });
  ASSERT_EQ(RunProgram(program.ctx), 0);

  const std::string banner = "*** Voxrig V 4.0b ***" + std::string(kAuthorshipText);
  EXPECT_EQ(program.ctx.app.bannerText, "*** Voxrig V 4.0b ***");
  EXPECT_EQ(program.display.TextAt(270, 0), banner);
  EXPECT_EQ(program.display.RunAt(270, 0).font, Font{});
  EXPECT_EQ(program.display.RunAt(270, 0).colour, Colour::kBlack);
  EXPECT_EQ(bannerWhenNameSpoken, banner);
  EXPECT_EQ(program.display.runs().front().x, 270);

  const std::vector<std::string> heard = program.Heard();
  ASSERT_GE(heard.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(heard.begin(), heard.begin() + 4),
            (std::vector<std::string>{"vxr", "4", "point", "0"}));
}

TEST(StartUp, PortIsTheLastCharacterOfTheFirstLineFromPositionFive) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = Configuration("PORTCOM12", "1", "0");
  ASSERT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(program.ctx.app.portSetting, "COM12");
  EXPECT_EQ(program.ctx.link.comPort, 2);
  ASSERT_EQ(program.line.opened.size(), 1u);
  EXPECT_EQ(program.line.opened[0], PortDevicePath(program.ctx, 2));
  EXPECT_EQ(program.line.baudRate, 19200);
}

TEST(StartUp, QuittingSendsExitAsTheLastBytesAndClosesThePort) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = kConfiguration;
  program.window.AddTicks(3);
  ASSERT_EQ(RunProgram(program.ctx), 0);
  const std::string& written = program.line.written;
  ASSERT_GE(written.size(), 3u);
  EXPECT_EQ(written.substr(written.size() - 3), "EX\r");
  EXPECT_FALSE(program.line.open);
}

TEST(StartUp, VoiceOffSilencesTheAnnouncementButNotThePacingPauses) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = Configuration("PORTCOM1", "0", "0");
  ASSERT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(program.ctx.app.voicePrefix, "");
  ASSERT_FALSE(program.sound.requested().empty());
  for (const std::string& path : program.sound.requested()) EXPECT_EQ(path, "wave\\shdel");
}

TEST(StartUp, DebugLogStartsWithItsHeaderAndIsClosedBeforeExit) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = Configuration("PORTCOM1", "1", "1");
  program.files.files["debug1.dat"] = "an old log\r\n";
  ASSERT_EQ(RunProgram(program.ctx), 0);
  const std::string& log = program.files.files["debug1.dat"];
  const std::string header = "VOXRIG 4.0b  07-12-2026   09:05:03\r\n";
  ASSERT_GE(log.size(), header.size());
  EXPECT_EQ(log.substr(0, header.size()), header);
  EXPECT_EQ(log.find("an old log"), std::string::npos);
  // The connect's commands are logged; the final EX is sent after the log closed.
  EXPECT_NE(log.find("TX= "), std::string::npos);
  EXPECT_EQ(log.find("TX= EX"), std::string::npos);
  EXPECT_EQ(program.Commands().back(), "EX");
  EXPECT_EQ(program.ctx.panel.debugFile, nullptr);
}

TEST(StartUp, DebugOffLeavesNoLogFile) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = Configuration("PORTCOM1", "1", "2");
  ASSERT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(program.files.files.count("debug1.dat"), 0u);
}

TEST(StartUp, MissingConfigurationShowsBothLinesSaysCfnfAndTouchesNoPort) {
  fakes::TestProgram program;
  EXPECT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(program.display.TextAt(0, 30), "--- VOXRIG.CFG file not found ---");
  EXPECT_EQ(program.display.TextAt(0, 60), "please run the 'VOXSETUP' program");
  EXPECT_EQ(program.display.RunAt(0, 30).font, Font{});
  EXPECT_EQ(program.display.RunAt(0, 60).font, Font{});
  EXPECT_EQ(program.display.runs().size(), 2u);  // no banner
  EXPECT_EQ(program.sound.requested(), (std::vector<std::string>{"wave\\cfnf"}));
  EXPECT_TRUE(program.line.opened.empty());
  EXPECT_TRUE(program.line.written.empty());
  EXPECT_TRUE(program.window.closed);
  EXPECT_FALSE(program.window.timerRunning);
  EXPECT_EQ(program.files.files.count("debug1.dat"), 0u);
}

TEST(StartUp, WindowThatCannotOpenEndsWithAnErrorAndNothingElse) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = kConfiguration;
  program.window.failOpen = true;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunProgram(program.ctx), kExitNoWindow);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("window"), std::string::npos);
  EXPECT_TRUE(program.sound.requested().empty());
  EXPECT_TRUE(program.display.runs().empty());
  EXPECT_TRUE(program.line.opened.empty());
}

// Keys pressed while the start-up prompts play reach the message loop before
// its first tick. They wait for the receiver's first answer (at most 15 ticks,
// 1.5 s): handled as usual when it answers, "receiver not connected" and the
// end when it stays silent.
struct EarlyKeys : ::testing::Test {
  EarlyKeys() {
    program.files.files["VOXRIG.CFG"] = kConfiguration;
    program.window.AddKey('F');
    program.window.AddKey('M');
    program.window.AddTicks(kTicks);
  }
  // The prompts heard after the start-up's last one ("attoff").
  std::vector<std::string> HeardAfterStartUp() const {
    const std::vector<std::string> heard = program.Heard();
    auto at = std::find(heard.begin(), heard.end(), "attoff");
    return at == heard.end() ? heard : std::vector<std::string>(at + 1, heard.end());
  }
  int TicksUsed() const { return kTicks - static_cast<int>(program.window.script.size()); }

  static constexpr int kTicks = 30;
  fakes::TestProgram program;
};

TEST_F(EarlyKeys, WaitForTheFirstAnswerAndAreAllHandledInOrder) {
  // A receiver slow to wake: silent to everything before the third level poll.
  int levelPolls = 0;
  program.line.responder = [&levelPolls](const std::string& command) {
    if (command != "LM") return std::string();
    return ++levelPolls < 3 ? std::string() : std::string("LM%000\r\n");
  };
  ASSERT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(HeardAfterStartUp(), (std::vector<std::string>{"connected", "1", "4", "5", "point", "0",
                                                           "fm.wav", "s", "0"}));
  // Both keys waited for the third level poll's answer.
  const std::vector<std::string> commands = program.Commands();
  EXPECT_EQ(std::vector<std::string>(commands.begin() + 4, commands.begin() + 7),
            (std::vector<std::string>{"LM", "LM", "LM"}));
  EXPECT_EQ(program.ctx.app.programRunning, 0);
  EXPECT_EQ(TicksUsed(), kTicks);  // the program ran until the script ended
}

TEST_F(EarlyKeys, SilentReceiverStillEndsTheProgramWithRncAfterTheWait) {
  ASSERT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(HeardAfterStartUp(), std::vector<std::string>{"rnc"});
  // The key waited through the first-answer wait and five level polls, and
  // was handled within one poll cycle after it; the rest of the script was
  // never asked for.
  EXPECT_GE(TicksUsed(), 15);
  EXPECT_LE(TicksUsed(), 18);
  const std::vector<std::string> commands = program.Commands();
  EXPECT_GE(std::count(commands.begin(), commands.end(), "LM"), 5);
  EXPECT_EQ(commands.back(), "EX");
}

TEST(MessageLoop, EventsBehindACloseRequestAreNotActedOn) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = kConfiguration;
  program.window.AddBatch({Tick(), CloseRequest(), KeyDown('Q'), Tick()});
  ASSERT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(program.ctx.panel.keyQueueCount, 0);
  // The first tick read the first level poll's answer; the one behind the
  // close would have begun the next cycle.
  EXPECT_EQ(program.ctx.link.pollState, PollStep::kIdle);
  EXPECT_TRUE(program.window.script.empty());
}

}  // namespace
}  // namespace voxrig
