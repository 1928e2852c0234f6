// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "core/context.h"
#include "panel/screen_lines.h"

namespace voxrig {

// The frequency line: frequencyText padded with zeros (PaddingZeros). Notes
// that the line was drawn, for the keyboard's limit entry.
void ShowFrequency(Context& ctx);
// The zeros that bring a frequency text to eight characters, four at most:
// 3 for "145.5", none for "145.5125".
std::size_t PaddingZeros(const std::string& frequency);
// The search line: lower limit, step, STOP/CONT, upper limit.
void ShowSearchLine(Context& ctx);
// Blanks the lower panel in 70-point text.
void ClearLowerPanel(Context& ctx);

}  // namespace voxrig
