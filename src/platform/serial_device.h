// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace voxrig {

// One open serial device. Reads never wait once SetReadTimeouts(-1) has been
// given: they return whatever has arrived, possibly nothing.
class SerialDevice {
 public:
  virtual ~SerialDevice() = default;
  // -1: reads return at once. Any other value m: reads wait up to about
  // 1000 ms between bytes and m ms per byte asked for.
  virtual void SetReadTimeouts(int perByteMultiplier) = 0;
  // Data bits, parity code (0 none, 1 odd, 2 even), stop-bits code (1 gives
  // one stop bit, anything else two). Returns false when the device refused.
  virtual bool SetLineFormat(int dataBits, int parityCode, int stopBitsCode) = 0;
  virtual int Write(const char* bytes, int count) = 0;
  virtual int Read(char* buffer, int maximum) = 0;
  // Received bytes not yet read; also clears any pending line error.
  virtual int BytesWaiting() = 0;
  // True once the line has gone: the other end hung up (a receiver switched
  // off, a USB adapter pulled out) or a write failed. A receiver that is
  // merely silent leaves the line up; only a gone line needs reopening.
  virtual bool LineGone() = 0;
};

// Opens serial devices by path, for this program alone, at a speed, with
// 8 data bits, no parity and one stop bit, flow control left as it was.
// Returns null when the device cannot be opened or refuses the speed.
class SerialDeviceOpener {
 public:
  virtual ~SerialDeviceOpener() = default;
  virtual std::unique_ptr<SerialDevice> Open(const std::string& path, int baudRate) = 0;
  // `wake` runs, on a thread of the opener's, each time bytes arrive on a
  // line it opens from now on (or the line hangs up), so that the panel
  // reads an answer as soon as it has come. An opener that cannot watch its
  // lines leaves the reading to the panel's timer. An empty one stops it.
  virtual void OnArrival([[maybe_unused]] std::function<void()> wake) {}
};

}  // namespace voxrig
