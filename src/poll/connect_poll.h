#pragma once

#include "core/context.h"

namespace voxrig {

// Opens the port and puts the receiver into its known state.
void ConnectReceiver(Context& ctx);
// Carries out poll step link.pollState (1 to 6).
void RunPollStep(Context& ctx);

}  // namespace voxrig
