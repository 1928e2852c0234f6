// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/receiver.h"

namespace voxrig::fakes {

// What Hamlib's dummy radio (model 1) can do, as far as the panel offers it:
// 150 kHz to 1.5 GHz tuned to the hertz, every mode key but automatic, and
// no attenuator, noise limiter or memories the panel reaches. The
// attenuator and memories are left out so that the keys that need them
// can be heard refused; a test gives them back where it needs them.
inline ReceiverCapabilities DummyRadioRecord() {
  ReceiverCapabilities radio;
  radio.maker = "Hamlib";
  radio.modelName = "Dummy";
  radio.hamlibModel = 1;
  radio.receiveRanges = {{150'000, 1'500'000'000}};
  radio.tuningResolutionHz = 1;
  radio.modes = {Mode::kFM, Mode::kAM, Mode::kLSB, Mode::kUSB, Mode::kWFM, Mode::kCW};
  return radio;
}

}  // namespace voxrig::fakes
