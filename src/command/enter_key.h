// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// A digit or the point: typed into whatever the sequence in progress (or a
// fresh frequency) takes.
void EnterCharacter(Context& ctx);

// Enter: completes the sequence in progress, or with none leaves any scan and
// tunes the typed frequency.
void CompletePendingCommand(Context& ctx);

}  // namespace voxrig
