// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/enter_key.h"

#include <string>

#include "banks/bank_file.h"
#include "banks/bank_merge.h"
#include "banks/bank_names.h"
#include "banks/bank_operations.h"
#include "banks/bank_undo.h"
#include "command/interpreter.h"
#include "command/key_codes.h"
#include "command/pending_commands.h"
#include "link/radio_capabilities.h"
#include "memory/memory_scan.h"
#include "memory/receiver_read.h"
#include "memory/receiver_transfer.h"
#include "panel/display_lines.h"
#include "poll/poll_status.h"
#include "poll/scan_keys.h"
#include "poll/search.h"
#include "poll/selected_bank.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/radio_abilities.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// The text a typed digit or point goes into, and whether it is emptied
// first; null when the character is only said.
struct TypingTarget {
  BoundedText* text = nullptr;
  bool* fresh = nullptr;
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
// After a search log that could not be written, nothing says "ok"; a
// receiver found gone by the tuning was never tuned, and the frequency line
// stays where it was ("rnc" has been said).
Steps<> TuneAtEnter(Context& ctx, bool searchLogKept) {
  ForgetSearchRest(ctx);
  co_await LeaveScans(ctx);
  TuneToTypedFrequency(ctx);
  if (ctx.link.receiverLost || ctx.tuning.radioRefused) {
    // The radio never took it ("rnc" has been said, or the refusal is).
    PutBackTypedFrequency(ctx);
    if (!ctx.link.receiverLost) Say(ctx, "inv");
    co_return;
  }
  ctx.command.frequencyEntryFresh = true;
  if (RadioCallsOutstanding(ctx)) {
    // A radio driven through Hamlib: "ok" once it has tuned. Digits typed
    // meanwhile are heard, and begin the next frequency.
    ctx.command.keysBesideWork = true;
    const RadioResult late = co_await UntilRadioHasAnswered(ctx);
    if (late == RadioResult::kLineGone) co_return;  // "rnc" has been said
  }
  if (searchLogKept) SayAboutReceiver(ctx, "ok");
}

// Enter on S, E or I: with nothing typed the value is told, otherwise it is
// shown on the search line.
// The step also goes to the receiver, so its "ok" is about the receiver.
void CompleteLimit(Context& ctx, const BoundedText& value, bool sentToReceiver = false) {
  if (ctx.command.limitEntryFresh) {
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

// I's Enter: the step goes to the receiver; a receiver found gone by it
// keeps the step it had.
void CompleteStep(Context& ctx) {
  SetStep(ctx);
  if (ctx.link.receiverLost) {
    ctx.tuning.searchStepText = ctx.command.limitBeforeEntry;
    return;
  }
  CompleteLimit(ctx, ctx.tuning.searchStepText, true);
}

// What was typed into the value since S, E or I can go to the receiver (or
// nothing was typed). A limit typed finer than the receiver tunes is kept
// rounded, as it will be tuned.
bool TypedLimitIsUsable(Context& ctx) {
  BoundedText* value = LimitBeingTyped(ctx);
  if (value == nullptr || ctx.command.limitEntryFresh) return true;
  if (ctx.command.pendingCommand == PendingCommand::kStep) {
    return StepUsableOn(RadioCapabilities(ctx), value->str());
  }
  const auto tunable = TunableOn(RadioCapabilities(ctx), value->str());
  if (tunable) *value = *tunable;
  return tunable.has_value();
}

// A sequence's Enter that the receiver being away refuses: the sequence
// ends with "rnc", and the value typed into it is put back. Only the step
// and B reach the receiver; the limits and the bank files do not.
bool RefusesSequenceWhileReceiverLost(Context& ctx, PendingCommand pending) {
  if (!ctx.link.receiverLost) return false;
  if (pending == PendingCommand::kStep && !ctx.command.limitEntryFresh) {
    ctx.tuning.searchStepText = ctx.command.limitBeforeEntry;
  } else if (pending != PendingCommand::kStep && pending != PendingCommand::kSelectBank) {
    return false;
  }
  SayReceiverLost(ctx);
  ctx.command.pendingCommand = PendingCommand::kNone;
  return true;
}

// Enter with no sequence, refused before it changes anything (a running
// search goes on, and its log is not written): a typed frequency the
// receiver cannot tune ("3000", "1.4.5") says "inv", a receiver that is
// away "rnc"; either way the frequency line and F are where the receiver is.
bool RefusesTuningAtEnter(Context& ctx) {
  if (!TypedFrequencyIsTunable(ctx)) {
    PutBackTypedFrequency(ctx);
    Say(ctx, "inv");
    return true;
  }
  if (!ctx.link.receiverLost) return false;
  PutBackTypedFrequency(ctx);
  SayReceiverLost(ctx);
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
Steps<> RunBankOperation(Context& ctx, PendingCommand command, std::string argument) {
  if (!banks::IsBankArgument(argument)) {
    Say(ctx, "inv");
    co_return;
  }
  if (command == PendingCommand::kSelectBank) {
    co_await SelectBank(ctx, argument);
    co_return;
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
Steps<bool> StartMemoryScanAtEnter(Context& ctx, std::string argument) {
  const bool namesReceiverBank =
      argument.empty() || (argument.size() == 1 && keys::IsReceiverBankLetter(argument[0]));
  if (!namesReceiverBank) {
    Say(ctx, "inv");
    co_return false;
  }
  const MemoryScanStart start = co_await StartMemoryScan(ctx, argument);
  if (start == MemoryScanStart::kStarted) NoteMemoryScanStarted(ctx);
  co_return true;
}

// W then Enter: the bank file into the receiver bank.
Steps<> WriteToReceiverAtEnter(Context& ctx, std::string argument) {
  if (!banks::IsReceiverTransferArgument(argument)) {
    Say(ctx, "inv");
    co_return;
  }
  SelectionGuard selection(ctx);
  co_await WriteBankToReceiver(ctx, argument);
}

// X then Enter: the receiver bank into the bank file; a file that exists is
// replaced only when the same sequence comes again at once.
Steps<> ReadReceiverAtEnter(Context& ctx, std::string argument) {
  CommandState& command = ctx.command;
  const bool replaceConfirmed = command.replaceWarnedEntry == argument;
  SelectionGuard selection(ctx);
  UndoStepGuard step(ctx);
  const ReadBankOutcome outcome = co_await ReadReceiverBank(ctx, argument, replaceConfirmed);
  switch (outcome) {
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

// The sequences whose Enter ends the panel's search but sends the receiver
// nothing that tunes it: the receiver would go on sweeping while the panel
// shows the search ended.
bool LeavesTheReceiverSweeping(PendingCommand pending) {
  switch (pending) {
    case PendingCommand::kLowerLimit:
    case PendingCommand::kUpperLimit:
    case PendingCommand::kStep:
    case PendingCommand::kTransfer:
    case PendingCommand::kPut:
    case PendingCommand::kSort:
    case PendingCommand::kDeleteBank:
    case PendingCommand::kKillChannel:
      return true;
    case PendingCommand::kNone:
    case PendingCommand::kSelectBank:
    case PendingCommand::kMemoryScan:
    case PendingCommand::kWriteToReceiver:
    case PendingCommand::kReadReceiver:
      return false;
  }
  return false;  // not reached: every command has its case
}

// The sweep ends where the panel shows the receiver, as a lone Enter ends
// it: VFO A is tuned to the frequency line.
void EndSweepWhereShown(Context& ctx) {
  if (ctx.tuning.frequencyText.empty()) return;
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  SetVfoA(ctx);
}

// After a sequence's Enter: the frequency typed before it, if the sequence
// left it on the line untouched, is given up; one the sequence tuned over
// (B, K) is simply no longer being typed.
void CloseTypedFrequency(Context& ctx, const BoundedText& typed, const BoundedText& tunedDigits) {
  if (ctx.command.frequencyEntryFresh) return;
  if (ctx.tuning.frequencyText == typed && ctx.tuning.frequencyDigits == tunedDigits) {
    PutBackTypedFrequency(ctx);
  } else {
    ctx.command.frequencyEntryFresh = true;
  }
}

}  // namespace

BoundedText* LimitBeingTyped(Context& ctx) {
  const PendingCommand pending = ctx.command.pendingCommand;
  if (pending == PendingCommand::kLowerLimit) return &ctx.tuning.searchLowerText;
  if (pending == PendingCommand::kUpperLimit) return &ctx.tuning.searchUpperText;
  if (pending == PendingCommand::kStep) return &ctx.tuning.searchStepText;
  return nullptr;
}

void EnterCharacter(Context& ctx) {
  // A bank scan steps the receiver by itself; typing would only disturb it.
  if (BankScanRuns(ctx.poll.bankScanState)) return;

  CommandState& command = ctx.command;
  const char typed =
      ctx.panel.currentKey == keys::kPoint ? '.' : static_cast<char>(ctx.panel.currentKey);
  TypingTarget target = TargetOfTyping(ctx);
  const bool emptiedFirst = target.fresh != nullptr && *target.fresh;
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
    if (target.text == &ctx.tuning.frequencyText) {
      ctx.tuning.frequencyBeforeEntry = ctx.tuning.frequencyText;
      ctx.tuning.frequencyDigitsBeforeEntry = ctx.tuning.frequencyDigits;
    }
    target.text->clear();
    *target.fresh = false;
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

bool TypedFrequencyIsTunable(const Context& ctx) {
  const TuningState& tuning = ctx.tuning;
  return ctx.command.frequencyEntryFresh || tuning.frequencyText.empty() ||
         TunableOn(RadioCapabilities(ctx), tuning.frequencyText.str()).has_value();
}

void PutBackTypedFrequency(Context& ctx) {
  CommandState& command = ctx.command;
  if (command.frequencyEntryFresh) return;
  ctx.tuning.frequencyText = ctx.tuning.frequencyBeforeEntry;
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyDigitsBeforeEntry;
  command.frequencyEntryFresh = true;
  ShowFrequency(ctx);
}

namespace {

// Enter's own work, for the sequence in progress or none.
Steps<> CompleteSequenceOrTune(Context& ctx) {
  CommandState& command = ctx.command;
  ClearLowerPanel(ctx);
  const PendingCommand pending = command.pendingCommand;
  // A refused Enter leaves everything as it was, a running search too.
  if (pending == PendingCommand::kNone && RefusesTuningAtEnter(ctx)) co_return;
  if (TypesSearchLimit(pending) && PutBackUnusableLimit(ctx)) {
    // Nothing is sent or drawn: the value is as it was before S, E or I.
    Say(ctx, "inv");
    command.pendingCommand = PendingCommand::kNone;
    command.limitEntryFresh = false;
    co_return;
  }
  if (RefusesSequenceWhileReceiverLost(ctx, pending)) co_return;
  // After a search log that could not be written, nothing says "ok".
  const bool searchWasRunning = ctx.poll.searchState != Search::kOff;
  const bool searchLogKept = !searchWasRunning || EndSearch(ctx);
  if (searchWasRunning && LeavesTheReceiverSweeping(pending)) EndSweepWhereShown(ctx);
  const std::string argument = command.entryText;

  switch (pending) {
    case PendingCommand::kNone:
      co_await TuneAtEnter(ctx, searchLogKept);
      co_return;
    case PendingCommand::kLowerLimit:
    case PendingCommand::kUpperLimit:
    case PendingCommand::kStep:
      CompleteLimitAtEnter(ctx, pending);
      break;
    case PendingCommand::kTransfer:
    case PendingCommand::kPut:
    case PendingCommand::kSort:
    case PendingCommand::kSelectBank:
      co_await RunBankOperation(ctx, command.pendingCommand, argument);
      break;
    case PendingCommand::kMemoryScan: {
      const bool started = co_await StartMemoryScanAtEnter(ctx, argument);
      if (started) command.pendingCommand = PendingCommand::kNone;
    }
      co_return;
    // The sequence is over before the transfer's first wait: what is typed
    // meanwhile is the listener's next typing, not more of W's or X's.
    case PendingCommand::kWriteToReceiver:
      command.pendingCommand = PendingCommand::kNone;
      command.keysBesideWork = true;
      co_await WriteToReceiverAtEnter(ctx, argument);
      co_return;
    case PendingCommand::kReadReceiver:
      command.pendingCommand = PendingCommand::kNone;
      command.keysBesideWork = true;
      co_await ReadReceiverAtEnter(ctx, argument);
      co_return;
    case PendingCommand::kDeleteBank:
      DeleteBankAtEnter(ctx, argument);
      command.pendingCommand = PendingCommand::kNone;
      co_return;
    case PendingCommand::kKillChannel:
      KillChannelAtEnter(ctx);
      command.pendingCommand = PendingCommand::kNone;
      co_return;
  }
  command.pendingCommand = PendingCommand::kNone;
  command.limitEntryFresh = false;
}

}  // namespace

Steps<> CompletePendingCommand(Context& ctx) {
  const PendingCommand pending = ctx.command.pendingCommand;
  const BoundedText typed = ctx.tuning.frequencyText;
  const BoundedText tunedDigits = ctx.tuning.frequencyDigits;
  co_await CompleteSequenceOrTune(ctx);
  if (pending != PendingCommand::kNone) CloseTypedFrequency(ctx, typed, tunedDigits);
}

}  // namespace voxrig
