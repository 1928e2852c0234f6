// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"
#include "platform/serial_survey.h"

namespace voxrig {

// Why a radio driven through Hamlib did not open.
enum class HamlibFailure {
  kNone,
  kUnknownModel,  // Hamlib has no model of that number
  kDevice,        // its serial device could not be opened or held (deviceFailure says why)
  kNoAnswer,      // Hamlib opened it, but the radio did not answer
};

struct HamlibAttempt {
  std::unique_ptr<SerialDevice> device;  // null unless the radio answered
  HamlibFailure failure = HamlibFailure::kNone;
  OpenFailure deviceFailure = OpenFailure::kNone;
  std::string systemMessage;  // the system's own words for a device failure
};

// Opens a radio that Hamlib drives, by Hamlib's model number (the number
// `rigctl -l` lists), on a serial device at a speed. The device it gives
// speaks the AR8600's command vocabulary to the panel (see HamlibReceiver),
// so every feature above the link works on that radio unchanged. A radio on
// a serial port is held for this program alone while it is open, as the
// AR8600's own line is: a second panel cannot open it beside the first.
class HamlibOpener {
 public:
  virtual ~HamlibOpener() = default;
  virtual HamlibAttempt Open(int model, const std::string& path, int baudRate) = 0;
  // Whether Hamlib has a model of that number.
  virtual bool KnowsModel(int model) = 0;
};

}  // namespace voxrig
