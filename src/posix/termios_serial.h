// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/serial_device.h"
#include "platform/serial_survey.h"
#include "posix/serial_arrival.h"

namespace voxrig {

// A serial device opened through termios. The descriptor is always
// non-blocking; waiting, where a read or a write may wait at all, is done with
// poll() against a deadline, so a silent receiver, a cable pulled out or a
// USB adapter unplugged never freezes the panel. A new device reads at once
// until SetReadTimeouts says otherwise.
class TermiosSerialDevice : public SerialDevice {
 public:
  // Takes ownership of fd, already opened, locked and set to raw mode.
  TermiosSerialDevice(int fd, std::chrono::milliseconds writeStallLimit);
  ~TermiosSerialDevice() override;
  TermiosSerialDevice(const TermiosSerialDevice&) = delete;
  TermiosSerialDevice& operator=(const TermiosSerialDevice&) = delete;

  // -1: reads return at once. m >= 0: a read waits for its first byte up to
  // m ms per byte asked for, then up to 1000 ms between bytes, and never
  // longer than m ms per byte in all. With m 0 there is no total limit, so the
  // wait for the first byte is capped at the 1000 ms interval instead of
  // waiting for ever.
  void SetReadTimeouts(int perByteMultiplier) override;
  bool SetLineFormat(int dataBits, int parityCode, int stopBitsCode) override;
  // Writes every byte unless the line stops taking them for longer than the
  // stall limit or fails (a hung-up line); returns the bytes written.
  int Write(const char* bytes, int count) override;
  int Read(char* buffer, int maximum) override;
  // Bytes received and not yet read; 0 on a hung-up line. Parity and framing
  // errors are not latched by termios, so there is nothing to clear.
  int BytesWaiting() override;
  // A hang-up seen by poll(), or an earlier read or write that failed.
  bool LineGone() override;
  // From now on, the watch tells of each arrival on this line.
  void TellArrivals(std::shared_ptr<SerialArrivalWatch> arrivals);

 private:
  int ReadAvailable(char* buffer, int maximum);
  int ReadWithTimeouts(char* buffer, int maximum);

  int fd_;
  std::chrono::milliseconds writeStallLimit_;
  int perByteMultiplier_ = -1;
  bool gone_ = false;
  std::shared_ptr<SerialArrivalWatch> arrivals_;
};

// Opens serial devices for this program alone: TIOCEXCL keeps other programs
// out, and an exclusive flock() also keeps a second voxrig out (TIOCEXCL does
// not stop root). The line is set raw at the speed given, 8 data bits, no
// parity, one stop bit; the device's own flow control (IXON, IXOFF, IXANY,
// CRTSCTS) stays as it was. Carrier detect is ignored (CLOCAL), as a
// three-wire receiver cable has none.
class TermiosSerialOpener : public SerialDeviceOpener {
 public:
  static constexpr std::chrono::milliseconds kDefaultWriteStallLimit{500};

  explicit TermiosSerialOpener(std::chrono::milliseconds writeStallLimit = kDefaultWriteStallLimit)
      : writeStallLimit_(writeStallLimit) {}

  // Null when the device cannot be opened, is in use, is not a terminal, has
  // no termios speed constant for baudRate, or does not take the settings.
  std::unique_ptr<SerialDevice> Open(const std::string& path, int baudRate) override;
  // Lines opened from now on are watched from a thread of its own.
  void OnArrival(std::function<void()> wake) override;

 private:
  std::chrono::milliseconds writeStallLimit_;
  std::shared_ptr<SerialArrivalWatch> arrivals_;
};

// Holds a device for this program alone: an exclusive flock() on it keeps a
// second voxrig out. The descriptor is non-blocking and not yet exclusive
// (TIOCEXCL), so a radio driven through Hamlib can open the device again.
HeldDevice HoldSerialDevice(const std::string& path, bool needPortHardware);

// Holds serial devices as HoldSerialDevice does.
class TermiosDeviceLocker : public SerialDeviceLocker {
 public:
  HeldDevice Hold(const std::string& path, bool needPortHardware) override {
    return HoldSerialDevice(path, needPortHardware);
  }
};

// Opens a device as TermiosSerialOpener does and says why when it cannot.
// With needPortHardware, a port the kernel knows no chip for (most
// /dev/ttyS names) counts as no device.
OpenAttempt OpenTermiosDevice(const std::string& path, int baudRate,
                              std::chrono::milliseconds writeStallLimit, bool needPortHardware);

}  // namespace voxrig
