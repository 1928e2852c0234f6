// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// A digit or the point: typed into whatever the sequence in progress (or a
// fresh frequency) takes.
void EnterCharacter(Context& ctx);

// The lower limit, upper limit or step that S, E or I is typing into; null
// for any other sequence.
BoundedText* LimitBeingTyped(Context& ctx);

// S, E or I has begun a limit or the step: the value as it stands now is
// kept, to be put back if what is typed cannot be sent to the receiver.
void RememberLimitBeforeEntry(Context& ctx);

// The limit or step being typed is left (another command key): a value
// typed that the receiver cannot take is put back; true when it was.
bool PutBackUnusableLimit(Context& ctx);

// Whether the frequency being typed is one the receiver can tune (rounded to
// its resolution); true when none is being typed.
bool TypedFrequencyIsTunable(const Context& ctx);

// The frequency being typed, if one is, is given up: the frequency line, and
// what F says, are again where the receiver is.
void PutBackTypedFrequency(Context& ctx);

// Enter: completes the sequence in progress, or with none leaves any scan and
// tunes the typed frequency. A frequency typed before the sequence began is
// not left behind for a later Enter: unless the sequence tuned the receiver
// elsewhere, the frequency line is again where the receiver is.
Steps<> CompletePendingCommand(Context& ctx);

}  // namespace voxrig
