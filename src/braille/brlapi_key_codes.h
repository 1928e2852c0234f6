// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace voxrig {

// What a key from the braille display asks of the panel: a key code (as the
// window gives it for the same key), a pan of the line, or nothing.
struct BrailleKey {
  enum class Kind { kNone, kKey, kPanLeft, kPanRight };
  Kind kind = Kind::kNone;
  int key = 0;
  friend bool operator==(const BrailleKey&, const BrailleKey&) = default;
};

// A BrlAPI key code (brlapi_keyCode_t) as the panel takes it: a typed
// character or a keyboard key (Enter, arrows, Page Up/Down, F1-F12, Delete,
// ...) becomes the panel's code for that key; the display's window keys pan
// the line; anything else (its other commands) is nothing. Keys with Alt or
// Control held are nothing, as in the window.
BrailleKey BrailleKeyFromBrlapi(std::uint64_t code);

}  // namespace voxrig
