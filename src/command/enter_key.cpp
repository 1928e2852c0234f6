// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/enter_key.h"

#include <string>

#include "banks/bank_file.h"
#include "banks/bank_merge.h"
#include "banks/bank_names.h"
#include "banks/bank_operations.h"
#include "banks/bank_selection.h"
#include "banks/bank_undo.h"
#include "command/interpreter.h"
#include "command/key_codes.h"
#include "command/pending_commands.h"
#include "link/command_link.h"
#include "link/receiver_commands.h"
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

// ---- What Enter does for each sequence.

// Enter with no sequence: leaves any scan and tunes the typed frequency.
// After a search log that could not be written, nothing says "ok".
void TuneAtEnter(Context& ctx, bool searchLogKept) {
  ctx.command.frequencyEntryFresh = 1;
  ctx.link.resumeCountdown = 0;
  LeaveScans(ctx);
  TuneToTypedFrequency(ctx);
  if (searchLogKept) SayAboutReceiver(ctx, "ok");
}

// Enter on S, E or I: with nothing typed the value is told, otherwise it is
// shown on the search line.
// The step also goes to the receiver, so its "ok" is about the receiver.
void CompleteLimit(Context& ctx, const BoundedText& value, bool sentToReceiver = false) {
  if (ctx.command.limitEntryFresh == 1) {
    SpeakFrequency(ctx, value);
  } else {
    ShowSearchLine(ctx);
    if (sentToReceiver) {
      SayAboutReceiver(ctx, "ok");
    } else {
      Say(ctx, "ok");
    }
  }
}

void CompleteStep(Context& ctx) {
  SetStep(ctx);
  CompleteLimit(ctx, ctx.tuning.searchStepText, true);
}

// A frequency the receiver can tune: digits with at most one point, from 0.1
// to 2040 MHz (decimals past the hertz are rounded, as the receiver does).
bool IsTunableFrequency(const std::string& text) {
  return receiver::StorableChannelFrequency(text).has_value();
}

// What was typed into the value since S, E or I can go to the receiver (or
// nothing was typed).
bool TypedLimitIsUsable(Context& ctx) {
  const BoundedText* value = LimitBeingTyped(ctx);
  if (value == nullptr || ctx.command.limitEntryFresh == 1) return true;
  return ctx.command.pendingCommand == PendingCommand::kStep
             ? receiver::IsReceiverStep(value->str())
             : IsTunableFrequency(value->str());
}

// Enter on a typed frequency the receiver cannot tune ("3000", "1.4.5"):
// refused, and the frequency shown is the one the receiver is on.
bool RefusesTypedFrequency(Context& ctx) {
  if (ctx.command.frequencyEntryFresh == 1 || ctx.tuning.frequencyText.empty() ||
      IsTunableFrequency(ctx.tuning.frequencyText.str())) {
    return false;
  }
  ctx.tuning.frequencyText = ctx.tuning.tunedText;
  ctx.tuning.frequencyDigits = ctx.tuning.tunedText;
  ctx.command.frequencyEntryFresh = 1;
  ShowFrequency(ctx);
  Say(ctx, "inv");
  return true;
}

void CompleteLimitAtEnter(Context& ctx, PendingCommand pending) {
  if (pending == PendingCommand::kStep) {
    CompleteStep(ctx);
  } else {
    CompleteLimit(ctx, *LimitBeingTyped(ctx));
  }
}

// B, O, P and T take 2 or 4 digits (4 name T's source and target); only
// digits, since a point would end up in a file name. T, P and O read and
// write other banks than the selected one, and U can take their change back.
void RunBankOperation(Context& ctx, PendingCommand command, const std::string& argument) {
  if (!banks::IsBankArgument(argument)) {
    Say(ctx, "inv");
    return;
  }
  if (command == PendingCommand::kSelectBank) {
    SelectBank(ctx, argument);
    return;
  }
  SelectionGuard selection(ctx);
  UndoStepGuard step(ctx);
  if (command == PendingCommand::kTransfer) {
    TransferBank(ctx, argument);
  } else if (command == PendingCommand::kPut) {
    PutFrequency(ctx, argument);
  } else {
    SortBank(ctx, argument);
  }
}

// G then Enter: the bank letter typed now, or the one left from the last G;
// "MS" alone scans the receiver's current bank. A single character left by
// another sequence names no receiver bank. True when the scan started; with
// an argument refused the sequence stays open, and a letter typed now
// replaces the text.
bool StartMemoryScanAtEnter(Context& ctx, const std::string& argument) {
  const bool namesReceiverBank =
      argument.empty() || (argument.size() == 1 && keys::IsReceiverBankLetter(argument[0]));
  if (!namesReceiverBank) {
    Say(ctx, "inv");
    return false;
  }
  StartMemoryScan(ctx, argument);
  return true;
}

// W then Enter: the bank file into the receiver bank.
void WriteToReceiverAtEnter(Context& ctx, const std::string& argument) {
  if (!banks::IsReceiverTransferArgument(argument)) {
    Say(ctx, "inv");
    return;
  }
  SelectionGuard selection(ctx);
  WriteBankToReceiver(ctx, argument);
}

// X then Enter: the receiver bank into the bank file; a file that exists is
// replaced only when the same sequence comes again at once.
void ReadReceiverAtEnter(Context& ctx, const std::string& argument) {
  CommandState& command = ctx.command;
  const bool replaceConfirmed = command.replaceWarnedEntry == argument;
  SelectionGuard selection(ctx);
  UndoStepGuard step(ctx);
  switch (ReadReceiverBank(ctx, argument, replaceConfirmed)) {
    case ReadBankOutcome::kFileExists:
      command.replaceWarnedEntry = argument;
      break;
    case ReadBankOutcome::kRead:
      command.replaceWarnedEntry.clear();
      break;
    case ReadBankOutcome::kNotRead:
      break;
  }
}

// D then Enter: the bank file goes; its result is told before the listener
// hears whether the selected bank went with it.
void DeleteBankAtEnter(Context& ctx, const std::string& argument) {
  if (!banks::IsBankNumber(argument)) {
    Say(ctx, "inv");
    return;
  }
  SelectionGuard selection(ctx);
  DeleteBankFile(ctx, argument);
}

// K then Enter: the channel is only gone for good once the bank file holds
// that.
void KillChannelAtEnter(Context& ctx) {
  {
    UndoStepGuard step(ctx);
    DeleteChannel(ctx);
  }
  SayWriteResult(ctx, ctx.banks.lastWriteOk);
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

void RememberLimitBeforeEntry(Context& ctx) {
  const BoundedText* value = LimitBeingTyped(ctx);
  if (value != nullptr) ctx.command.limitBeforeEntry = *value;
}

bool PutBackUnusableLimit(Context& ctx) {
  if (TypedLimitIsUsable(ctx)) return false;
  *LimitBeingTyped(ctx) = ctx.command.limitBeforeEntry;
  return true;
}

void CompletePendingCommand(Context& ctx) {
  CommandState& command = ctx.command;
  ClearLowerPanel(ctx);
  // After a search log that could not be written, nothing says "ok".
  const bool searchLogKept = ctx.tuning.searchState == Search::kOff || EndSearch(ctx);
  ctx.tuning.searchState = Search::kOff;
  const std::string argument = command.entryText;

  switch (command.pendingCommand) {
    case PendingCommand::kNone:
      if (!RefusesTypedFrequency(ctx)) TuneAtEnter(ctx, searchLogKept);
      return;
    case PendingCommand::kLowerLimit:
    case PendingCommand::kUpperLimit:
    case PendingCommand::kStep:
      if (PutBackUnusableLimit(ctx)) {
        // Nothing is sent or drawn: the value is as it was before S, E or I.
        Say(ctx, "inv");
      } else {
        CompleteLimitAtEnter(ctx, command.pendingCommand);
      }
      break;
    case PendingCommand::kTransfer:
    case PendingCommand::kPut:
    case PendingCommand::kSort:
    case PendingCommand::kSelectBank:
      RunBankOperation(ctx, command.pendingCommand, argument);
      break;
    case PendingCommand::kMemoryScan:
      if (StartMemoryScanAtEnter(ctx, argument)) command.pendingCommand = PendingCommand::kNone;
      return;
    case PendingCommand::kWriteToReceiver:
      WriteToReceiverAtEnter(ctx, argument);
      command.pendingCommand = PendingCommand::kNone;
      return;
    case PendingCommand::kReadReceiver:
      ReadReceiverAtEnter(ctx, argument);
      command.pendingCommand = PendingCommand::kNone;
      return;
    case PendingCommand::kDeleteBank:
      DeleteBankAtEnter(ctx, argument);
      command.pendingCommand = PendingCommand::kNone;
      return;
    case PendingCommand::kKillChannel:
      KillChannelAtEnter(ctx);
      command.pendingCommand = PendingCommand::kNone;
      return;
  }
  command.pendingCommand = PendingCommand::kNone;
  command.limitEntryFresh = 0;
}

}  // namespace voxrig
