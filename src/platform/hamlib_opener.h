// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace voxrig {

// Opens a radio that Hamlib drives, by Hamlib's model number (the number
// `rigctl -l` lists), on a serial device at a speed. The device it gives
// speaks the AR8600's command vocabulary to the panel (see HamlibReceiver),
// so every feature above the link works on that radio unchanged. Null when
// Hamlib knows no such model, the port cannot be opened or refuses the speed,
// or the radio does not answer.
class HamlibOpener {
 public:
  virtual ~HamlibOpener() = default;
  virtual std::unique_ptr<SerialDevice> Open(int model, const std::string& path, int baudRate) = 0;
};

}  // namespace voxrig
