#include "platform/sdl_key_codes.h"

namespace voxrig {

namespace {

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
  switch (key) {
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_ESCAPE:
      return 27;
    case SDLK_SPACE:
      return 32;
    case SDLK_PAGEUP:
      return 33;
    case SDLK_PAGEDOWN:
      return 34;
    case SDLK_END:
      return 35;
    case SDLK_HOME:
      return 36;
    case SDLK_LEFT:
      return 37;
    case SDLK_UP:
      return 38;
    case SDLK_RIGHT:
      return 39;
    case SDLK_DOWN:
      return 40;
    case SDLK_INSERT:
      return 45;
    case SDLK_DELETE:
      return 46;
    case SDLK_KP_MULTIPLY:
      return 106;
    case SDLK_KP_PLUS:
      return 107;
    case SDLK_KP_MINUS:
      return 109;
    case SDLK_KP_PERIOD:
    case SDLK_KP_COMMA:
    case SDLK_KP_DECIMAL:
      return numLock ? 110 : 46;
    case SDLK_KP_DIVIDE:
      return 111;
    case SDLK_COMMA:
      return 188;
    case SDLK_MINUS:
      return 189;
    case SDLK_PERIOD:
      return 190;
    default:
      return 0;
  }
}

bool IsSystemKey(SDL_Keycode key, Uint16 modifiers) {
  if (key == SDLK_F10) return true;
  return (modifiers & KMOD_ALT) != 0 && (modifiers & KMOD_CTRL) == 0;
}

}  // namespace voxrig
