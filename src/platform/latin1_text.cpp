// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/latin1_text.h"

namespace voxrig {

std::string Utf8FromLatin1(const std::string& text, bool blankControls) {
  std::string utf8;
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (blankControls && byte < 0x20) {
      utf8 += ' ';
    } else if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

}  // namespace voxrig
