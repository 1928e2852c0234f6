// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/radio_capabilities.h"

#include "link/receiver_commands.h"

namespace voxrig {

const ReceiverCapabilities& Ar8600Capabilities() {
  static const ReceiverCapabilities kAr8600 = [] {
    ReceiverCapabilities caps;
    caps.maker = "AOR";
    caps.modelName = "AR8600";
    // Hamlib's number for the AR8600, as `rigctl -l` lists it.
    caps.hamlibModel = 5013;
    caps.receiveRanges = {{receiver::kLowestHz, receiver::kHighestHz}};
    caps.tuningResolutionHz = receiver::kTuningResolutionHz;
    caps.modes = {Mode::kFM, Mode::kAM, Mode::kLSB, Mode::kUSB, Mode::kWFM, Mode::kCW, Mode::kAUT};
    caps.attenuator = true;
    caps.noiseLimiter = true;
    caps.searchesByItself = true;
    caps.memories = {true, true, true, true, "ABCDEFGHIJ", 100};
    return caps;
  }();
  return kAr8600;
}

const ReceiverCapabilities& RadioCapabilities(const Context& ctx) {
  return ctx.link.capabilities ? *ctx.link.capabilities : Ar8600Capabilities();
}

}  // namespace voxrig
