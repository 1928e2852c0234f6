// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_serial_survey.h"

namespace voxrig::fakes {

namespace {

// A device whose answers come from the fake machine's table.
class SurveyedDevice : public SerialDevice {
 public:
  SurveyedDevice(FakeSerialSurvey& survey, FakeDevice& device, std::string path, int baudRate)
      : survey_(survey), device_(device), path_(std::move(path)), baudRate_(baudRate) {}
  void SetReadTimeouts(int) override {}
  bool SetLineFormat(int dataBits, int parityCode, int stopBitsCode) override {
    return dataBits == 8 && parityCode == 0 && stopBitsCode == 2;
  }
  int Write(const char* bytes, int count) override {
    for (int i = 0; i < count; ++i) {
      if (bytes[i] != '\r') {
        pending_ += bytes[i];
        continue;
      }
      if (device_.hangUpAfter == 0) {
        hungUp_ = true;
        return i;
      }
      if (device_.hangUpAfter > 0) --device_.hangUpAfter;
      survey_.wire.push_back(path_ + "@" + std::to_string(baudRate_) + " " + pending_);
      const std::string answer = device_.answer ? device_.answer(baudRate_, pending_) : "";
      if (!answer.empty()) device_.inFlight.emplace_back(Now() + NextDelay(), answer);
      pending_.clear();
    }
    return count;
  }
  int Read(char* buffer, int maximum) override {
    Deliver();
    std::string& arrived = device_.arrived;
    const int n = std::min<int>(maximum, static_cast<int>(arrived.size()));
    std::copy_n(arrived.begin(), n, buffer);
    arrived.erase(0, static_cast<std::size_t>(n));
    return n;
  }
  int BytesWaiting() override {
    Deliver();
    return static_cast<int>(device_.arrived.size());
  }
  bool LineGone() override { return hungUp_; }

 private:
  long long Now() const { return survey_.time ? survey_.time->now() : 0; }
  int NextDelay() {
    const std::vector<int>& delays = device_.answerDelaysMs;
    if (delays.empty()) return 0;
    const std::size_t next = static_cast<std::size_t>(device_.answersSent++);
    return delays[std::min(next, delays.size() - 1)];
  }
  // Answers whose time has come arrive, in the order they were sent.
  void Deliver() {
    auto& inFlight = device_.inFlight;
    while (!inFlight.empty() && inFlight.front().first <= Now()) {
      device_.arrived += inFlight.front().second;
      inFlight.erase(inFlight.begin());
    }
  }

  FakeSerialSurvey& survey_;
  FakeDevice& device_;
  std::string path_;
  int baudRate_;
  std::string pending_;
  bool hungUp_ = false;
};

}  // namespace

std::string FakeSerialSurvey::StableName(const std::string& path) {
  auto found = devices.find(path);
  return found == devices.end() ? std::string() : found->second.stableName;
}

OpenAttempt FakeSerialSurvey::Open(const std::string& path, int baudRate) {
  OpenAttempt attempt;
  auto found = devices.find(path);
  if (found == devices.end()) {
    attempt.failure = OpenFailure::kNoDevice;
    attempt.systemMessage = "No such file or directory";
    return attempt;
  }
  opened.push_back(path + "@" + std::to_string(baudRate));
  attempt.failure = found->second.failure;
  if (attempt.failure == OpenFailure::kNoPermission) attempt.systemMessage = "Permission denied";
  if (attempt.failure == OpenFailure::kInUse)
    attempt.systemMessage = "Resource temporarily unavailable";
  if (attempt.failure == OpenFailure::kNone) {
    attempt.device = std::make_unique<SurveyedDevice>(*this, found->second, path, baudRate);
  }
  return attempt;
}

std::vector<DeviceHolder> FakeSerialSurvey::Holders(const std::string& path) {
  auto found = devices.find(path);
  return found == devices.end() ? std::vector<DeviceHolder>() : found->second.holders;
}

DeviceAccess FakeSerialSurvey::Access(const std::string& path) {
  auto found = devices.find(path);
  return found == devices.end() ? DeviceAccess() : found->second.access;
}

bool FakeSerialSurvey::MakeLink(const std::string& linkPath, const std::string& target,
                                std::string& error) {
  if (linksFail) {
    error = "Read-only file system";
    return false;
  }
  links[linkPath] = target;
  return true;
}

}  // namespace voxrig::fakes
