// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <hamlib/rig.h>

#include <functional>
#include <memory>

#include "link/radio_beside_loop.h"
#include "platform/hamlib_opener.h"
#include "platform/serial_survey.h"

namespace voxrig {

// Opens radios through the Hamlib library installed on the machine.
class HamlibLibrary : public HamlibOpener {
 public:
  // Quiets Hamlib's own messages on the terminal. A radio's serial device is
  // held through `devices` while it is open.
  explicit HamlibLibrary(SerialDeviceLocker& devices);
  HamlibAttempt OpenRadio(int model, const std::string& path, int baudRate) override;
  bool KnowsModel(int model) override;
  std::optional<ReceiverCapabilities> CapabilitiesOf(int model) override;
  void OnAnswer(std::function<void()> wake) override;

 private:
  // The open radio, once it answered, and the descriptor that holds its
  // serial device (-1 for a radio on no serial port); null with the
  // attempt's failure set otherwise.
  RIG* OpenAnswering(int model, const std::string& path, int baudRate, HamlibAttempt& attempt,
                     int& heldDevice);

  SerialDeviceLocker& devices_;
  // Set once OnAnswer has been given a wake-up: the radios opened since
  // carry out their calls beside the loop.
  std::shared_ptr<RadioWakeup> wakeup_;
};

}  // namespace voxrig
