// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/wire_turns.h"

namespace voxrig {

void GiveUnsentPollWay(Context& ctx) {
  if (ctx.poll.pollState == PollStep::kSendLevelPoll) ctx.poll.pollState = PollStep::kIdle;
}

void BeginPollCycle(Context& ctx) {
  ctx.poll.pollState = PollStep::kSendLevelPoll;
}

bool FirstAnswerWaitEndsNow(Context& ctx) {
  if (ctx.poll.firstAnswerTicks <= 0) return false;
  return --ctx.poll.firstAnswerTicks == 0;
}

}  // namespace voxrig
