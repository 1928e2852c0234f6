// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

// What the listener is typing, as the key echo area shows it: the command
// key of the sequence in progress with what has been typed for it ("B 03",
// "W 01A", "S 145.5"), or the frequency being typed ("145.51"); empty when
// nothing is being typed.
std::string EntryText(const Context& ctx);

// Draws the entry in the key echo area when it has changed since it was last
// drawn (a finished entry is blanked), so the window, the terminal and the
// braille line show the typing while it goes on.
void ShowEntryLine(Context& ctx);

}  // namespace voxrig
