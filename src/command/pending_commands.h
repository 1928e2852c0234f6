// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

// The key sequence in progress (the sequences themselves are PendingCommand,
// in core/panel_states.h).
namespace voxrig {

// Ends the key sequence in progress with a refusal: says `prompt`, and the
// Enter that would have completed the sequence says it again and does
// nothing else (no "ok", no tuning).
void RefuseSequence(Context& ctx, const char* prompt);

}  // namespace voxrig
