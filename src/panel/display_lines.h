// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"
#include "panel/screen_lines.h"

namespace voxrig {

// The frequency line: frequencyText padded from frequencyDigits. Notes that
// the line was drawn, for the keyboard's limit entry.
void ShowFrequency(Context& ctx);
// The search line: lower limit, step, STOP/CONT, upper limit.
void ShowSearchLine(Context& ctx);
// Blanks the lower panel in 70-point text.
void ClearLowerPanel(Context& ctx);

}  // namespace voxrig
