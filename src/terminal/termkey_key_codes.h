// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <termkey.h>

namespace voxrig {

// The virtual-key code the panel knows for a key decoded from the terminal,
// the same as the window gives for that key (see VirtualKeyFromSdl): letters
// 65-90 whatever the shift, digits 48-57, Enter 13, Space 32, Page Up/Down
// 33/34, End 35, Home 36, arrows 37-40, Insert 45, Delete 46, keypad digits
// 96-105, keypad * + - . / 106, 107, 109, 110, 111, F1-F12 112-123, full stop
// 190, comma 188, minus 189, Escape 27, Tab 9, Backspace 8 (DEL, or ^H from a
// terminal that sends that for it). 0 for a key the
// panel has no code for, and for a key that the window calls a system key
// (pressed with Alt, or F10): the panel never sees those.
int VirtualKeyFromTermkey(const TermKeyKey& key);

// Ctrl+C and Ctrl+D, which a terminal program is expected to end on: the
// panel takes them as the Q key, says "quit" and shuts down in order.
bool IsCloseKey(const TermKeyKey& key);

}  // namespace voxrig
