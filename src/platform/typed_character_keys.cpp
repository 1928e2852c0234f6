// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/typed_character_keys.h"

namespace voxrig {

int VirtualKeyOfCharacter(std::uint64_t c) {
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

}  // namespace voxrig
