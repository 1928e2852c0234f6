// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

// Whether the receiver was asked to start its memory scan.
enum class MemoryScanStart {
  kRefused,  // the receiver is away: nothing was sent ("rnc" was said)
  kStarted,  // the poll cycle is to follow the scan from now on
};

// G: the receiver's own memory scan over the bank (or banks) named, such as
// "A" or "AB".
Steps<MemoryScanStart> StartMemoryScan(Context& ctx, std::string bank);

// P during a memory scan: the channel the scan rests on is passed, and noted
// so that leaving the scan takes it back.
Steps<> PassChannel(Context& ctx);

// While the memory scan rests: reads the receiver's answer to "RX" (during
// the scan, the channel it holds, with its name) into memory.heldChannel and
// memory.heldChannelName; both are emptied when no channel came.
void ReadHeldChannel(Context& ctx);

// "channel", the bank letter, the number and the name of the channel the
// memory scan rests on; nothing when the receiver did not name one.
void SpeakHeldChannel(Context& ctx);

// Once the memory scan has been left: recalls every channel passed during it
// and takes it back into the scan, in the order it was passed.
Steps<> TakeBackPassedChannels(Context& ctx);

// A receiver connected afresh: no channel passed that leaving a scan would
// take back.
void ResetMemoryScanState(Context& ctx);

// Z: every receiver bank set to hold its own 90 channels.
Steps<> CheckReceiverBanks(Context& ctx);

}  // namespace voxrig
