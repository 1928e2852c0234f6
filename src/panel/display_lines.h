#pragma once

#include "core/context.h"

namespace voxrig {

// The panel's fonts. "Ariel" and "Aerial" are the faces the panel has always
// asked for; the display resolves them to Arial or its metric twin.
Font ArielBold(int points);
Font AerialBold(int points);

// The frequency line at 300,150: frequencyText padded from frequencyDigits.
void ShowFrequency(Context& ctx);
// The search line at y 250: lower limit, step, STOP/CONT, upper limit.
void ShowSearchLine(Context& ctx);
// Blanks the lower panel in 70-point text.
void ClearLowerPanel(Context& ctx);

}  // namespace voxrig
