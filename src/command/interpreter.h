#pragma once

#include "core/context.h"

namespace voxrig {

// Takes one entry of the key queue: a key's whole work, or a separator's
// read of the receiver's answer.
void InterpretKey(Context& ctx);

// Ends the key sequence in progress with a refusal: says `prompt`, and the
// Enter that would have completed the sequence says it again and does
// nothing else (no "ok", no tuning).
void RefuseSequence(Context& ctx, const char* prompt);

// Leaves the typed frequency on the receiver's VFO A and the panel.
void TuneToTypedFrequency(Context& ctx);

}  // namespace voxrig
