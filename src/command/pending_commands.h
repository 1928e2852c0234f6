// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

// The key sequence in progress (the sequences themselves are PendingCommand,
// in core/panel_states.h).
namespace voxrig {

// The prompt a key sequence is begun with ("transfer" for T): said when its
// key is pressed, and again when BackSpace has taken back all that was typed
// into it. Empty for no sequence.
const char* SequencePrompt(PendingCommand command);

// Ends the key sequence in progress with a refusal: says `prompt`, and the
// Enter that would have completed the sequence says it again and does
// nothing else (no "ok", no tuning). A frequency typed before the sequence
// began is given up with it.
void RefuseSequence(Context& ctx, const char* prompt);

// A receiver connected afresh: no key sequence in progress, and the next
// digit begins a frequency.
void ResetCommandState(Context& ctx);

}  // namespace voxrig
