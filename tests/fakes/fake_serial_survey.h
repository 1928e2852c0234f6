#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
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
};

}  // namespace voxrig::fakes
