// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/receiver.h"
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
  // The radio, once it answered: from OpenRadio, in the panel's own words.
  std::unique_ptr<Receiver> radio;
  HamlibFailure failure = HamlibFailure::kNone;
  OpenFailure deviceFailure = OpenFailure::kNone;
  std::string systemMessage;  // the system's own words for a device failure
};

// Opens a radio that Hamlib drives, by Hamlib's model number (the number
// `rigctl -l` lists), on a serial device at a speed. A radio on a serial port
// is held for this program alone while it is open, as the AR8600's own line
// is: a second panel cannot open it beside the first.
class HamlibOpener {
 public:
  virtual ~HamlibOpener() = default;
  // The radio as the panel's Receiver (HamlibAttempt::radio).
  virtual HamlibAttempt OpenRadio(int model, const std::string& path, int baudRate) = 0;
  // Whether Hamlib has a model of that number.
  virtual bool KnowsModel(int model) = 0;
  // What a radio of the model can do, read from Hamlib's record of the model
  // without opening one; nothing for a model Hamlib does not have.
  virtual std::optional<ReceiverCapabilities> CapabilitiesOf(int model) = 0;
  // From now on, the radios it opens are opened and carry out their calls on
  // a thread of their own, and `wake` runs there each time a call has ended,
  // so that a slow driver never holds the panel's loop. OpenRadio then
  // returns at once: a radio that does not open reports its line gone. An
  // empty one withdraws it, before what it wakes goes away. An opener that
  // cannot leaves the calls on the caller's thread.
  virtual void OnAnswer([[maybe_unused]] std::function<void()> wake) {}
};

}  // namespace voxrig
