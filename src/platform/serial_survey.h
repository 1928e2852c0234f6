// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace voxrig {

// Why a serial device could not be opened.
enum class OpenFailure {
  kNone,
  kNoPermission,  // the user may not open it (not in the device's group)
  kInUse,         // another program holds it
  kNoDevice,      // the name is there but no port answers behind it
  kNotSerial,     // not a terminal device at all
  kRefused,       // it opened but refused the speed or the line format
};

struct OpenAttempt {
  std::unique_ptr<SerialDevice> device;  // null unless it opened
  OpenFailure failure = OpenFailure::kNone;
  std::string systemMessage;  // the system's own words for the failure
};

// A process that has the device open.
struct DeviceHolder {
  int pid = 0;
  std::string name;  // its command name, e.g. "brltty" or "ModemManager"
};

// Who may open a device: its group, the user running the program, and
// whether that user is in the group now.
struct DeviceAccess {
  std::string group;
  std::string user;
  bool userInGroup = false;
};

// A serial device opened and locked for this program, so that a second voxrig
// keeps out of it, whether that one drives the AR8600's own line or a radio
// through Hamlib; a radio driven through Hamlib opens the device again itself
// once it is held. fd -1, with the reason, when it cannot be held; the caller
// closes a held fd.
struct HeldDevice {
  int fd = -1;
  OpenFailure failure = OpenFailure::kNone;
  std::string systemMessage;
};

// Holds serial devices for this program alone (a radio driven through Hamlib
// is held this way before Hamlib opens it).
class SerialDeviceLocker {
 public:
  virtual ~SerialDeviceLocker() = default;
  virtual HeldDevice Hold(const std::string& path, bool needPortHardware) = 0;
};

// What the set-up needs to know about the machine's serial devices.
class SerialSurvey {
 public:
  virtual ~SerialSurvey() = default;
  // The serial devices present: the stable /dev/serial/by-id names first,
  // then /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS* in number order, each device
  // once (a by-id name hides the ttyUSB name it points at).
  virtual std::vector<std::string> ListDevices() = 0;
  // The /dev/serial/by-id name of the device, or empty when it has none.
  virtual std::string StableName(const std::string& path) = 0;
  // Opens the device for this program alone at the speed, 8 data bits, no
  // parity, one stop bit, and says why when it cannot.
  virtual OpenAttempt Open(const std::string& path, int baudRate) = 0;
  // Other processes that have the device open.
  virtual std::vector<DeviceHolder> Holders(const std::string& path) = 0;
  virtual DeviceAccess Access(const std::string& path) = 0;
  // Makes `linkPath` a symbolic link to `target`, replacing an older link of
  // that name (never a file that is not a link). False, with the reason in
  // `error`, when it cannot.
  virtual bool MakeLink(const std::string& linkPath, const std::string& target,
                        std::string& error) = 0;
};

}  // namespace voxrig
