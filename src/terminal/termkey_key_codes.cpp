// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/termkey_key_codes.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/typed_character_keys.h"

namespace voxrig {

namespace {

// The panel's code of every key the terminal names by a symbol, but for the
// keypad digits; any other key has none. DEL is Backspace too: most terminals
// send it for that key.
struct SymbolCode {
  TermKeySym sym;
  int panel;
};
constexpr std::array<SymbolCode, 22> kSymbolKeys{{
    {TERMKEY_SYM_BACKSPACE, 8}, {TERMKEY_SYM_DEL, 8},       {TERMKEY_SYM_TAB, 9},
    {TERMKEY_SYM_ENTER, 13},    {TERMKEY_SYM_KPENTER, 13},  {TERMKEY_SYM_ESCAPE, 27},
    {TERMKEY_SYM_SPACE, 32},    {TERMKEY_SYM_PAGEUP, 33},   {TERMKEY_SYM_PAGEDOWN, 34},
    {TERMKEY_SYM_END, 35},      {TERMKEY_SYM_HOME, 36},     {TERMKEY_SYM_LEFT, 37},
    {TERMKEY_SYM_UP, 38},       {TERMKEY_SYM_RIGHT, 39},    {TERMKEY_SYM_DOWN, 40},
    {TERMKEY_SYM_INSERT, 45},   {TERMKEY_SYM_DELETE, 46},   {TERMKEY_SYM_KPMULT, 106},
    {TERMKEY_SYM_KPPLUS, 107},  {TERMKEY_SYM_KPMINUS, 109}, {TERMKEY_SYM_KPPERIOD, 110},
    {TERMKEY_SYM_KPDIV, 111},
}};

int FromSymbol(TermKeySym sym) {
  if (sym >= TERMKEY_SYM_KP0 && sym <= TERMKEY_SYM_KP9) return 96 + (sym - TERMKEY_SYM_KP0);
  const auto row = std::find_if(kSymbolKeys.begin(), kSymbolKeys.end(),
                                [sym](const SymbolCode& known) { return known.sym == sym; });
  return row == kSymbolKeys.end() ? 0 : row->panel;
}

}  // namespace

int VirtualKeyFromTermkey(const TermKeyKey& key) {
  // A terminal set to send ^H for BackSpace (stty erase ^H) gives it as Ctrl+H.
  if (key.type == TERMKEY_TYPE_UNICODE && key.code.codepoint == 'h' &&
      key.modifiers == TERMKEY_KEYMOD_CTRL) {
    return 8;
  }
  if ((key.modifiers & (TERMKEY_KEYMOD_ALT | TERMKEY_KEYMOD_CTRL)) != 0) return 0;
  // Mouse reports, cursor positions and the like are no keys.
  if (key.type == TERMKEY_TYPE_UNICODE)
    return VirtualKeyOfCharacter(static_cast<std::uint64_t>(key.code.codepoint));
  if (key.type == TERMKEY_TYPE_KEYSYM) return FromSymbol(key.code.sym);
  if (key.type != TERMKEY_TYPE_FUNCTION) return 0;
  if (key.code.number == 10) return 0;  // F10 is a system key
  return key.code.number >= 1 && key.code.number <= 12 ? 111 + key.code.number : 0;
}

bool IsCloseKey(const TermKeyKey& key) {
  return key.type == TERMKEY_TYPE_UNICODE && (key.modifiers & TERMKEY_KEYMOD_CTRL) != 0 &&
         (key.code.codepoint == 'c' || key.code.codepoint == 'd');
}

}  // namespace voxrig
