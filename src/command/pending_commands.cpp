// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/pending_commands.h"

#include "command/enter_key.h"
#include "speech/speech.h"

namespace voxrig {

const char* SequencePrompt(PendingCommand command) {
  switch (command) {
    case PendingCommand::kNone:
      return "";
    case PendingCommand::kLowerLimit:
      return "start";
    case PendingCommand::kUpperLimit:
      return "end";
    case PendingCommand::kStep:
      return "incr";
    case PendingCommand::kTransfer:
      return "transfer";
    case PendingCommand::kPut:
      return "put";
    case PendingCommand::kSort:
      return "sort";
    case PendingCommand::kSelectBank:
      return "bank";
    case PendingCommand::kMemoryScan:
      return "radbank";
    case PendingCommand::kWriteToReceiver:
      return "write";
    case PendingCommand::kDeleteBank:
      return "delete";
    case PendingCommand::kKillChannel:
      return "kill";
    case PendingCommand::kReadReceiver:
      return "read";
  }
  return "";  // not reached: every sequence has its case
}

void RefuseSequence(Context& ctx, const char* prompt) {
  Say(ctx, prompt);
  ctx.command.pendingCommand = PendingCommand::kNone;
  ctx.command.refusedSequence = prompt;
  // What was typed before the sequence is not left for a later Enter to tune.
  PutBackTypedFrequency(ctx);
}

void ResetCommandState(Context& ctx) {
  CommandState& command = ctx.command;
  command.pendingCommand = PendingCommand::kNone;
  command.limitEntryFresh = false;
  command.frequencyEntryFresh = true;
}

}  // namespace voxrig
