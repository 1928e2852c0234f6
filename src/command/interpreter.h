#pragma once

#include "core/context.h"

namespace voxrig {

// Takes one entry of the key queue: a key's whole work, or a separator's
// read of the receiver's answer.
void InterpretKey(Context& ctx);

// Leaves the typed frequency on the receiver's VFO A and the panel.
void TuneToTypedFrequency(Context& ctx);

}  // namespace voxrig
