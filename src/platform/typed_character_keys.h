// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace voxrig {

// The window's virtual-key code for a character typed on a keyboard that
// sends characters rather than keys (a terminal, a braille display): letters
// in either case as their capital, digits, the blank and the panel's
// punctuation keys. 0 for any other character: it is no key of the panel.
int VirtualKeyOfCharacter(std::uint64_t c);

}  // namespace voxrig
