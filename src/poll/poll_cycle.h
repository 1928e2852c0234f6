// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Takes the poll cycle's step poll.pollState and moves it to the step that
// follows; an idle cycle stays idle (the timer tick starts the next one).
void RunPollStep(Context& ctx);

}  // namespace voxrig
