// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_serial.h"
#include "fakes/fake_time.h"
#include "platform/serial_survey.h"
#include "platform/stopwatch.h"

namespace voxrig::fakes {

// One serial device of the fake machine.
struct FakeDevice {
  OpenFailure failure = OpenFailure::kNone;
  std::string stableName;
  std::vector<DeviceHolder> holders;
  DeviceAccess access{"dialout", "listener", false};
  // What the device answers to a command written at a speed; empty: nothing.
  std::function<std::string(int baudRate, const std::string& command)> answer;
  // Once this many commands have been written, writes fail: the line is gone.
  int hangUpAfter = -1;
  // How late each answer comes, in fake milliseconds after its command: the
  // first answer after the first entry, and so on, the last entry for every
  // later answer; empty: at once. Needs the survey's `time`.
  std::vector<int> answerDelaysMs;
  // Answers on their way, with the fake time they arrive, and those that have
  // arrived and wait to be read. They belong to the line, not to one opening
  // of it: an answer still on its way when the device is closed and opened
  // again at another speed arrives all the same, as on a real line.
  std::vector<std::pair<long long, std::string>> inFlight;
  std::string arrived;
  int answersSent = 0;
};

// The fake machine's serial devices. Every command written to any of them
// is recorded with the device and speed, in order.
class FakeSerialSurvey : public SerialSurvey {
 public:
  std::vector<std::string> ListDevices() override { return listed; }
  std::string StableName(const std::string& path) override;
  OpenAttempt Open(const std::string& path, int baudRate) override;
  std::vector<DeviceHolder> Holders(const std::string& path) override;
  DeviceAccess Access(const std::string& path) override;
  bool MakeLink(const std::string& linkPath, const std::string& target,
                std::string& error) override;

  std::vector<std::string> listed;
  std::map<std::string, FakeDevice> devices;
  // "path@speed command", one per command written.
  std::vector<std::string> wire;
  std::map<std::string, std::string> links;  // link path -> target
  bool linksFail = false;
  std::vector<std::string> opened;  // "path@speed"
  // The time answers are late by (FakeDevice::answerDelaysMs); none: at once.
  FakeTime* time = nullptr;
};

}  // namespace voxrig::fakes
