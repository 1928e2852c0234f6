// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

// The poll cycle and the keys take turns on the wire to the receiver; the key
// handler asks the poll for its turn, and the poll keeps its own step.
namespace voxrig {

// A poll cycle about to send its level poll has sent nothing yet: it gives
// the wire to a key and waits for the next idle tick.
void GiveUnsentPollWay(Context& ctx);

// The next poll step sends the level poll: a cycle begins.
void BeginPollCycle(Context& ctx);

// One tick of the wait for the receiver's first answer, which holds the keys
// pressed during the start-up: true when the wait ends with this tick.
bool FirstAnswerWaitEndsNow(Context& ctx);

}  // namespace voxrig
