#include "command/enter_key.h"

#include <string>

#include "banks/bank_file.h"
#include "banks/bank_merge.h"
#include "banks/bank_operations.h"
#include "banks/bank_selection.h"
#include "banks/bank_undo.h"
#include "command/interpreter.h"
#include "command/key_codes.h"
#include "core/text_rules.h"
#include "link/command_link.h"
#include "memory/memory_scan.h"
#include "memory/receiver_read.h"
#include "memory/receiver_transfer.h"
#include "panel/display_lines.h"
#include "poll/search.h"
#include "speech/speech.h"
#include "tuning/frequency.h"

namespace voxrig {

namespace {

BoundedText* LimitBeingTyped(Context& ctx) {
  const PendingCommand pending = ctx.command.pendingCommand;
  if (pending == PendingCommand::kLowerLimit) return &ctx.tuning.searchLowerText;
  if (pending == PendingCommand::kUpperLimit) return &ctx.tuning.searchUpperText;
  if (pending == PendingCommand::kStep) return &ctx.tuning.searchStepText;
  return nullptr;
}

// The text a typed digit or point goes into, and whether it is emptied
// first; null when the character is only said.
struct TypingTarget {
  BoundedText* text = nullptr;
  int* fresh = nullptr;
};

TypingTarget TargetOfTyping(Context& ctx) {
  CommandState& command = ctx.command;
  switch (command.pendingCommand) {
    case PendingCommand::kNone:
      return {&ctx.tuning.frequencyText, &command.frequencyEntryFresh};
    case PendingCommand::kLowerLimit:
    case PendingCommand::kUpperLimit:
    case PendingCommand::kStep:
      return {LimitBeingTyped(ctx), &command.limitEntryFresh};
    case PendingCommand::kTransfer:
    case PendingCommand::kPut:
    case PendingCommand::kSort:
    case PendingCommand::kSelectBank:
    case PendingCommand::kWriteToReceiver:
    case PendingCommand::kReadReceiver:
    case PendingCommand::kDeleteBank:
    case PendingCommand::kKillChannel:
      return {&command.entryText, nullptr};
    case PendingCommand::kMemoryScan:
      return {};
  }
  return {};  // not reached: every command has its case
}

// Enter on S, E or I: with nothing typed the value is told, otherwise it is
// shown on the search line.
// The step also goes to the receiver, so its "ok" is about the receiver.
void CompleteLimit(Context& ctx, const BoundedText& value, bool sentToReceiver = false) {
  if (ctx.command.limitEntryFresh == 1) {
    ctx.tuning.frequencyDigits = value;
    SpeakFrequency(ctx);
  } else {
    ShowSearchLine(ctx);
    if (sentToReceiver) {
      SayAboutReceiver(ctx, "ok");
    } else {
      Say(ctx, "ok");
    }
  }
}

// B, O, P and T take 2 or 4 characters (4 name T's source and target). Only
// digits are taken: a point would end up in a file name.
bool IsBankArgument(const BoundedText& text) {
  return (text.size() == 2 || text.size() == 4) && HoldsOnlyDigits(text);
}

// G then Enter: the bank letter typed now, or the one left from the last G;
// "MS" alone scans the receiver's current bank. A single character left by
// another sequence names no receiver bank.
bool IsMemoryScanArgument(const BoundedText& text) {
  return text.empty() || (text.size() == 1 && keys::IsReceiverBankLetter(text[0]));
}

void RunBankOperation(Context& ctx) {
  if (ctx.command.pendingCommand == PendingCommand::kSelectBank) {
    SelectBank(ctx);
    return;
  }
  // T, P and O read and write other banks than the selected one, and U can
  // take their change back.
  const SelectionMark mark = MarkSelection(ctx);
  BeginUndoStep(ctx);
  if (ctx.command.pendingCommand == PendingCommand::kTransfer) {
    TransferBank(ctx);
  } else if (ctx.command.pendingCommand == PendingCommand::kPut) {
    PutFrequency(ctx);
  } else {
    SortBank(ctx);
  }
  EndUndoStep(ctx);
  ReturnToSelection(ctx, mark);
}

}  // namespace

void EnterCharacter(Context& ctx) {
  // A bank scan steps the receiver by itself; typing would only disturb it.
  if (BankScanRuns(ctx.link.bankScanState)) return;

  CommandState& command = ctx.command;
  const char typed =
      ctx.panel.currentKey == keys::kPoint ? '.' : static_cast<char>(ctx.panel.currentKey);
  TypingTarget target = TargetOfTyping(ctx);
  const bool emptiedFirst = target.fresh != nullptr && *target.fresh == 1;
  if (target.text != nullptr && !emptiedFirst && target.text->size() >= BoundedText::kCapacity) {
    // The text is full: the character would be lost, so the listener is told.
    Say(ctx, "inv");
    return;
  }

  Say(ctx, typed == '.' ? std::string("point") : std::string(1, typed));

  const bool receiverBankNext = command.pendingCommand == PendingCommand::kWriteToReceiver ||
                                command.pendingCommand == PendingCommand::kReadReceiver;
  if (receiverBankNext && command.entryText.size() >= 2) {
    // W and X take two digits, then the receiver bank's letter.
    RefuseSequence(ctx, "inv");
    return;
  }
  if (target.text == nullptr) return;  // G: the digit is said and dropped
  if (emptiedFirst) {
    target.text->clear();
    *target.fresh = 0;
  }
  *target.text += typed;
  if (receiverBankNext && command.entryText.size() == 2) {
    Say(ctx, command.pendingCommand == PendingCommand::kWriteToReceiver ? "torb" : "fromrb");
  }
}

void CompletePendingCommand(Context& ctx) {
  CommandState& command = ctx.command;
  ClearLowerPanel(ctx);
  // After a search log that could not be written, nothing says "ok".
  const bool searchLogKept = ctx.tuning.searchState == Search::kOff || EndSearch(ctx);
  ctx.tuning.searchState = Search::kOff;

  switch (command.pendingCommand) {
    case PendingCommand::kNone:
      command.frequencyEntryFresh = 1;
      ctx.link.resumeCountdown = 0;
      LeaveScans(ctx);
      TuneToTypedFrequency(ctx);
      if (searchLogKept) SayAboutReceiver(ctx, "ok");
      return;
    case PendingCommand::kLowerLimit:
      CompleteLimit(ctx, ctx.tuning.searchLowerText);
      break;
    case PendingCommand::kUpperLimit:
      CompleteLimit(ctx, ctx.tuning.searchUpperText);
      break;
    case PendingCommand::kStep:
      SetStep(ctx);
      CompleteLimit(ctx, ctx.tuning.searchStepText, true);
      break;
    case PendingCommand::kTransfer:
    case PendingCommand::kPut:
    case PendingCommand::kSort:
    case PendingCommand::kSelectBank:
      if (!IsBankArgument(command.entryText)) {
        Say(ctx, "inv");
        command.limitEntryFresh = 0;
        command.pendingCommand = PendingCommand::kNone;
        return;
      }
      RunBankOperation(ctx);
      break;
    case PendingCommand::kMemoryScan:
      if (!IsMemoryScanArgument(command.entryText)) {
        // The sequence stays open: a letter typed now replaces the text.
        Say(ctx, "inv");
        return;
      }
      StartMemoryScan(ctx, command.entryText);
      command.pendingCommand = PendingCommand::kNone;
      return;
    case PendingCommand::kWriteToReceiver:
      if (command.entryText.size() == 3 && HoldsOnlyDigits(command.entryText.str().substr(0, 2))) {
        const SelectionMark mark = MarkSelection(ctx);
        WriteBankToReceiver(ctx);
        ReturnToSelection(ctx, mark);
      } else {
        Say(ctx, "inv");
      }
      command.pendingCommand = PendingCommand::kNone;
      return;
    case PendingCommand::kReadReceiver: {
      const SelectionMark mark = MarkSelection(ctx);
      BeginUndoStep(ctx);
      ReadReceiverBank(ctx);
      EndUndoStep(ctx);
      ReturnToSelection(ctx, mark);
      command.pendingCommand = PendingCommand::kNone;
      return;
    }
    case PendingCommand::kDeleteBank:
      if (command.entryText.size() == 2 && HoldsOnlyDigits(command.entryText)) {
        const SelectionMark mark = MarkSelection(ctx);
        BeginUndoStep(ctx);
        const bool deleted = DeleteBankFile(ctx, command.entryText);
        EndUndoStep(ctx);
        SayWriteResult(ctx, deleted);
        ReturnToSelection(ctx, mark);
      } else {
        Say(ctx, "inv");
      }
      command.pendingCommand = PendingCommand::kNone;
      return;
    case PendingCommand::kKillChannel:
      BeginUndoStep(ctx);
      DeleteChannel(ctx);
      EndUndoStep(ctx);
      command.pendingCommand = PendingCommand::kNone;
      // The channel is only gone for good once the bank file holds that.
      SayWriteResult(ctx, ctx.banks.lastWriteOk);
      return;
  }
  command.pendingCommand = PendingCommand::kNone;
  command.limitEntryFresh = 0;
}

}  // namespace voxrig
