// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "fakes/test_program.h"
#include "hamlib/hamlib_library.h"
#include "link/serial_port.h"
#include "posix/termios_serial.h"

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

// A receiver that answers at once: the level poll with its squelch closed,
// every other command with its empty line.
std::string AnswerLevelPolls(const std::string& command) {
  return command == "LM" ? "LM%000\r\n" : "\r\n";
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
  EXPECT_FALSE(program.ctx.app.programRunning);
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
  program.line.responder = AnswerLevelPolls;
  program.window.AddTicks(1);
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

TEST(StartUp, MissingConfigurationNamesTheSetUpEndsWithItsStatusAndTouchesNoPort) {
  fakes::TestProgram program;
  EXPECT_EQ(RunProgram(program.ctx), kExitNoConfiguration);
  EXPECT_EQ(kExitNoConfiguration, 5);
  EXPECT_EQ(program.display.TextAt(0, 30), "--- VOXRIG.CFG file not found ---");
  EXPECT_EQ(program.display.TextAt(0, 60), "please run 'voxrig --setup' in this folder");
  EXPECT_EQ(program.display.RunAt(0, 30).font, Font{});
  EXPECT_EQ(program.display.RunAt(0, 60).font, Font{});
  EXPECT_EQ(program.display.runs().size(), 2u);  // no banner
  EXPECT_EQ(program.messages.text,
            "voxrig: no VOXRIG.CFG in this folder (or it cannot be read)\n"
            "voxrig: Run voxrig --setup in this folder: it finds the receiver and writes "
            "VOXRIG.CFG.\n");
  EXPECT_EQ(program.sound.requested(), (std::vector<std::string>{"wave\\cfnf", "wave\\runsetup"}));
  EXPECT_TRUE(program.line.opened.empty());
  EXPECT_TRUE(program.line.written.empty());
  EXPECT_TRUE(program.window.closed);
  EXPECT_FALSE(program.window.timerRunning);
  EXPECT_EQ(program.files.files.count("debug1.dat"), 0u);
}

// A radio line that opens no radio names itself and ends the panel as a
// missing configuration does, instead of trying a port for ever.
TEST(StartUp, ARadioLineThatNamesNoRadioIsToldAndEndsWithTheConfigurationsStatus) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"hamlib:", "no model number after \"hamlib:\""},
      {"hamlib:abc", "\"abc\" is not a model number"},
      {"hamlib:-1", "\"-1\" is not a model number"},
      {"hamlib:0", "\"0\" is not a model number"},
      {"hamlib:999999", "Hamlib has no model 999999"},
  };
  for (const auto& [radio, fault] : rows) {
    fakes::TestProgram program;
    TermiosDeviceLocker devices;
    HamlibLibrary hamlib(devices);
    program.ctx.platform.hamlib = &hamlib;
    program.files.files["VOXRIG.CFG"] =
        "PORT=COM1\r\nSPEED=19200\r\nRADIO=" + radio + "\r\nVOICE=1\r\nDEBUG=0\r\n";
    EXPECT_EQ(RunProgram(program.ctx), kExitNoConfiguration) << radio;
    const std::string named = "RADIO=" + radio + ": " + fault;
    EXPECT_EQ(program.display.TextAt(0, 30),
              "--- VOXRIG.CFG: the radio line is not understood ---");
    EXPECT_EQ(program.display.TextAt(0, 60), "line 3, " + named);
    EXPECT_EQ(program.messages.text.find("voxrig: line 3 of VOXRIG.CFG, " + named + "\n"), 0u)
        << program.messages.text;
    EXPECT_EQ(program.sound.requested(), std::vector<std::string>{"wave\\radline"}) << radio;
    EXPECT_TRUE(program.line.opened.empty()) << radio;
    EXPECT_TRUE(program.window.closed);
  }
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
// 1.5 s): handled as usual when it answers, and met by a receiver that is away
// when it stays silent.
struct EarlyKeys : ::testing::Test {
  EarlyKeys() {
    program.files.files["VOXRIG.CFG"] = kConfiguration;
    program.window.AddKey('F');
    program.window.AddKey('M');
    program.window.AddTicks(kTicks);
  }
  // The prompts heard after the start-up's announcement of the version.
  std::vector<std::string> HeardAfterStartUp() const {
    const std::vector<std::string> heard = program.Heard();
    return std::vector<std::string>(heard.begin() + 4, heard.end());
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
  EXPECT_EQ(HeardAfterStartUp(),
            (std::vector<std::string>{"connected", "1", "4", "5", "shdel", "FM", "shdel", "attoff",
                                      "1", "4", "5", "point", "0", "fm.wav", "s", "0"}));
  // Both keys waited for the third level poll's answer, which brought the
  // known state.
  const std::vector<std::string> commands = program.Commands();
  ASSERT_GE(commands.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(commands.begin(), commands.begin() + 7),
            (std::vector<std::string>{"LM", "LM", "LM", "VA0145000000", "MD1", "ST012.50", "AT0"}));
  EXPECT_FALSE(program.ctx.app.programRunning);
  EXPECT_EQ(TicksUsed(), kTicks);  // the program ran until the script ended
}

// A receiver switched on after the panel: silent, as if off, to the first 20
// level polls. The panel says once that it is not connected and claims no
// tuning; keys that need the receiver are refused and send nothing, others
// work; the port is opened again while it waits; the first answer brings the
// known state, said as it goes out, and then the keys work; Q ends it
// orderly.
TEST(LateReceiver, IsWaitedForAndGivenTheKnownStateWhenItAnswers) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = kConfiguration;
  constexpr int kSilentPolls = 20;
  int levelPolls = 0;
  std::vector<std::string> trace;
  program.line.responder = [&](const std::string& command) {
    if (command == "LM") ++levelPolls;
    if (command != "LM") trace.push_back("TX " + command);
    if (levelPolls <= kSilentPolls) return std::string();
    return std::string(command == "LM" ? "LM%000\r\n" : "\r\n");
  };
  std::optional<bool> frequencyDrawnWhenAway;
  program.sound.OnPlayed([&](const std::string& name) {
    if (name == "rnc" && !frequencyDrawnWhenAway) {
      frequencyDrawnWhenAway = program.display.DrewAt(300, 150);
    }
    if (name != "shdel") trace.push_back(name);
  });
  program.window.AddTicks(20);
  for (const int key :
       std::vector<int>{'F', '1', '4', '6', keys::kEnter, keys::kF1, 'A', 'M', 'N'}) {
    program.window.AddKey(key);
  }
  program.window.AddTicks(60);
  program.window.AddKey('F');
  program.window.AddTicks(3);
  program.window.AddKey('Q');
  ASSERT_EQ(RunProgram(program.ctx), kExitOrderly);

  using Strings = std::vector<std::string>;
  const Strings waitEnds = {"rnc", "runsetup"};
  // F, 1 4 6 Enter, F1, A, M and N while the receiver is away.
  const Strings keysWhileAway = {"rnc", "1", "4", "6", "rnc", "rnc", "rnc", "rnc", "svoice", "off"};
  const Strings firstAnswer = {"connected", "TX VA0145000000", "1",           "4",      "5",
                               "FM",        "TX MD1",          "TX ST012.50", "attoff", "TX AT0"};
  const Strings fThenQ = {"1", "4", "5", "point", "0", "fm.wav", "quit", "TX EX"};
  Strings expected;
  for (const Strings* part : {&waitEnds, &keysWhileAway, &firstAnswer, &fThenQ}) {
    expected.insert(expected.end(), part->begin(), part->end());
  }
  EXPECT_EQ(Strings(trace.begin() + 4, trace.end()), expected);
  EXPECT_EQ(frequencyDrawnWhenAway, std::optional<bool>(false));
  EXPECT_GE(program.line.opened.size(), 2u);  // opened again while it waited
  EXPECT_EQ(program.display.RunAt(320, 30).colour, Colour::kGreen);
  EXPECT_EQ(program.display.TextAt(300, 150).substr(0, 5), "145.0");
}

// When the first-answer wait ends in silence, the port tried and its speed
// are shown, printed and logged at once, before any key; an answer after all
// wipes them.
TEST_F(EarlyKeys, TheEndOfTheWaitTellsThePortAndSpeedTriedAndALateAnswerWipesIt) {
  program.files.files["VOXRIG.CFG"] = Configuration("PORT=COM1", "1", "1");
  program.files.files["COM1"] = "";
  std::string printedBeforeKey;
  program.sound.OnPlayed([&](const std::string& name) {
    if (name == "rnc") printedBeforeKey = program.messages.text;
  });
  ASSERT_EQ(RunProgram(program.ctx), kExitOrderly);
  const std::string printed =
      "voxrig: no answer from the receiver on COM1 at 19200 baud: is it switched on, and its "
      "cable in?\n"
      "voxrig: Run voxrig --setup in this folder: it finds the receiver and writes VOXRIG.CFG.\n";
  EXPECT_EQ(printedBeforeKey, printed);
  EXPECT_EQ(program.display.RunAt(320, 30).colour, Colour::kRed);
  EXPECT_EQ(program.display.TextAt(320, 30).rfind("Receiver not connected ", 0), 0u);
  EXPECT_EQ(program.display.TextAt(10, 405).rfind("No answer on COM1 at 19200 baud ", 0), 0u);
  EXPECT_EQ(program.display.TextAt(10, 435).rfind("Run voxrig --setup in this folder", 0), 0u);
  EXPECT_NE(program.files.files["debug1.dat"].find(
                "\r\nERR= no answer from the receiver on COM1 at 19200 baud: "),
            std::string::npos);

  fakes::TestProgram late;
  late.files.files["VOXRIG.CFG"] = kConfiguration;
  int levelPolls = 0;
  late.line.responder = [&levelPolls](const std::string& command) {
    if (command != "LM") return std::string();
    return ++levelPolls < 8 ? std::string() : std::string("LM%000\r\n");
  };
  late.window.AddTicks(40);
  ASSERT_EQ(RunProgram(late.ctx), kExitOrderly);
  EXPECT_NE(late.messages.text.find("no answer"), std::string::npos);
  EXPECT_EQ(late.display.TextAt(10, 405).find_first_not_of(' '), std::string::npos);
  EXPECT_EQ(late.display.TextAt(10, 435).find_first_not_of(' '), std::string::npos);
  EXPECT_EQ(late.display.RunAt(320, 30).colour, Colour::kGreen);
}

// Line 1 as the user's guide writes it, read from the file by the whole start-up: a
// device path is used as it stands whatever its label, a COM name keeps its
// meaning, and a device that is not there is said, shown and printed, and
// never replaced by another port.
TEST(PortLine, TheReadmesLinesOpenTheDeviceTheyNameAndNoOther) {
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0";
  struct Case {
    std::string line;
    bool com1Linked;
    std::string opened;   // empty: nothing opens
    std::string shown;    // the detail under the panel, empty when none
    std::string printed;  // the first line on standard error
  };
  const std::vector<Case> cases = {
      {"PORT=" + byId, true, byId, "", ""},
      {"PORT /dev/ttyUSB0", true, "/dev/ttyUSB0", "", ""},
      {"PORT=/dev/ttyUSB0  ", false, "/dev/ttyUSB0", "", ""},
      {"PORT=COM1", true, "COM1", "", ""},
      {"PORT=COM1", false, "/dev/ttyS0", "", ""},
      {"PORT=/dev/ttyUSB1", true, "", "No device: /dev/ttyUSB1 is not there",
       "voxrig: no device: /dev/ttyUSB1 is not there (is the receiver's cable plugged in?)\n"},
      {"PORT=COM0", false, "", "No port: line 1 of VOXRIG.CFG names none",
       "voxrig: no port: line 1 of VOXRIG.CFG names neither COM1 to COM9 nor a device path\n"},
  };
  const char* sourceDir = std::getenv("VOXRIG_SOURCE_DIR");
  ASSERT_NE(sourceDir, nullptr);
  std::ifstream readmeFile(std::string(sourceDir) + "/doc/guide.md");
  const std::string readme((std::istreambuf_iterator<char>(readmeFile)),
                           std::istreambuf_iterator<char>());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    // The rows that are not the guide's own: a port 0, and blanks left at
    // the end of a hand-edited line.
    if (c.line.find("COM0") == std::string::npos && c.line.back() != ' ') {
      EXPECT_NE(readme.find(c.line), std::string::npos) << "the guide no longer gives this line";
    }
    fakes::TestProgram program;
    program.files.files["VOXRIG.CFG"] = Configuration(c.line, "1", "1");
    if (c.com1Linked) program.files.files["COM1"] = "";
    program.serial.missing.insert("/dev/ttyUSB1");
    RunProgram(program.ctx);
    const std::vector<std::string> heard = program.Heard();
    const bool saidNoDevice = std::find(heard.begin(), heard.end(), "nodev") != heard.end();
    const std::string log = program.files.files["debug1.dat"];
    if (c.opened.empty()) {
      EXPECT_TRUE(program.line.opened.empty());
      EXPECT_TRUE(program.line.written.empty());
      EXPECT_TRUE(saidNoDevice);
      EXPECT_EQ(program.display.TextAt(10, 405).rfind(c.shown + " ", 0), 0u);
      EXPECT_EQ(program.messages.text.rfind(c.printed, 0), 0u) << program.messages.text;
      EXPECT_NE(program.messages.text.find("\nvoxrig: Run voxrig --setup"), std::string::npos);
      EXPECT_NE(log.find("\r\nERR= no "), std::string::npos) << log;
    } else {
      EXPECT_EQ(program.line.opened, std::vector<std::string>{c.opened});
      EXPECT_FALSE(saidNoDevice);
      EXPECT_FALSE(program.display.DrewAt(10, 405));
      EXPECT_EQ(log.find("ERR="), std::string::npos) << log;
    }
  }
}

TEST(MessageLoop, EventsBehindACloseRequestAreNotActedOn) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = kConfiguration;
  program.window.AddBatch({Tick(), CloseRequest(), KeyDown('Q'), Tick()});
  ASSERT_EQ(RunProgram(program.ctx), 0);
  EXPECT_EQ(program.ctx.panel.keyQueueCount, 0);
  // The first tick read the first level poll's answer; the one behind the
  // close would have begun the next cycle.
  EXPECT_EQ(program.ctx.poll.pollState, PollStep::kIdle);
  EXPECT_TRUE(program.window.script.empty());
}

// Connects the panel afresh and lets the receiver's first answer bring its
// known state, then forgets what that sent and said.
void Reconnect(fakes::ConnectedPanel& panel) {
  panel.ctx.app.portSetting = "COM1";
  panel.ctx.app.speedSetting = "19200";
  ConnectAfresh(panel.ctx);
  panel.Cycle();
  panel.Forget();
}

// Whatever the listener left half done or switched before a reconnect, the
// first keys after it are heard and sent as on a fresh start.
TEST(ConnectAfreshTest, TheFirstKeysAfterAReconnectActAsOnAFreshStart) {
  struct Row {
    std::string before;  // keys pressed before the reconnect
    std::string keys;
  };
  const Row rows[] = {
      {"B", "1\r"},   // a bank being selected
      {"S1", "2\r"},  // a search limit being typed
      {"E", "\r"},    // an upper limit begun
      {"L", "L"},     // the noise limiter switched on
      {"C", "C"},     // the search set to stop on a signal
      {"N", "N"},     // the scan's words switched off
      {"R", "5\r"},   // a search running
  };
  for (const Row& row : rows) {
    fakes::ConnectedPanel used;
    used.Type(row.before);
    Reconnect(used);
    used.Type(row.keys);
    fakes::ConnectedPanel fresh;
    Reconnect(fresh);
    fresh.Type(row.keys);
    EXPECT_FALSE(fresh.trace.empty()) << row.before;
    EXPECT_EQ(used.trace, fresh.trace) << row.before;
  }
}

}  // namespace
}  // namespace voxrig
