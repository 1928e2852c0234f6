// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

// G: the receiver's own memory scan over the bank (or banks) named, such as
// "A" or "AB".
void StartMemoryScan(Context& ctx, const std::string& bank);

// P during a memory scan: the channel the scan rests on is passed, and noted
// so that leaving the scan takes it back.
void PassChannel(Context& ctx);

// While the memory scan rests: reads the receiver's answer to "RX" (during
// the scan, the channel it holds, with its name) into link.heldChannel and
// link.heldChannelName; both are emptied when no channel came.
void ReadHeldChannel(Context& ctx);

// "channel", the bank letter, the number and the name of the channel the
// memory scan rests on; nothing when the receiver did not name one.
void SpeakHeldChannel(Context& ctx);

// Leaves the memory scan and the bank scan, taking back every passed channel.
void LeaveScans(Context& ctx);

// Z: every receiver bank set to hold its own 90 channels.
void CheckReceiverBanks(Context& ctx);

}  // namespace voxrig
