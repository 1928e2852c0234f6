// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

// The two halves of the poll cycle's level read, apart so each can be read on
// its own.
namespace voxrig {

// Redraws the level meter from a level answer and notes whether the squelch
// is closed. A poll without a level answer (none, or a late answer to
// another command) leaves the meter, signalLevel and squelchClosed as they
// were.
void UpdateMeter(Context& ctx, const Reception& reception);

// Turns squelchClosed and the scan and search states into the status line
// and the "scan" and "stop" prompts, and says which poll step follows.
PollStep DecideStatus(Context& ctx);

// The receiver's memory scan has been asked to start: the poll cycle follows
// it, and asks for the channel of its first rest.
void NoteMemoryScanStarted(Context& ctx);

// Leaves the memory scan and the bank scan, taking back every passed channel.
Steps<> LeaveScans(Context& ctx);

}  // namespace voxrig
