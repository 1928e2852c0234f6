// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"
#include "core/receiver_modes.h"

namespace voxrig {

// Sets modeText, speaks the mode and sends its command; draws nothing.
void SelectMode(Context& ctx, Mode mode);
// The mode line, then the 30-point "Aerial" font.
void DrawModeLine(Context& ctx);
// Draws the mode line and reapplies the mode named by modeText.
void ApplyMode(Context& ctx);
// True when the text names one of the panel's modes exactly, as a bank file
// keeps it ("FM", "CW " with its blank, "AUT", ...).
bool IsModeName(const std::string& text);
void ToggleAttenuator(Context& ctx);
void ToggleNoiseLimiter(Context& ctx);
// A receiver connected afresh has its noise limiter off; nothing is sent.
void ResetTuningState(Context& ctx);

}  // namespace voxrig
