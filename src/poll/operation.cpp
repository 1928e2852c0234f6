// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/operation.h"

#include <algorithm>
#include <cmath>

namespace voxrig {

namespace {

// After a step: the operation has ended, or it waits and the window is asked
// to wake the loop when the wait is over.
bool AfterStep(Context& ctx) {
  PollState& poll = ctx.poll;
  while (poll.operation.Done()) {
    // A failure inside the operation is not swallowed here.
    Steps<> ended = std::move(poll.operation);
    ended.Result();
    if (poll.operationsWaiting.empty()) return true;
    poll.operation = std::move(poll.operationsWaiting.front());
    poll.operationsWaiting.pop_front();
    poll.operation.Start();
  }
  const int waitMs = poll.operation.WaitMs();
  poll.operationDueMs = ctx.platform.stopwatch->NowMs() + waitMs;
  if (ctx.platform.window != nullptr) ctx.platform.window->WakeAfter(waitMs);
  return false;
}

}  // namespace

void StartOperation(Context& ctx, Steps<> steps) {
  PollState& poll = ctx.poll;
  if (!poll.operation.Done()) {
    poll.operationsWaiting.push_back(std::move(steps));
    return;
  }
  poll.operation = std::move(steps);
  poll.operation.Start();
  AfterStep(ctx);
}

bool OperationRunning(const Context& ctx) {
  return !ctx.poll.operation.Done();
}

int MsUntilOperationStep(Context& ctx) {
  const double left = ctx.poll.operationDueMs - ctx.platform.stopwatch->NowMs();
  return std::max(0, static_cast<int>(std::ceil(left)));
}

bool RunDueOperationStep(Context& ctx) {
  if (!OperationRunning(ctx)) return false;
  if (MsUntilOperationStep(ctx) > 0) {
    if (ctx.platform.window != nullptr) ctx.platform.window->WakeAfter(MsUntilOperationStep(ctx));
    return false;
  }
  ctx.poll.operation.Resume();
  return AfterStep(ctx);
}

}  // namespace voxrig
