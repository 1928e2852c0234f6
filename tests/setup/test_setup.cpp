// SPDX-License-Identifier: GPL-3.0-or-later
// The first-run set-up and the receiver probe, on a fake machine: its serial
// devices, their answers at each speed, the working folder in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_serial_survey.h"
#include "fakes/test_program.h"
#include "setup/probe.h"
#include "setup/setup.h"

namespace voxrig {
namespace {

using fakes::FakeDevice;
using Strings = std::vector<std::string>;

constexpr const char* kFolder = "/home/listener/radio";
constexpr const char* kUsb = "/dev/ttyUSB0";
constexpr const char* kById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0";
constexpr const char* kRxAnswer = "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n";

struct Console : OutputFile {
  bool Write(const std::string& bytes) override {
    text += bytes;
    return true;
  }
  std::string text;
};

// The receiver as our notes describe it, on a line at `speed`; at any other
// speed its answers arrive as noise.
FakeDevice Receiver(int speed) {
  FakeDevice device;
  device.stableName = kById;
  device.answer = [speed](int baud, const std::string& command) -> std::string {
    if (baud != speed) return "\xA1\xCD\x92";
    if (command == "RX") return kRxAnswer;
    if (command == "LM") return "LM%000\r\n";
    if (command == "MD") return "MD1\r\n";
    if (command == "MWA") return "MW A:50 a:50\r\n";
    if (command == "EX" || command.empty()) return "";
    return "?\r\n";
  };
  return device;
}

// One fake machine: the panel's fakes, its serial devices, time, a terminal.
struct Bench {
  Bench() { survey.time = &program.time; }
  fakes::TestProgram program;
  fakes::FakeSerialSurvey survey;
  fakes::FakeStopwatch stopwatch{program.time};
  Console console;
  SetupTools tools{survey, stopwatch, console, ListenLimits{500, 100}};
};

class SetupTest : public ::testing::Test {
 protected:
  int RunTheSetup() { return RunSetup(program.ctx, tools, options); }
  int Probe(const std::string& file = "probe.txt") {
    return RunProbe(program.ctx, tools, file, options.device);
  }
  // A fresh machine for one row of a table. The fixture's names below name
  // the first machine, which this ends, so a row names the parts of the
  // machine it gets: auto& [program, survey, stopwatch, console, tools].
  Bench& FreshMachine() {
    bench = std::make_unique<Bench>();
    return *bench;
  }
  void OnlyDevice(const std::string& path, FakeDevice device) {
    survey.listed = {path};
    survey.devices[path] = std::move(device);
  }
  // Commands sent, without the device: "19200 RX".
  static Strings WireOf(const fakes::FakeSerialSurvey& machine) {
    Strings sent;
    for (const std::string& entry : machine.wire) sent.push_back(entry.substr(entry.find('@') + 1));
    return sent;
  }
  Strings Wire() const { return WireOf(survey); }
  bool Printed(const std::string& text) const {
    return console.text.find(text) != std::string::npos;
  }
  // Set-up never asks anything but the finding question and gives the keys back.
  void ExpectOnlyHarmlessCommands() const {
    for (const std::string& entry : survey.wire) {
      const std::string command = entry.substr(entry.find(' ') + 1);
      EXPECT_TRUE(command == "RX" || command == "EX") << entry;
    }
  }

  std::unique_ptr<Bench> bench = std::make_unique<Bench>();
  fakes::TestProgram& program = bench->program;
  fakes::FakeSerialSurvey& survey = bench->survey;
  Console& console = bench->console;
  SetupTools& tools = bench->tools;
  SetupOptions options{kFolder, std::nullopt, std::string(kFolder) + "/wave"};
};

TEST_F(SetupTest, FindsTheReceiverAtItsSpeedAndWritesConfigurationAndLinks) {
  struct Row {
    int speed;
    Strings wire;
    Strings heard;
  };
  const Row rows[] = {
      {19200,
       {"19200 RX", "19200 RX", "19200 EX"},
       {"setup", "dev", "1", "found", "1", "9", "2", "0", "0", "baud", "ok"}},
      {9600,
       {"19200 RX", "9600 RX", "9600 RX", "9600 EX"},
       {"setup", "dev", "1", "garbled", "found", "9", "6", "0", "0", "baud", "ok"}},
      {4800,
       {"19200 RX", "9600 RX", "4800 RX", "4800 RX", "4800 EX"},
       {"setup", "dev", "1", "garbled", "garbled", "found", "4", "8", "0", "0", "baud", "ok"}},
  };
  for (const Row& row : rows) {
    auto& [fresh, machine, stopwatch, terminal, setupTools] = FreshMachine();
    machine.listed = {kUsb};
    machine.devices[kUsb] = Receiver(row.speed);
    EXPECT_EQ(RunSetup(fresh.ctx, setupTools, options), kSetupDone) << terminal.text;
    EXPECT_EQ(WireOf(machine), row.wire);
    EXPECT_EQ(fresh.Heard(), row.heard);
    EXPECT_EQ(fresh.files.files["VOXRIG.CFG"], "PORT=COM1\r\nSPEED=" + std::to_string(row.speed) +
                                                   "\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n");
    EXPECT_EQ(fresh.files.files.count("VOXRIG.CFG.bak"), 0u);
    // The stable name, not ttyUSB0, whose number depends on plugging order.
    EXPECT_EQ(machine.links,
              (std::map<std::string, std::string>{{std::string(kFolder) + "/COM1", kById}}));
    EXPECT_NE(
        terminal.text.find("the receiver answered VA RF0145000000 ST012500 AU0 MD1 AT0<0D><0A>"),
        std::string::npos)
        << terminal.text;
  }
}

// A receiver behind a slow adapter: its answer counts only for the speed it
// was asked at, so it is found at its own speed when it answers within the
// second, and otherwise reported, never written at another speed.
TEST_F(SetupTest, ASlowReceiverIsFoundAtItsOwnSpeedOrNotAtAll) {
  struct Row {
    int speed;
    int delayMs;
    int exitCode;
    std::string told;
  };
  const Row rows[] = {
      {19200, 0, kSetupDone, "Receiver found on /dev/ttyUSB0 at 19200 baud."},
      {19200, 900, kSetupDone, "Receiver found on /dev/ttyUSB0 at 19200 baud."},
      {19200, 1500, kSetupNoReceiver, "answered too slowly (after 1500 ms"},
      {19200, 2300, kSetupNoReceiver, "answered too slowly (after 2300 ms"},
      {9600, 900, kSetupDone, "Receiver found on /dev/ttyUSB0 at 9600 baud."},
      {9600, 1500, kSetupNoReceiver, "answered too slowly (after 1500 ms"},
      {4800, 2300, kSetupNoReceiver, "4800 baud: the receiver answered too slowly, after 2300 ms"},
      // Later than the set-up waits: the answer falls into the next speed's
      // question, and the second question there finds it out.
      {19200, 2800, kSetupNoReceiver, "a second question at this speed was not answered at once"},
  };
  for (const Row& row : rows) {
    auto& [fresh, machine, stopwatch, terminal, setupTools] = FreshMachine();
    setupTools.limits = ListenLimits{};
    machine.listed = {kUsb};
    machine.devices[kUsb] = Receiver(row.speed);
    machine.devices[kUsb].answerDelaysMs = {row.delayMs};
    const std::string name = std::to_string(row.speed) + " after " + std::to_string(row.delayMs);
    EXPECT_EQ(RunSetup(fresh.ctx, setupTools, options), row.exitCode) << name << terminal.text;
    EXPECT_NE(terminal.text.find(row.told), std::string::npos) << name << terminal.text;
    const Strings heard = fresh.Heard();
    if (row.exitCode == kSetupDone) {
      EXPECT_EQ(fresh.files.files["VOXRIG.CFG"], "PORT=COM1\r\nSPEED=" + std::to_string(row.speed) +
                                                     "\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n");
      EXPECT_EQ(heard.back(), "ok") << name;
    } else {
      EXPECT_TRUE(fresh.files.files.empty()) << name;
      EXPECT_EQ(std::count(heard.begin(), heard.end(), "ok"), 0) << name;
      EXPECT_EQ(heard.back(), "norx") << name;
      // Heard as printed: the slow answer is told as such, not as no answer.
      if (row.told.find("too slowly") != std::string::npos) {
        EXPECT_NE(std::find(heard.begin(), heard.end(), "tooslow"), heard.end()) << name;
      }
    }
  }
}

TEST_F(SetupTest, KeepsTheOldConfigurationAsBakWithItsVoiceAndDebugLines) {
  OnlyDevice(kUsb, Receiver(9600));
  survey.devices[kUsb].stableName = "";
  const std::string old = "PORT=COM3\r\nSPEED=4800\r\nRADIO=AR8600\r\nVOICE=0\r\nDEBUG=1\r\n";
  program.files.files["VOXRIG.CFG"] = old;
  options.promptSet = "/usr/share/voxrig/wave";
  EXPECT_EQ(RunTheSetup(), kSetupDone);
  EXPECT_EQ(program.files.files["VOXRIG.CFG.bak"], old);
  EXPECT_EQ(program.files.files["VOXRIG.CFG"],
            "PORT=COM1\r\nSPEED=9600\r\nRADIO=AR8600\r\nVOICE=0\r\nDEBUG=1\r\n");
  // Without a stable name the device is linked as given; the prompt set found
  // elsewhere is linked in as wave.
  EXPECT_EQ(survey.links, (std::map<std::string, std::string>{
                              {std::string(kFolder) + "/COM1", kUsb},
                              {std::string(kFolder) + "/wave", "/usr/share/voxrig/wave"}}));
  ExpectOnlyHarmlessCommands();
}

TEST_F(SetupTest, EveryFailureIsToldWithItsFixAndWritesNothing) {
  struct Row {
    std::string name;
    std::function<void(fakes::FakeSerialSurvey&)> machine;
    Strings printed;
    Strings heard;
  };
  const auto device = [](FakeDevice d) {
    return [d](fakes::FakeSerialSurvey& s) {
      s.listed = {kUsb};
      s.devices[kUsb] = d;
    };
  };
  FakeDevice noPermission = Receiver(19200);
  noPermission.failure = OpenFailure::kNoPermission;
  FakeDevice inGroupAlready = noPermission;
  inGroupAlready.access.userInGroup = true;
  FakeDevice brltty = Receiver(19200);
  brltty.failure = OpenFailure::kInUse;
  brltty.holders = {{812, "brltty"}};
  FakeDevice modemManager = brltty;
  modemManager.holders = {{77, "ModemManager"}, {90, "minicom"}};
  FakeDevice silent;
  FakeDevice garbage;
  garbage.answer = [](int, const std::string&) { return std::string("#$\x81\r\n"); };
  FakeDevice unknownAnswer;
  unknownAnswer.answer = [](int, const std::string&) { return std::string("?\r\n"); };
  FakeDevice gone = Receiver(19200);
  gone.hangUpAfter = 0;
  FakeDevice sharedSilent;
  sharedSilent.holders = {{77, "ModemManager"}};

  const Row rows[] = {
      {"no devices",
       [](fakes::FakeSerialSurvey&) {},
       {"No serial device found"},
       {"setup", "nodev"}},
      {"no permission",
       device(noPermission),
       {"Permission denied", "group \"dialout\"", "sudo usermod -aG dialout listener",
        "log out and log in again", "new login"},
       {"setup", "dev", "1", "noperm", "norx"}},
      {"in the group, old session", device(inGroupAlready), {"log out and log in again"}, {}},
      {"held by brltty",
       device(brltty),
       {"Held by brltty (process 812)", "sudo systemctl stop brltty", "braille-device"},
       {"setup", "dev", "1", "inuse", "norx"}},
      {"held by ModemManager and minicom",
       device(modemManager),
       {"Held by ModemManager (process 77)", "sudo systemctl stop ModemManager",
        "Held by minicom (process 90)", "kill 90"},
       {}},
      {"silent",
       device(silent),
       {"19200 baud: no answer within 500 ms", "9600 baud: no answer", "4800 baud: no answer",
        "no answer at 19200, 9600 or 4800 baud"},
       {"setup", "dev", "1", "noans", "noans", "noans", "norx"}},
      {"garbage",
       device(garbage),
       {"an answer not understood: #$<81><0D><0A>", "not the receiver's"},
       {"setup", "dev", "1", "garbled", "garbled", "garbled", "norx"}},
      {"another device answering ?", device(unknownAnswer), {"not understood: ?<0D><0A>"}, {}},
      {"line gone", device(gone), {"the line went away"}, {"setup", "dev", "1", "rnc", "norx"}},
      {"silent, port shared with ModemManager",
       device(sharedSilent),
       {"Other programs have this port open too", "Held by ModemManager (process 77)"},
       {}},
  };
  for (const Row& row : rows) {
    auto& [fresh, machine, stopwatch, terminal, setupTools] = FreshMachine();
    row.machine(machine);
    fresh.files.files["VOXRIG.CFG"] = "old";
    EXPECT_EQ(RunSetup(fresh.ctx, setupTools, options), kSetupNoReceiver) << row.name;
    for (const std::string& text : row.printed) {
      EXPECT_NE(terminal.text.find(text), std::string::npos) << row.name << ": " << text << "\n"
                                                             << terminal.text;
    }
    EXPECT_NE(terminal.text.find("Nothing was written."), std::string::npos) << row.name;
    if (!row.heard.empty()) {
      EXPECT_EQ(fresh.Heard(), row.heard) << row.name;
    }
    EXPECT_EQ(fresh.files.files, (std::map<std::string, std::string>{{"VOXRIG.CFG", "old"}}))
        << row.name;
    EXPECT_TRUE(machine.links.empty()) << row.name;
    // Bounded: three questions' waits and the prompts, far under 10 s.
    EXPECT_LT(fresh.time.now(), 10'000) << row.name;
    for (const std::string& entry : machine.wire) {
      EXPECT_EQ(entry.substr(entry.find(' ') + 1), "RX") << row.name;
    }
  }
}

TEST_F(SetupTest, TriesEachDeviceInTurnAndSumsUpNamesWithoutAPort) {
  survey.listed = {"/dev/ttyS0", "/dev/ttyS1", kUsb, "/dev/ttyUSB1"};
  survey.devices["/dev/ttyS0"] = FakeDevice{};  // a real port, nothing on it
  survey.devices[kUsb] = Receiver(19200);       // /dev/ttyS1 has no port behind it
  survey.devices["/dev/ttyUSB1"] = Receiver(19200);
  EXPECT_EQ(RunTheSetup(), kSetupDone);
  EXPECT_EQ(survey.opened, (Strings{"/dev/ttyS0@19200", "/dev/ttyS0@9600", "/dev/ttyS0@4800",
                                    "/dev/ttyUSB0@19200"}));
  EXPECT_TRUE(Printed("Device 1: /dev/ttyS0\n")) << console.text;
  EXPECT_TRUE(Printed("Device 2: /dev/ttyUSB0 (" + std::string(kById) + ")")) << console.text;
  EXPECT_FALSE(Printed("Device 3"));

  // None answering: the account names every device tried.
  survey.devices.erase(kUsb);
  survey.devices.erase("/dev/ttyUSB1");
  console.text.clear();
  program.files.files.clear();
  EXPECT_EQ(RunTheSetup(), kSetupNoReceiver);
  EXPECT_TRUE(Printed("No receiver answered. What was found:\n  /dev/ttyS0: no answer"))
      << console.text;
  EXPECT_TRUE(Printed("3 more name(s) with no port behind: /dev/ttyS1 /dev/ttyUSB0 /dev/ttyUSB1"))
      << console.text;
  EXPECT_TRUE(program.files.files.empty());
}

TEST_F(SetupTest, AFolderThatCannotBeWrittenIsToldAndTheOldConfigurationStays) {
  const std::string old = "PORT=COM2\r\nSPEED=4800\r\n";
  for (const bool linkFails : {false, true}) {
    auto& [fresh, machine, stopwatch, terminal, setupTools] = FreshMachine();
    machine.listed = {kUsb};
    machine.devices[kUsb] = Receiver(19200);
    fresh.files.files["VOXRIG.CFG"] = old;
    fresh.files.diskFull = !linkFails;
    machine.linksFail = linkFails;
    EXPECT_EQ(RunSetup(fresh.ctx, setupTools, options), kSetupCannotWrite);
    EXPECT_EQ(fresh.files.files["VOXRIG.CFG"], old);
    EXPECT_NE(terminal.text.find("Cannot write"), std::string::npos) << terminal.text;
    EXPECT_NE(terminal.text.find("the old VOXRIG.CFG, if there was one, stays"), std::string::npos);
    const Strings heard = fresh.Heard();
    EXPECT_EQ(heard.back(), "wrerr");
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "ok"), 0);
  }
}

TEST_F(SetupTest, WithoutAPromptSetTheReceiverIsSetUpButOkIsNotSaid) {
  OnlyDevice(kUsb, Receiver(19200));
  options.promptSet.reset();
  EXPECT_EQ(RunTheSetup(), kSetupNoPrompts);
  EXPECT_EQ(program.files.files["VOXRIG.CFG"],
            "PORT=COM1\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n");
  EXPECT_TRUE(Printed("No prompt set found")) << console.text;
  EXPECT_FALSE(Printed("ok:"));
  EXPECT_EQ(program.Heard().back(), "nowave");
}

TEST_F(SetupTest, AGivenDeviceIsTheOnlyOneTriedAndToldEvenWithoutAPort) {
  survey.listed = {kUsb};
  survey.devices[kUsb] = Receiver(19200);
  options.device = "/dev/ttyACM3";
  EXPECT_EQ(RunTheSetup(), kSetupNoReceiver);
  EXPECT_EQ(survey.opened, Strings{});
  EXPECT_TRUE(Printed("Device 1: /dev/ttyACM3\n  It cannot be opened: No such file or directory."))
      << console.text;
}

TEST_F(SetupTest, ProbeRecordsEveryQuestionRawAndTimedIntoTheFile) {
  OnlyDevice(kUsb, Receiver(9600));
  EXPECT_EQ(Probe(), kProbeDone) << console.text;
  const std::string file = program.files.files["probe.txt"];
  Strings asked;
  for (const std::string& entry : survey.wire) asked.push_back(entry.substr(entry.find(' ') + 1));
  EXPECT_EQ(asked, (Strings{"RX", "RX", "RX", "RX", "LM", "MD", "AT", "NL", "MP", "MWA", "MAA",
                            "MA", "", "EX"}));
  EXPECT_NE(
      file.find("device: /dev/ttyUSB0\nline: 9600 baud, 8 data bits, no parity, 2 stop bits\n"),
      std::string::npos)
      << file;
  EXPECT_NE(file.find("\nquestion 1: the receive state (VFO frequency, step, mode)\n"
                      "  sent:     RX<0D>\n"
                      "  received: VA RF0145000000 ST012500 AU0 MD1 AT0<0D><0A>\n"
                      "  first byte: 0 ms\n"
                      "  last byte:  0 ms\n"),
            std::string::npos)
      << file;
  EXPECT_NE(file.find("  sent:     MWA<0D>\n  received: MW A:50 a:50<0D><0A>\n"),
            std::string::npos);
  EXPECT_NE(file.find("  sent:     <0D>\n  received: (nothing)\n  first byte: -\n"),
            std::string::npos);
  EXPECT_EQ(file.find("question 12"), std::string::npos);
  EXPECT_TRUE(Printed("issue tracker")) << console.text;
  EXPECT_EQ(program.Heard().front(), "probe");
  EXPECT_EQ(program.Heard().back(), "ok");
}

TEST_F(SetupTest, AProbeCutShortWritesNothing) {
  struct Row {
    std::string name;
    int hangUpAfter;
    bool fallsSilent;
    std::string printed;
  };
  const Row rows[] = {
      {"hang-up after four questions", 5, false, "The line went away at question 4 (AT<0D>)"},
      {"falls silent", -1, true, "The receiver stopped answering at question 3 (MD<0D>)"},
  };
  for (const Row& row : rows) {
    auto& [fresh, machine, stopwatch, terminal, setupTools] = FreshMachine();
    machine.listed = {kUsb};
    machine.devices[kUsb] = Receiver(19200);
    machine.devices[kUsb].hangUpAfter = row.hangUpAfter;
    if (row.fallsSilent) {
      // The count lives in the answer itself: the probe asks after this block.
      machine.devices[kUsb].answer = [asked = 0](int, const std::string&) mutable {
        return ++asked <= 3 ? std::string(kRxAnswer) : std::string();
      };
    }
    EXPECT_EQ(RunProbe(fresh.ctx, setupTools, "probe.txt", std::nullopt), kProbeNoReceiver);
    EXPECT_NE(terminal.text.find(row.printed), std::string::npos) << row.name << "\n"
                                                                  << terminal.text;
    EXPECT_TRUE(fresh.files.files.empty()) << row.name;
    EXPECT_EQ(fresh.Heard().back(), "rnc") << row.name;
    EXPECT_LT(fresh.time.now(), 10'000) << row.name;
  }
  // A probe file that cannot be written is said, not passed off as done.
  FreshMachine();
  bench->survey.listed = {kUsb};
  bench->survey.devices[kUsb] = Receiver(19200);
  bench->program.files.diskFull = true;
  EXPECT_EQ(RunProbe(bench->program.ctx, bench->tools, "probe.txt", std::nullopt),
            kProbeCannotWrite);
  EXPECT_EQ(bench->program.Heard().back(), "wrerr");
}

}  // namespace
}  // namespace voxrig
