// SPDX-License-Identifier: GPL-3.0-or-later
// The first-run set-up against receivers on a fake machine whose answers
// come late by any amount, on one or two serial devices. What must hold:
//   - a speed is written only when it is the speed of the receiver on the
//     device linked as COM1: a late answer never passes for another speed's;
//   - a receiver that always answers within the set-up's wait is found;
//   - only the harmless question "RX" and the closing "EX" go to a device;
//   - the set-up ends, in bounded time, with one of its exit codes.
//
// Input: byte 0 holds the receiver's speed and whether a second device (a
// silent one, or another receiver) is listed first; the rest are the delays
// of the receiver's answers in turn, each byte times 12 ms (0 to 3 s), the
// last one for every later answer.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fakes/fake_serial_survey.h"
#include "fakes/test_program.h"
#include "setup/setup.h"

namespace {

using voxrig::fakes::FakeDevice;

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "setup_fuzz: %s\n", what);
  std::abort();
}

constexpr const char* kFolder = "/home/listener/radio";
constexpr int kSpeeds[] = {19200, 9600, 4800};
constexpr int kDelayUnitMs = 12;

struct Console : voxrig::OutputFile {
  bool Write(const std::string&) override { return true; }
};

// A receiver at `speed`: at any other speed its answers arrive as noise.
FakeDevice Receiver(int speed, const std::vector<int>& delays, const std::string& stableName) {
  FakeDevice device;
  device.stableName = stableName;
  device.answerDelaysMs = delays;
  device.answer = [speed](int baud, const std::string& command) -> std::string {
    if (command != "RX") return "";
    return baud == speed ? "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n" : "\xA1\xCD\x92";
  };
  return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 64) return 0;
  const int speed = kSpeeds[data[0] % 3];
  const int others = (data[0] / 3) % 3;  // 0: none, 1: a silent port, 2: a second receiver
  std::vector<int> delays;
  for (std::size_t i = 1; i < size; ++i) delays.push_back(data[i] * kDelayUnitMs);

  voxrig::fakes::TestProgram program;
  voxrig::fakes::FakeSerialSurvey survey;
  survey.time = &program.time;
  voxrig::fakes::FakeStopwatch stopwatch{program.time};
  Console console;
  voxrig::SetupTools tools{survey, stopwatch, console, voxrig::ListenLimits{}};
  const std::string receiverPath = "/dev/ttyUSB1";
  survey.devices[receiverPath] = Receiver(speed, delays, "/dev/serial/by-id/receiver");
  survey.listed = {receiverPath};
  int otherSpeed = 0;
  if (others == 1) {
    survey.devices["/dev/ttyUSB0"] = FakeDevice{};
    survey.listed.insert(survey.listed.begin(), "/dev/ttyUSB0");
  } else if (others == 2) {
    otherSpeed = kSpeeds[(data[0] / 9) % 3];
    survey.devices["/dev/ttyUSB0"] = Receiver(otherSpeed, {}, "/dev/serial/by-id/other");
    survey.listed.insert(survey.listed.begin(), "/dev/ttyUSB0");
  }
  voxrig::SetupOptions options{kFolder, std::nullopt, std::string(kFolder) + "/wave"};

  const int exitCode = voxrig::RunSetup(program.ctx, tools, options);
  Check(exitCode == voxrig::kSetupDone || exitCode == voxrig::kSetupNoReceiver,
        "the set-up ended with an unexpected status");
  // Three speeds on two devices, each at most a question, its late window
  // and a second question, with the spoken steps: far under five minutes.
  Check(program.time.now() < 300'000, "the set-up took unbounded time");
  for (const std::string& entry : survey.wire) {
    const std::string command = entry.substr(entry.find(' ') + 1);
    Check(command == "RX" || command == "EX", "the set-up sent more than RX and EX");
  }
  const auto config = program.files.files.find("VOXRIG.CFG");
  if (exitCode != voxrig::kSetupDone) {
    Check(config == program.files.files.end(), "a set-up that found nothing wrote VOXRIG.CFG");
  } else {
    Check(config != program.files.files.end(), "a set-up that found a receiver wrote nothing");
    const std::string link = survey.links[std::string(kFolder) + "/COM1"];
    const int linkedSpeed = link == "/dev/serial/by-id/other" ? otherSpeed : speed;
    Check(link == "/dev/serial/by-id/receiver" || link == "/dev/serial/by-id/other",
          "COM1 links no receiver");
    Check(config->second.find("SPEED=" + std::to_string(linkedSpeed) + "\r\n") != std::string::npos,
          "VOXRIG.CFG names a speed the linked receiver does not answer at");
  }
  // A receiver that always answers well within the wait is found (the other
  // receiver, when listed first, answers at once and is found first).
  const bool prompt = std::all_of(delays.begin(), delays.end(), [](int ms) { return ms < 800; });
  if (prompt || others == 2) Check(exitCode == voxrig::kSetupDone, "a prompt receiver was missed");
  return 0;
}
