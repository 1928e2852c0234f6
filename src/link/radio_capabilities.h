// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"
#include "platform/receiver.h"

namespace voxrig {

// What the AR8600 on its own line can do: 0.1 to 2040 MHz by 50 Hz, every
// mode key, the attenuator and the noise limiter, its own VFO search, and ten
// banks A to J of memories it reads, writes, scans and resizes.
const ReceiverCapabilities& Ar8600Capabilities();

// What the radio the panel drives can do: the record kept when it was chosen
// (LinkState::capabilities), or the AR8600's while none is kept.
const ReceiverCapabilities& RadioCapabilities(const Context& ctx);

}  // namespace voxrig
