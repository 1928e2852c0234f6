// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_serial.h"

#include <algorithm>

namespace voxrig::fakes {

std::vector<std::string> FakeLine::Commands() const {
  std::vector<std::string> commands;
  std::string current;
  for (char c : written) {
    if (c == '\r') {
      commands.push_back(current);
      current.clear();
    } else if (c == 0x1E && current.empty()) {
      commands.push_back("<1E>");
    } else {
      current += c;
    }
  }
  if (!current.empty()) commands.push_back(current);
  return commands;
}

void FakeSerialDevice::SetReadTimeouts(int perByteMultiplier) {
  line_.readTimeoutMultiplier = perByteMultiplier;
}

bool FakeSerialDevice::SetLineFormat(int dataBits, int parityCode, int stopBitsCode) {
  line_.dataBits = dataBits;
  line_.parityCode = parityCode;
  line_.stopBitsCode = stopBitsCode;
  return true;
}

int FakeSerialDevice::Write(const char* bytes, int count) {
  if (line_.hungUp || gone_) {
    gone_ = true;
    return 0;
  }
  for (int i = 0; i < count; ++i) {
    const char c = bytes[i];
    line_.written += c;
    if (c == 0x1E && pending_.empty()) {
      if (line_.responder) line_.incoming += line_.responder("<1E>");
    } else if (c == '\r') {
      if (line_.responder) line_.incoming += line_.responder(pending_);
      pending_.clear();
    } else {
      pending_ += c;
    }
  }
  return count;
}

int FakeSerialDevice::Read(char* buffer, int maximum) {
  if (line_.hungUp || gone_) {
    gone_ = true;
    return 0;
  }
  const int n = std::min<int>(maximum, static_cast<int>(line_.incoming.size()));
  std::copy_n(line_.incoming.begin(), n, buffer);
  line_.incoming.erase(0, static_cast<std::size_t>(n));
  return n;
}

std::unique_ptr<SerialDevice> FakeSerialOpener::Open(const std::string& path, int baudRate) {
  if (unplugged || line_.hungUp || missing.count(path) != 0 || refusedSpeeds.count(baudRate) != 0) {
    return nullptr;
  }
  line_.opened.push_back(path);
  line_.baudRate = baudRate;
  line_.dataBits = 8;
  line_.parityCode = 0;
  line_.stopBitsCode = 1;
  line_.open = true;
  return std::make_unique<FakeSerialDevice>(line_);
}

}  // namespace voxrig::fakes
