// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Opens the port, puts the receiver into its known state (145 MHz, FM,
// 12.5 kHz steps, attenuator off) and sends the first level poll.
void ConnectReceiver(Context& ctx);

}  // namespace voxrig
