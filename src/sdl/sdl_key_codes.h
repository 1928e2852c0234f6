// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL.h>

namespace voxrig {

// The virtual-key code the panel knows for an SDL key: letters 65-90 whatever
// the shift, digits 48-57, Enter 13 (main and keypad), Space 32, Page Up/Down
// 33/34, End 35, Home 36, arrows 37-40, Insert 45, Delete 46, keypad digits
// 96-105, keypad * + - . / 106, 107, 109, 110, 111, F1-F12 112-123, full stop
// 190, comma 188, minus 189, Escape 27, Tab 9, Backspace 8. 0 for a key the
// panel has no code for; such keys are not handed to the panel.
// The keypad's digits and its decimal key (a point or, in some layouts, a
// comma) give the keypad codes while NumLock is on, and while it is off the
// keys printed beside them, as on the main block: Insert, End, Down, Page
// Down, Left, (5: nothing), Right, Home, Up, Page Up, and Delete.
int VirtualKeyFromSdl(SDL_Keycode key, Uint16 modifiers = KMOD_NUM);

// True for a key-down that the panel's keyboard rules call a system key: any
// key pressed with Alt held (but not with AltGr, which arrives with Ctrl), and
// F10. The panel never sees their key-downs, so the window manager's Alt
// shortcuts cannot also type into a key sequence. Their key-ups still reach
// it: a release changes nothing in a key sequence.
bool IsSystemKey(SDL_Keycode key, Uint16 modifiers);

}  // namespace voxrig
