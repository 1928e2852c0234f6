// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Starts the scan of the selected bank at its first channel.
Steps<> StartBankScan(Context& ctx);

// Steps to the next channel up or down, round from the last to the first.
void StepBankChannel(Context& ctx, bool up);

// The bank scan hears nothing: it tunes the next channel. It steps only
// through the bank's real channels, round after the last one, and a bank
// without channels tunes nothing.
void StepBankScan(Context& ctx);

}  // namespace voxrig
