// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdl/sdl_key_codes.h"

namespace voxrig {

namespace {

// The keys with a code of their own, as the window reports them with a
// key-down: SDL's key and the panel's virtual-key code. The keypad's point is
// looked up apart: it depends on NumLock.
struct KeyCode {
  SDL_Keycode sdl;
  int virtualKey;
};
constexpr KeyCode kKeyCodes[] = {
    {SDLK_BACKSPACE, 8},   {SDLK_TAB, 9},           {SDLK_RETURN, 13},   {SDLK_RETURN2, 13},
    {SDLK_KP_ENTER, 13},   {SDLK_ESCAPE, 27},       {SDLK_SPACE, 32},    {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},   {SDLK_END, 35},          {SDLK_HOME, 36},     {SDLK_LEFT, 37},
    {SDLK_UP, 38},         {SDLK_RIGHT, 39},        {SDLK_DOWN, 40},     {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},     {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107}, {SDLK_KP_MINUS, 109},
    {SDLK_KP_DIVIDE, 111}, {SDLK_COMMA, 188},       {SDLK_MINUS, 189},   {SDLK_PERIOD, 190},
};

// The keypad's digit keys with NumLock off, in the order 0..9: the keys
// printed on them.
constexpr int kKeypadWithoutNumLock[10] = {45, 35, 40, 34, 37, 0, 39, 36, 38, 33};

}  // namespace

int VirtualKeyFromSdl(SDL_Keycode key, Uint16 modifiers) {
  // SDL reports letters as their lower-case character, whatever the shift.
  if (key >= SDLK_a && key <= SDLK_z) return 65 + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return 48 + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
  const bool numLock = (modifiers & KMOD_NUM) != 0;
  // SDL numbers the keypad digits 1..9 then 0; the panel numbers them 0..9.
  int keypadDigit = -1;
  if (key == SDLK_KP_0) keypadDigit = 0;
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) keypadDigit = 1 + static_cast<int>(key - SDLK_KP_1);
  if (keypadDigit >= 0) return numLock ? 96 + keypadDigit : kKeypadWithoutNumLock[keypadDigit];
  if (key == SDLK_KP_PERIOD || key == SDLK_KP_COMMA || key == SDLK_KP_DECIMAL) {
    return numLock ? 110 : 46;
  }
  for (const KeyCode& code : kKeyCodes) {
    if (code.sdl == key) return code.virtualKey;
  }
  return 0;
}

bool IsSystemKey(SDL_Keycode key, Uint16 modifiers) {
  if (key == SDLK_F10) return true;
  return (modifiers & KMOD_ALT) != 0 && (modifiers & KMOD_CTRL) == 0;
}

}  // namespace voxrig
