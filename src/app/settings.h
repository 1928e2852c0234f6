// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Reads VOXRIG.CFG and gives each setting to the part of the panel that owns
// it: the port, speed and radio texts and the voice and debug switches to
// the program's own settings, a voice switched off emptying the prompt
// prefix (so every switchable prompt falls silent), and NAMES=0 to the speech,
// which keeps channel names silent (the file can only switch names off:
// --no-names has its say too). False, changing nothing, when the file cannot
// be read.
bool TakeConfiguration(Context& ctx);

}  // namespace voxrig
