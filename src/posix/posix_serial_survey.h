// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/serial_survey.h"

namespace voxrig {

// The machine's serial devices as Linux shows them: names under /dev, the
// processes holding them from /proc/*/fd, the group from the device's owner.
// The roots can be moved so a test can lay out a /dev and a /proc of its own.
class PosixSerialSurvey : public SerialSurvey {
 public:
  PosixSerialSurvey() : PosixSerialSurvey("/dev", "/proc") {}
  PosixSerialSurvey(std::string devRoot, std::string procRoot)
      : devRoot_(std::move(devRoot)), procRoot_(std::move(procRoot)) {}

  std::vector<std::string> ListDevices() override;
  std::string StableName(const std::string& path) override;
  OpenAttempt Open(const std::string& path, int baudRate) override;
  std::vector<DeviceHolder> Holders(const std::string& path) override;
  DeviceAccess Access(const std::string& path) override;
  bool MakeLink(const std::string& linkPath, const std::string& target,
                std::string& error) override;

 private:
  std::vector<std::string> StableNames();

  std::string devRoot_;
  std::string procRoot_;
};

}  // namespace voxrig
