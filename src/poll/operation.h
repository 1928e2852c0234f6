// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// The long operations the loop runs one step at a time. While one runs it
// holds the wire: no poll cycle starts, keys wait in the queue, and network
// clients are answered but their sets refused.

// Starts an operation: it runs at once up to its first wait, and the window
// is asked to wake the loop when that wait is over. A new operation never
// replaces one that runs (the callers wait for the wire first): one asked
// for meanwhile waits, and starts once the one before has ended.
void StartOperation(Context& ctx, Steps<> steps);
bool OperationRunning(const Context& ctx);
// Resumes the operation if its wait is over (an early wake-up resumes
// nothing and asks again); true when the operation, and any that waited
// for it, has ended by this call.
bool RunDueOperationStep(Context& ctx);
// Milliseconds until the operation's wait is over (0 when it is due).
int MsUntilOperationStep(Context& ctx);

}  // namespace voxrig
