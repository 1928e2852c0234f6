#include "platform/sdl_key_codes.h"

#include <algorithm>
#include <array>

namespace voxrig {

namespace {

// The panel's code of every key SDL names that is not a letter, a digit or a
// function key; any other key has none.
struct KeyCode {
  SDL_Keycode sdl;
  int panel;
};
constexpr std::array<KeyCode, 25> kOtherKeys{{
    {SDLK_BACKSPACE, 8},   {SDLK_TAB, 9},           {SDLK_RETURN, 13},   {SDLK_RETURN2, 13},
    {SDLK_KP_ENTER, 13},   {SDLK_ESCAPE, 27},       {SDLK_SPACE, 32},    {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},   {SDLK_END, 35},          {SDLK_HOME, 36},     {SDLK_LEFT, 37},
    {SDLK_UP, 38},         {SDLK_RIGHT, 39},        {SDLK_DOWN, 40},     {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},     {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107}, {SDLK_KP_MINUS, 109},
    {SDLK_KP_PERIOD, 110}, {SDLK_KP_DIVIDE, 111},   {SDLK_COMMA, 188},   {SDLK_MINUS, 189},
    {SDLK_PERIOD, 190},
}};

}  // namespace

int VirtualKeyFromSdl(SDL_Keycode key) {
  // SDL reports letters as their lower-case character, whatever the shift.
  if (key >= SDLK_a && key <= SDLK_z) return 65 + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return 48 + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
  // SDL numbers the keypad digits 1..9 then 0; the panel numbers them 0..9.
  if (key == SDLK_KP_0) return 96;
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + (key - SDLK_KP_1);
  const auto row = std::find_if(kOtherKeys.begin(), kOtherKeys.end(),
                                [key](const KeyCode& known) { return known.sdl == key; });
  return row == kOtherKeys.end() ? 0 : row->panel;
}

bool IsSystemKey(SDL_Keycode key, Uint16 modifiers) {
  if (key == SDLK_F10) return true;
  return (modifiers & KMOD_ALT) != 0 && (modifiers & KMOD_CTRL) == 0;
}

}  // namespace voxrig
