// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/correction_keys.h"

#include "command/enter_key.h"
#include "command/pending_commands.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// What the listener has typed and BackSpace can take back from: the
// frequency, a limit or step, or a sequence's argument. Null when nothing
// has been typed since the sequence (or the frequency) began.
BoundedText* TextBeingTyped(Context& ctx) {
  CommandState& command = ctx.command;
  switch (command.pendingCommand) {
    case PendingCommand::kNone:
      return !command.frequencyEntryFresh ? &ctx.tuning.frequencyText : nullptr;
    case PendingCommand::kLowerLimit:
    case PendingCommand::kUpperLimit:
    case PendingCommand::kStep:
      return !command.limitEntryFresh ? LimitBeingTyped(ctx) : nullptr;
    case PendingCommand::kTransfer:
    case PendingCommand::kPut:
    case PendingCommand::kSort:
    case PendingCommand::kSelectBank:
    case PendingCommand::kMemoryScan:
    case PendingCommand::kWriteToReceiver:
    case PendingCommand::kDeleteBank:
    case PendingCommand::kKillChannel:
    case PendingCommand::kReadReceiver:
      return &command.entryText;
  }
  return nullptr;  // not reached: every sequence has its case
}

// The sequence and all typed into it are gone; the values it would have
// changed are as they were before it.
void AbandonSequence(Context& ctx) {
  CommandState& command = ctx.command;
  const PendingCommand pending = command.pendingCommand;
  if (BoundedText* limit = LimitBeingTyped(ctx)) *limit = command.limitBeforeEntry;
  // G keeps the bank it names for the next G; every other argument is gone.
  if (pending != PendingCommand::kNone && pending != PendingCommand::kMemoryScan) {
    command.entryText.clear();
  }
  command.pendingCommand = PendingCommand::kNone;
  command.limitEntryFresh = false;
}

}  // namespace

void CancelEntry(Context& ctx) {
  AbandonSequence(ctx);
  PutBackTypedFrequency(ctx);
  Say(ctx, "cancelled");
}

void TakeBackCharacter(Context& ctx) {
  CommandState& command = ctx.command;
  const PendingCommand pending = command.pendingCommand;
  BoundedText* typed = TextBeingTyped(ctx);
  if (typed == nullptr || typed->empty()) {
    // Nothing typed since the sequence's key: that key is taken back.
    if (pending == PendingCommand::kNone) {
      Say(ctx, "inv");
    } else {
      CancelEntry(ctx);
    }
    return;
  }
  std::string remaining = *typed;
  remaining.pop_back();
  *typed = remaining;
  if (!remaining.empty()) {
    SpeakTyped(ctx, remaining);
  } else if (pending == PendingCommand::kNone) {
    CancelEntry(ctx);
  } else {
    // The sequence is as it was when its key was pressed: a limit or step
    // has its old value again, and Enter alone would tell it.
    if (BoundedText* limit = LimitBeingTyped(ctx)) {
      *limit = command.limitBeforeEntry;
      command.limitEntryFresh = true;
    }
    Say(ctx, SequencePrompt(pending));
  }
}

}  // namespace voxrig
