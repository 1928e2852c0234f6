// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

// Escape and BackSpace: the keys that put right what is being typed. Neither
// ever reaches the receiver.
namespace voxrig {

// Escape: the key sequence in progress, with all typed into it, or a
// frequency typed and not yet entered, is abandoned as if never begun (a
// limit or step being typed keeps the value it had), and the listener hears
// "cancelled" (also when nothing was in progress, so the key is never
// silent).
void CancelEntry(Context& ctx);

// BackSpace: the last character typed is taken back and what remains is
// read out as it was typed. A frequency with nothing left is abandoned
// ("cancelled"); a sequence with nothing left says its own prompt again; a
// sequence with nothing typed yet is itself taken back ("cancelled"). With
// nothing typed at all there is nothing to take back: "inv".
void TakeBackCharacter(Context& ctx);

}  // namespace voxrig
