// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Takes the poll cycle's step poll.pollState and moves it to the step that
// follows; an idle cycle stays idle (the timer tick starts the next one).
void RunPollStep(Context& ctx);

// What the receiver reported by itself while a key's answer was read (where
// its scan holds, as ReportLevelChanges asked) is the poll's: kept for the
// next level answer, which carries no place.
void NoteReceptionBesideThePoll(Context& ctx, const Reception& reception);

}  // namespace voxrig
