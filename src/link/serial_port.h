// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "core/context.h"

namespace voxrig {

// The serial port table: ports 1 to 256. A port number outside that range, or
// a slot that holds no open device, makes every operation do nothing and
// report 0.

// The device of port n: for the receiver's port, the device path the
// configuration names when it names one; otherwise the link or device
// "COM" + n in the working folder when there is one, even a link to a device
// that is not there (a user links /dev/serial/by-id/... there), otherwise
// /dev/ttyS(n-1).
std::string PortDevicePath(Context& ctx, int port);

int OpenPort(Context& ctx, int port, int baudRate);
// The device of the port, opened as OpenPort opens it but handed over rather
// than kept in the table; null when it cannot be opened.
std::unique_ptr<SerialDevice> OpenPortDevice(Context& ctx, int port, int baudRate);
void SetReadTimeouts(Context& ctx, int port, int perByteMultiplier);
int SetLineFormat(Context& ctx, int port, int dataBits, int parityCode, int stopBitsCode);

// The line format as the platform's serial devices take it.
struct LineFormat {
  int dataBits;
  int parityCode;    // 0: no parity
  int stopBitsCode;  // 2: two stop bits
};
// The receiver's line format, whoever opens its port: 8 data bits, no parity,
// two stop bits.
inline constexpr LineFormat kReceiverLineFormat{8, 0, 2};
int WritePort(Context& ctx, int port, const char* bytes, int count);
int ReadPort(Context& ctx, int port, char* buffer, int maximum);
int BytesWaiting(Context& ctx, int port);
void ClosePort(Context& ctx, int port);

}  // namespace voxrig
