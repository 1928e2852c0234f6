// SPDX-License-Identifier: GPL-3.0-or-later
#include "braille/brlapi_key_codes.h"

#include <brlapi.h>

#include "platform/typed_character_keys.h"

namespace voxrig {

namespace {

BrailleKey Key(int code) {
  return code == 0 ? BrailleKey{} : BrailleKey{BrailleKey::Kind::kKey, code};
}

// A typed character: a letter, digit or one of the panel's punctuation keys,
// or a control character that a display's keyboard sends for a key (Enter as
// CR or LF, Backspace, Tab, Escape).
int FromCharacter(std::uint64_t c) {
  switch (c) {
    case '\r':
    case '\n':
      return 13;
    case '\b':
    case 0x7F:
      return 8;
    case '\t':
      return 9;
    case 0x1B:
      return 27;
    default:
      return VirtualKeyOfCharacter(c);
  }
}

int FromKeySymbol(std::uint64_t sym) {
  if (sym >= BRLAPI_KEY_SYM_FUNCTION && sym < BRLAPI_KEY_SYM_FUNCTION + 12) {
    const int number = static_cast<int>(sym - BRLAPI_KEY_SYM_FUNCTION) + 1;
    return number == 10 ? 0 : 111 + number;  // F10 is a system key
  }
  switch (sym) {
    case BRLAPI_KEY_SYM_BACKSPACE:
      return 8;
    case BRLAPI_KEY_SYM_TAB:
      return 9;
    case BRLAPI_KEY_SYM_LINEFEED:
      return 13;
    case BRLAPI_KEY_SYM_ESCAPE:
      return 27;
    case BRLAPI_KEY_SYM_PAGE_UP:
      return 33;
    case BRLAPI_KEY_SYM_PAGE_DOWN:
      return 34;
    case BRLAPI_KEY_SYM_END:
      return 35;
    case BRLAPI_KEY_SYM_HOME:
      return 36;
    case BRLAPI_KEY_SYM_LEFT:
      return 37;
    case BRLAPI_KEY_SYM_UP:
      return 38;
    case BRLAPI_KEY_SYM_RIGHT:
      return 39;
    case BRLAPI_KEY_SYM_DOWN:
      return 40;
    case BRLAPI_KEY_SYM_INSERT:
      return 45;
    case BRLAPI_KEY_SYM_DELETE:
      return 46;
    default:
      return 0;
  }
}

}  // namespace

BrailleKey BrailleKeyFromBrlapi(std::uint64_t code) {
  const std::uint64_t type = code & BRLAPI_KEY_TYPE_MASK;
  const std::uint64_t value = code & BRLAPI_KEY_CODE_MASK;
  if (type == BRLAPI_KEY_TYPE_CMD) {
    if (value == BRLAPI_KEY_CMD_FWINLT) return {BrailleKey::Kind::kPanLeft, 0};
    if (value == BRLAPI_KEY_CMD_FWINRT) return {BrailleKey::Kind::kPanRight, 0};
    return {};
  }
  if (type != BRLAPI_KEY_TYPE_SYM) return {};
  if ((code & (BRLAPI_KEY_FLG_CONTROL | BRLAPI_KEY_FLG_MOD1)) != 0) return {};
  // Keysyms below 0x100 are the Latin-1 characters themselves.
  return Key(value < 0x100 ? FromCharacter(value) : FromKeySymbol(value));
}

}  // namespace voxrig
