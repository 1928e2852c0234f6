// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace voxrig {

// Panel text is 8-bit Latin-1; window titles and terminals take UTF-8. With
// `blankControls`, a control character becomes a blank, so that it cannot
// move a terminal's cursor.
std::string Utf8FromLatin1(const std::string& text, bool blankControls = false);

}  // namespace voxrig
