// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Takes the poll cycle's step poll.pollState and moves it to the step that
// follows; an idle cycle stays idle (the timer tick starts the next one).
void RunPollStep(Context& ctx);

// Whether the cycle waits for a level answer that may be read as soon as it
// has come rather than on the next tick: outside the receiver's scans and
// searches, whose steps keep the tick's pace.
bool PollReadsAnswerOnArrival(const Context& ctx);
// Reads the level answer that has come, as its tick would; that tick then
// only keeps the cycle's pace (TakeTickOfAnswerReadAhead), so the level poll
// still goes out every 300 ms.
void ReadPollAnswerOnArrival(Context& ctx);
// True for the first tick after an answer read on arrival, which has no step
// of its own to run.
bool TakeTickOfAnswerReadAhead(Context& ctx);

// What the receiver reported by itself while a key's answer was read (where
// its scan holds, as ReportLevelChanges asked) is the poll's: kept for the
// next level answer, which carries no place.
void NoteReceptionBesideThePoll(Context& ctx, const Reception& reception);

}  // namespace voxrig
