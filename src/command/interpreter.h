// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// What a key asks of the program once its work is done.
enum class KeyOutcome {
  kHandled,  // the panel goes on
  kQuit,     // Q: the program ends
};

// Takes one entry of the key queue: a key's whole work, or a separator's
// read of the receiver's answer.
KeyOutcome InterpretKey(Context& ctx);

// True for the keys that never write to the receiver, whatever sequence is in
// progress: a typed digit or point; F, M and V, which tell what the panel
// already knows; Escape and BackSpace, which put right what is typed. Such a key need not wait for
// an exchange on the wire.
bool KeyLeavesTheWireAlone(int key);

// Leaves the typed frequency on the receiver's VFO A and the panel.
void TuneToTypedFrequency(Context& ctx);

}  // namespace voxrig
