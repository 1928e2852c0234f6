#pragma once

#include "core/context.h"

namespace voxrig {

// Starts the scan of the selected bank at its first channel.
void StartBankScan(Context& ctx);

// Steps to the next channel up or down, round from the last to the first.
void StepBankChannel(Context& ctx, bool up);

}  // namespace voxrig
