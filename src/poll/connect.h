// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Opens the port and asks the receiver whether it is there (the first level
// poll). Nothing is tuned or said about the receiver until it answers.
void ConnectReceiver(Context& ctx);

// The receiver's first answer: puts it into its known state (145 MHz, FM,
// 12.5 kHz steps, attenuator off), saying each part as it goes out.
Steps<> PutReceiverInKnownState(Context& ctx);

}  // namespace voxrig
