// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/pending_commands.h"

#include "speech/speech.h"

namespace voxrig {

void RefuseSequence(Context& ctx, const char* prompt) {
  Say(ctx, prompt);
  ctx.command.pendingCommand = PendingCommand::kNone;
  ctx.command.refusedSequence = prompt;
}

}  // namespace voxrig
