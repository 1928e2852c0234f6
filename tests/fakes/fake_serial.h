// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace voxrig::fakes {

// The receiver end of a fake serial line: everything the panel wrote, the
// bytes waiting for the panel to read, and an optional responder that answers
// each CR-ended command (and the lone byte 30) as it is written.
struct FakeLine {
  std::string written;              // every byte the panel wrote, in order
  std::string incoming;             // bytes the panel has not read yet
  std::vector<std::string> opened;  // device paths opened, in order
  int baudRate = 0;
  int dataBits = 0;
  int parityCode = -1;
  int stopBitsCode = -1;
  int readTimeoutMultiplier = 0;
  bool open = false;
  // The other end has hung up: writes take nothing, reads give nothing and
  // the line reports itself gone. Clearing it is a replug: the next open
  // works again.
  bool hungUp = false;
  // Answers one command (without its CR); the result is queued for reading.
  std::function<std::string(const std::string&)> responder;
  // The commands written so far, split at CR; a lone byte 30 shows as "<1E>".
  std::vector<std::string> Commands() const;
  void Answer(const std::string& bytes) { incoming += bytes; }
};

class FakeSerialDevice : public SerialDevice {
 public:
  explicit FakeSerialDevice(FakeLine& line) : line_(line) {}
  ~FakeSerialDevice() override { line_.open = false; }
  void SetReadTimeouts(int perByteMultiplier) override;
  bool SetLineFormat(int dataBits, int parityCode, int stopBitsCode) override;
  int Write(const char* bytes, int count) override;
  int Read(char* buffer, int maximum) override;
  int BytesWaiting() override { return line_.hungUp ? 0 : static_cast<int>(line_.incoming.size()); }
  bool LineGone() override { return line_.hungUp || gone_; }

 private:
  FakeLine& line_;
  std::string pending_;  // a command not yet ended by its CR
  bool gone_ = false;    // this device saw its line hang up (a replug opens a new one)
};

class FakeSerialOpener : public SerialDeviceOpener {
 public:
  explicit FakeSerialOpener(FakeLine& line) : line_(line) {}
  std::unique_ptr<SerialDevice> Open(const std::string& path, int baudRate) override;
  // Paths that refuse to open (no such device).
  std::set<std::string> missing;
  // Speeds the device refuses.
  std::set<int> refusedSpeeds;
  // Every path refuses while true (the receiver's adapter is unplugged).
  bool unplugged = false;

 private:
  FakeLine& line_;
};

}  // namespace voxrig::fakes
