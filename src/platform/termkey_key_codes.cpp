#include "platform/termkey_key_codes.h"

namespace voxrig {

namespace {

int FromCharacter(long c) {
  if (c >= 'a' && c <= 'z') return 65 + static_cast<int>(c - 'a');
  if (c >= 'A' && c <= 'Z') return 65 + static_cast<int>(c - 'A');
  if (c >= '0' && c <= '9') return 48 + static_cast<int>(c - '0');
  switch (c) {
    case ' ':
      return 32;
    case '.':
      return 190;
    case ',':
      return 188;
    case '-':
      return 189;
    default:
      return 0;
  }
}

int FromSymbol(TermKeySym sym) {
  if (sym >= TERMKEY_SYM_KP0 && sym <= TERMKEY_SYM_KP9) return 96 + (sym - TERMKEY_SYM_KP0);
  switch (sym) {
    case TERMKEY_SYM_BACKSPACE:
    case TERMKEY_SYM_DEL:  // most terminals send DEL for the Backspace key
      return 8;
    case TERMKEY_SYM_TAB:
      return 9;
    case TERMKEY_SYM_ENTER:
    case TERMKEY_SYM_KPENTER:
      return 13;
    case TERMKEY_SYM_ESCAPE:
      return 27;
    case TERMKEY_SYM_SPACE:
      return 32;
    case TERMKEY_SYM_PAGEUP:
      return 33;
    case TERMKEY_SYM_PAGEDOWN:
      return 34;
    case TERMKEY_SYM_END:
      return 35;
    case TERMKEY_SYM_HOME:
      return 36;
    case TERMKEY_SYM_LEFT:
      return 37;
    case TERMKEY_SYM_UP:
      return 38;
    case TERMKEY_SYM_RIGHT:
      return 39;
    case TERMKEY_SYM_DOWN:
      return 40;
    case TERMKEY_SYM_INSERT:
      return 45;
    case TERMKEY_SYM_DELETE:
      return 46;
    case TERMKEY_SYM_KPMULT:
      return 106;
    case TERMKEY_SYM_KPPLUS:
      return 107;
    case TERMKEY_SYM_KPMINUS:
      return 109;
    case TERMKEY_SYM_KPPERIOD:
      return 110;
    case TERMKEY_SYM_KPDIV:
      return 111;
    default:
      return 0;
  }
}

}  // namespace

int VirtualKeyFromTermkey(const TermKeyKey& key) {
  if ((key.modifiers & (TERMKEY_KEYMOD_ALT | TERMKEY_KEYMOD_CTRL)) != 0) return 0;
  switch (key.type) {
    case TERMKEY_TYPE_UNICODE:
      return FromCharacter(key.code.codepoint);
    case TERMKEY_TYPE_FUNCTION:
      if (key.code.number == 10) return 0;  // F10 is a system key
      return key.code.number >= 1 && key.code.number <= 12 ? 111 + key.code.number : 0;
    case TERMKEY_TYPE_KEYSYM:
      return FromSymbol(key.code.sym);
    default:
      return 0;
  }
}

bool IsCloseKey(const TermKeyKey& key) {
  return key.type == TERMKEY_TYPE_UNICODE && (key.modifiers & TERMKEY_KEYMOD_CTRL) != 0 &&
         (key.code.codepoint == 'c' || key.code.codepoint == 'd');
}

}  // namespace voxrig
