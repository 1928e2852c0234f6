// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/interpreter.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "banks/bank_channels.h"
#include "banks/bank_undo.h"
#include "command/correction_keys.h"
#include "command/enter_key.h"
#include "command/entry_line.h"
#include "command/key_codes.h"
#include "command/pending_commands.h"
#include "command/receiver_bank_keys.h"
#include "command/where_am_i.h"
#include "memory/memory_scan.h"
#include "panel/debug_log.h"
#include "panel/display_lines.h"
#include "panel/key_queue.h"
#include "poll/bank_scan.h"
#include "poll/operation.h"
#include "poll/poll_cycle.h"
#include "poll/scan_keys.h"
#include "poll/search.h"
#include "poll/selected_bank.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"
#include "tuning/radio_abilities.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// Said for a key of the receiver's own memories (W, X, G, Z) on a radio that
// has none the panel can use.
constexpr const char* kNotOnThisRadio = "notradio";

// The key as the debug log names it.
std::string KeyLogText(int key) {
  if (key == keys::kEnter) return "C/R";
  if (key == keys::kSpace) return "SPC";
  if (key == keys::kEscape) return "ESC";
  if (key == keys::kBackspace) return "BKSP";
  return std::string(1, static_cast<char>(key));
}

// Tuning keys move the receiver itself, so they are refused while the
// receiver sweeps or scans on its own.
bool ReceiverIsMoving(const Context& ctx) {
  return ctx.poll.searchState != Search::kOff || ctx.poll.scanState != ReceiverScan::kOff;
}

void StartSequence(Context& ctx, PendingCommand command) {
  ctx.command.pendingCommand = command;
  ctx.command.entryText.clear();
  Say(ctx, SequencePrompt(command));
}

void StartLimitEntry(Context& ctx, PendingCommand command) {
  Say(ctx, SequencePrompt(command));
  ctx.command.pendingCommand = command;
  ctx.command.limitEntryFresh = true;
  RememberLimitBeforeEntry(ctx);
}

// A key taken from the queue, and what the key before it left for it alone.
struct PressedKey {
  int key = 0;
  // The prompt of a sequence refused before its Enter: an Enter now says it
  // again and does nothing else.
  std::string refusedSequence;
  // What the key goes on doing step by step, when its work waits for the
  // receiver (W, X, Z, a pass, a search's start...): run by the loop.
  Steps<> work;
};

// What every key does first: the echo area is made ready, the key is logged,
// Space lets a resting search or scan go on, and a refused sequence, or a
// replacement of a bank file that X warned of, is forgotten unless this key
// is the one it was kept for.
PressedKey PrepareForKey(Context& ctx) {
  PanelState& panel = ctx.panel;
  CommandState& command = ctx.command;
  MoveTo(*ctx.platform.display, Line::kEcho);
  ctx.platform.display->SetFont(FontOf(Line::kEcho));
  // A frequency drawn since the last key (a search hit, a scan's step)
  // starts the limit being typed afresh.
  if (panel.frequencyShown) {
    panel.frequencyShown = false;
    command.limitEntryFresh = true;
  }

  HoldCurrentKey(ctx, keys::AsMainKey(panel.currentKey));
  PressedKey pressed;
  const int key = pressed.key = panel.currentKey;

  panel.logLine = "**" + KeyLogText(key);
  if (key == keys::kSpace) ToRadio(ctx, [](Receiver& radio) { return radio.GoOn(); });
  if (ctx.app.debugEnabled) WriteLogLine(ctx);
  // V only tells where the listener is: what the keys before it left for
  // the next key is left for the key after it.
  if (key == keys::kWhereAmI) return pressed;
  // A sequence refused before its Enter is remembered for that Enter alone.
  pressed.refusedSequence = command.refusedSequence.str();
  command.refusedSequence.clear();
  // Replacing a bank file by X is confirmed only by the same X sequence at once.
  if (key != keys::Letter('X') && command.pendingCommand != PendingCommand::kReadReceiver) {
    command.replaceWarnedEntry.clear();
  }
  return pressed;
}

// ---- The keys that work the receiver's memory scan and the program's scans.

// Every key but Space leaves a receiver memory scan that is just starting.
void LeaveStartingMemoryScan(Context& ctx, int key) {
  if (key != keys::kSpace) LeaveMemoryScanJustStarted(ctx);
}

// P: passes the channel a resting memory scan holds, or starts P's sequence.
Steps<> PassOrPut(Context& ctx) {
  // A scan that had only just started was left before, so a pass needs a
  // scan that the poll cycle has seen running and resting.
  if (ctx.poll.scanState != ReceiverScan::kOff && !ctx.poll.squelchClosed) {
    co_await PassChannel(ctx);
  } else {
    StartSequence(ctx, PendingCommand::kPut);
  }
}

// F: the frequency and mode, unless the receiver is moving and has no
// frequency to tell.
void SpeakWhereTheReceiverIs(Context& ctx) {
  const ReceiverScan scanState = ctx.poll.scanState;
  if (scanState == ReceiverScan::kStarted || scanState == ReceiverScan::kScanning ||
      (BankScanRuns(ctx.poll.bankScanState) && ctx.poll.squelchClosed)) {
    Say(ctx, "scan");
    return;
  }
  if (ctx.poll.searchState == Search::kSearching) Say(ctx, "srching");
  SpeakFrequency(ctx, ctx.tuning.frequencyText);
  // On a channel, its number and name follow its frequency.
  if (scanState == ReceiverScan::kStopped) {
    SpeakHeldChannel(ctx);
  } else if (const std::optional<int> slot = CurrentBankChannelSlot(ctx)) {
    SpeakBankChannel(ctx, *slot);
  }
  if (scanState == ReceiverScan::kOff) SpeakMode(ctx);
}

// ---- The keys that tune.

void SelectModeByFunctionKey(Context& ctx, int key) {
  static constexpr std::array<Mode, 7> kModesInKeyOrder = {
      Mode::kFM, Mode::kAM, Mode::kLSB, Mode::kUSB, Mode::kWFM, Mode::kCW, Mode::kAUT};
  SelectMode(ctx, kModesInKeyOrder[static_cast<std::size_t>(key - keys::kF1)]);
  DrawModeLine(ctx);
}

// A tuning key refused, because the receiver is away or the frequency is
// not one it can tune: the listener hears which, and a frequency typed and
// not yet entered is given up, so the line shows where the receiver is.
void RefuseTuningKey(Context& ctx, bool receiverAway) {
  PutBackTypedFrequency(ctx);
  if (receiverAway) {
    SayReceiverLost(ctx);
  } else {
    Say(ctx, "inv");
  }
}

// Moves by `deltaHz` from the frequency shown, or from one typed and not yet
// entered: that one must be a frequency Enter would tune, and where it lands
// must be within the receiver's range ("inv" otherwise). Nothing is sent to
// a receiver that is away ("rnc").
void TuneFromShownFrequency(Context& ctx, std::int64_t deltaHz) {
  if (!TypedFrequencyIsTunable(ctx)) {
    RefuseTuningKey(ctx, false);
  } else if (ctx.link.receiverLost) {
    RefuseTuningKey(ctx, true);
  } else if (!TuneWithinRange(ctx, deltaHz)) {
    RefuseTuningKey(ctx, false);
  } else if (ctx.link.receiverLost) {
    PutBackTypedFrequency(ctx);  // found gone by the command: "rnc" has been said
  } else {
    ctx.command.frequencyEntryFresh = true;  // what was typed has been tuned from
    // Heard as a readout: a key held or pressed again cuts it.
    SpeakWhereTuned(ctx);
  }
}

// Left and Right by 100 Hz, Page Up and Page Down by the step; refused while
// the receiver or a bank scan moves.
void TuneByKey(Context& ctx, int key) {
  if (ReceiverIsMoving(ctx) || ctx.poll.bankScanState != BankScan::kOff) {
    Say(ctx, "inv");
    return;
  }
  if (key == keys::kLeft || key == keys::kRight) {
    TuneFromShownFrequency(ctx, key == keys::kRight ? 100 : -100);
    return;
  }
  const std::int64_t step = StepToHz(ctx);
  TuneFromShownFrequency(ctx, key == keys::kPageUp ? step : -step);
}

// Up and Down: the next channel of the selected bank (a frequency being
// typed is given up for it), or 1 kHz.
void StepUpOrDown(Context& ctx, int key) {
  if (ReceiverIsMoving(ctx)) {
    Say(ctx, "inv");
  } else if (ctx.poll.bankScanState != BankScan::kBankSelected) {
    TuneFromShownFrequency(ctx, key == keys::kUp ? 1000 : -1000);
  } else if (ctx.link.receiverLost) {
    RefuseTuningKey(ctx, true);
  } else {
    ctx.command.frequencyEntryFresh = true;
    StepBankChannel(ctx, key == keys::kUp);
  }
}

// ---- The switches.

// ---- The keys that change banks.

// R: the search, whose log replaces bank00.dat at once (U can take that
// back, and a log with finds is kept as bank00.bak too), or the scan of the
// selected bank.
Steps<> SearchOrScanBank(Context& ctx, int key) {
  ctx.command.pendingCommand = PendingCommand::kNone;
  // Both tune the receiver: nothing starts while it is away.
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
    co_return;
  }
  if (ctx.poll.bankScanState == BankScan::kOff) {
    UndoStepGuard step(ctx);
    co_await StartSearch(ctx);
    co_return;
  }
  co_await StartBankScan(ctx);
  // R then only still leaves a receiver memory scan that is starting.
  LeaveStartingMemoryScan(ctx, key);
}

// U: the last bank change is taken back, and the selected bank read again.
// Refused while a search runs: its log is still being written, find by find.
void TakeBackBankChange(Context& ctx) {
  if (ctx.poll.searchState != Search::kOff) {
    Say(ctx, "inv");
    return;
  }
  SelectionGuard selection(ctx);
  UndoLastChange(ctx);
}

// ---- The keys that need no sequence in progress, each with its own effect
// once a starting memory scan has been left. Any other key has no meaning.

Steps<> InterpretCommandKey(Context& ctx, int key) {
  LeaveStartingMemoryScan(ctx, key);
  if (key >= keys::kF1 && key <= keys::kF7) {
    SelectModeByFunctionKey(ctx, key);
    co_return;
  }
  switch (key) {
    case keys::Letter('E'):
      StartLimitEntry(ctx, PendingCommand::kUpperLimit);
      co_return;
    case keys::Letter('I'):
      StartLimitEntry(ctx, PendingCommand::kStep);
      co_return;
    case keys::Letter('N'):
      ToggleScanVoice(ctx);
      co_return;
    case keys::Letter('G'):
      if (!RadioDoes(ctx, MemoryWork::kScan)) {
        Say(ctx, kNotOnThisRadio);
        co_return;
      }
      // entryText is kept: G and Enter at once scan the bank named last time.
      ctx.command.pendingCommand = PendingCommand::kMemoryScan;
      Say(ctx, SequencePrompt(PendingCommand::kMemoryScan));
      co_return;
    case keys::Letter('C'):
      ToggleSearchStopMode(ctx);
      co_return;
    case keys::kLeft:
    case keys::kRight:
    case keys::kPageUp:
    case keys::kPageDown:
      TuneByKey(ctx, key);
      co_return;
    case keys::Letter('A'):
      ToggleAttenuator(ctx);
      co_return;
    case keys::Letter('L'):
      ToggleNoiseLimiter(ctx);
      co_return;
    case keys::Letter('B'):
      StartSequence(ctx, PendingCommand::kSelectBank);
      co_return;
    case keys::Letter('O'):
      StartSequence(ctx, PendingCommand::kSort);
      co_return;
    case keys::Letter('P'):
      co_await PassOrPut(ctx);
      co_return;
    case keys::Letter('T'):
      StartSequence(ctx, PendingCommand::kTransfer);
      co_return;
    case keys::Letter('U'):
      TakeBackBankChange(ctx);
      co_return;
    default:
      co_return;
  }
}

// ---- The rules a pressed key meets in turn; the first that takes the key
// ends its handling.

using KeyRule = bool (*)(Context& ctx, PressedKey& pressed);

// Escape and BackSpace put right what is being typed, whatever sequence is
// in progress, and V tells where the listener is without disturbing it.
bool CorrectsOrTells(Context& ctx, PressedKey& pressed) {
  switch (pressed.key) {
    case keys::kEscape:
      CancelEntry(ctx);
      return true;
    case keys::kBackspace:
      TakeBackCharacter(ctx);
      return true;
    case keys::kWhereAmI:
      SpeakWhereTheListenerIs(ctx);
      return true;
    default:
      return false;
  }
}

bool TypesCharacter(Context& ctx, PressedKey& pressed) {
  const int key = pressed.key;
  if (key != keys::kPoint && !keys::IsDigit(key)) return false;
  EnterCharacter(ctx);
  return true;
}

// W and X take the receiver bank's letter after their two digits.
bool TakesReceiverBankLetter(Context& ctx, PressedKey& pressed) {
  const int key = pressed.key;
  if (key == keys::kEnter) return false;
  if (ctx.command.pendingCommand == PendingCommand::kWriteToReceiver) {
    QueryReceiverBank(ctx);
    return true;
  }
  if (ctx.command.pendingCommand == PendingCommand::kReadReceiver) {
    TakeReadBankLetter(ctx, key);
    return true;
  }
  return false;
}

// W, X and Z work on the receiver's memories: on a radio without them the
// listener hears so, and nothing is pending.
bool RefusesMemoryKeyOnThisRadio(Context& ctx, PressedKey& pressed) {
  const int key = pressed.key;
  if (key != keys::Letter('W') && key != keys::Letter('X') && key != keys::Letter('Z')) {
    return false;
  }
  const MemoryWork work = key == keys::Letter('W')   ? MemoryWork::kWrite
                          : key == keys::Letter('X') ? MemoryWork::kRead
                                                     : MemoryWork::kTellSizes;
  if (RadioDoes(ctx, work)) return false;
  ctx.command.pendingCommand = PendingCommand::kNone;
  Say(ctx, kNotOnThisRadio);
  return true;
}

// W, X and R start their work whatever sequence was in progress.
bool StartsReceiverBankOrSearch(Context& ctx, PressedKey& pressed) {
  switch (pressed.key) {
    case keys::Letter('W'):
      StartSequence(ctx, PendingCommand::kWriteToReceiver);
      Say(ctx, "fromb");
      return true;
    case keys::Letter('X'):
      StartSequence(ctx, PendingCommand::kReadReceiver);
      Say(ctx, "intob");
      return true;
    case keys::Letter('R'):
      pressed.work = SearchOrScanBank(ctx, pressed.key);
      return true;
    default:
      return false;
  }
}

bool CompletesSequence(Context& ctx, PressedKey& pressed) {
  if (pressed.key != keys::kEnter) return false;
  if (!pressed.refusedSequence.empty() && ctx.command.pendingCommand == PendingCommand::kNone) {
    // The sequence this Enter would complete has failed already: the
    // listener hears why again, and nothing is tuned or confirmed.
    Say(ctx, pressed.refusedSequence);
    return true;
  }
  pressed.work = CompletePendingCommand(ctx);
  return true;
}

// G takes one letter of a bank the radio has; any other key ends its
// sequence.
bool TakesMemoryScanBank(Context& ctx, PressedKey& pressed) {
  const int key = pressed.key;
  CommandState& command = ctx.command;
  if (command.pendingCommand != PendingCommand::kMemoryScan) return false;
  if (keys::IsReceiverBankLetter(key) && RadioHasBank(ctx, static_cast<char>(key))) {
    const std::string letter(1, static_cast<char>(key));
    Say(ctx, letter);
    command.entryText = letter;
  } else {
    RefuseSequence(ctx, "inv");
  }
  return true;
}

// A command key abandons the limit or step being typed, before it acts on
// anything; the digits already typed stay in that value, unless the receiver
// could not take it: then it is as before, and the listener hears "inv"
// before the key goes on to its own effect.
bool AbandonsLimitEntry(Context& ctx, PressedKey& pressed) {
  CommandState& command = ctx.command;
  if (pressed.key == keys::kEnter || !TypesSearchLimit(command.pendingCommand)) return false;
  if (PutBackUnusableLimit(ctx)) Say(ctx, "inv");
  command.pendingCommand = PendingCommand::kNone;
  return false;
}

// The modes and switches are the receiver's: while it is away they are
// refused, and the panel keeps what the receiver holds. L names its switch
// first, as it always does.
bool RefusesSwitchWhileReceiverLost(Context& ctx, PressedKey& pressed) {
  const int key = pressed.key;
  const bool mode = key >= keys::kF1 && key <= keys::kF7;
  if (!ctx.link.receiverLost || (!mode && key != keys::Letter('A') && key != keys::Letter('L'))) {
    return false;
  }
  if (key == keys::Letter('L')) Say(ctx, "noise");
  SayReceiverLost(ctx);
  return true;
}

// The keys taken before the memory scan's own: Z, S, K, F, Up and Down, D and M.
bool TakesPanelKey(Context& ctx, PressedKey& pressed) {
  const int key = pressed.key;
  switch (key) {
    case keys::Letter('Z'):
      ctx.command.keysBesideWork = true;
      pressed.work = CheckReceiverBanks(ctx);
      return true;
    case keys::Letter('S'):
      StartLimitEntry(ctx, PendingCommand::kLowerLimit);
      return true;
    case keys::Letter('K'):
      if (ctx.poll.bankScanState == BankScan::kBankSelected) {
        ctx.command.pendingCommand = PendingCommand::kKillChannel;
        Say(ctx, SequencePrompt(PendingCommand::kKillChannel));
      }
      return true;
    case keys::Letter('F'):
      // A receiver that has never answered is nowhere the panel knows.
      if (ctx.link.linkState != ReceiverAnswer::kReceived) {
        SayReceiverLost(ctx);
      } else {
        SpeakWhereTheReceiverIs(ctx);
      }
      return true;
    case keys::kUp:
    case keys::kDown:
      StepUpOrDown(ctx, key);
      return true;
    case keys::Letter('D'):
      if (ctx.command.pendingCommand == PendingCommand::kNone) {
        StartSequence(ctx, PendingCommand::kDeleteBank);
      }
      return true;
    case keys::Letter('M'):
      // The last level heard is no level at all once the receiver has gone.
      if (ctx.link.receiverLost) {
        SayReceiverLost(ctx);
      } else {
        SpeakSignalLevel(ctx);
      }
      return true;
    default:
      return false;
  }
}

bool TakesCommandKey(Context& ctx, PressedKey& pressed) {
  pressed.work = InterpretCommandKey(ctx, pressed.key);
  return true;
}

// In this order: a rule placed earlier wins for a key that two rules take.
constexpr std::array<KeyRule, 11> kKeyRules = {
    CorrectsOrTells,
    TypesCharacter,
    AbandonsLimitEntry,
    TakesReceiverBankLetter,
    RefusesMemoryKeyOnThisRadio,
    StartsReceiverBankOrSearch,
    CompletesSequence,
    TakesMemoryScanBank,
    RefusesSwitchWhileReceiverLost,
    TakesPanelKey,
    TakesCommandKey,
};

// What every key does last, once its work is done.
void FinishKey(Context& ctx) {
  // A key that sent something towards a receiver that has gone away tells
  // the listener, even when it has no confirmation of its own to replace.
  if (ctx.link.receiverLost && ctx.link.sentWhileLost) SayReceiverLost(ctx);
  ShowEntryLine(ctx);
}

// A radio driven through Hamlib carries out the key's calls beside the
// loop: the key ends once they have, and a setting the radio refused is
// heard then, while the keys that send it nothing are heard meanwhile.
Steps<> FinishKeyAfterItsWork(Context& ctx, Steps<> work) {
  if (!work.Done()) co_await std::move(work);
  if (RadioCallsOutstanding(ctx)) {
    ctx.command.keysBesideWork = true;
    const RadioResult late = co_await UntilRadioHasAnswered(ctx);
    if (late == RadioResult::kRefused) Say(ctx, "inv");
  }
  ctx.command.keysBesideWork = false;
  FinishKey(ctx);
}

}  // namespace

KeyOutcome InterpretKey(Context& ctx) {
  if (QueuedEntries(ctx) <= 0) return KeyOutcome::kHandled;

  if (TakeQueuedEntry(ctx) == keys::kSeparator) {
    // The key before this separator may have sent a command; its answer is
    // collected now, one tick later. A report the receiver sent by itself
    // meanwhile goes to the poll.
    if (const auto reception = TakeReception(ctx)) NoteReceptionBesideThePoll(ctx, *reception);
    return KeyOutcome::kHandled;
  }
  // What the panel was still reading out is stale now: the listener hears
  // this key at once.
  CutStaleSpeech(ctx);
  ctx.link.lossSaidThisKey = false;
  ctx.link.sentWhileLost = false;
  ForgetRadioRefusal(ctx);
  PressedKey pressed = PrepareForKey(ctx);
  // Q ends the program whatever sequence is in progress; the program stops
  // once the listener has heard "quit".
  if (pressed.key == keys::Letter('Q')) {
    Say(ctx, "quit");
    FinishKey(ctx);
    return KeyOutcome::kQuit;
  }
  for (const KeyRule rule : kKeyRules) {
    if (rule(ctx, pressed)) break;
  }
  if (pressed.work.Done() && !RadioCallsOutstanding(ctx)) {
    FinishKey(ctx);
  } else {
    // Its work runs at once up to its first wait, and on from the loop.
    StartOperation(ctx, FinishKeyAfterItsWork(ctx, std::move(pressed.work)));
  }
  return KeyOutcome::kHandled;
}

bool KeyLeavesTheWireAlone(int key) {
  key = keys::AsMainKey(key);
  return key == keys::kPoint || keys::IsDigit(key) || key == keys::Letter('F') ||
         key == keys::Letter('M') || key == keys::kWhereAmI || key == keys::kEscape ||
         key == keys::kBackspace;
}

void TuneToTypedFrequency(Context& ctx) {
  if (ctx.command.pendingCommand != PendingCommand::kNone) return;
  if (ctx.tuning.frequencyText.empty()) return;
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  SetVfoA(ctx);
  ForgetScansAndSearch(ctx);
}

}  // namespace voxrig
