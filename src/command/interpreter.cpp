#include "command/interpreter.h"

#include <algorithm>
#include <array>
#include <string>

#include "banks/bank_selection.h"
#include "banks/bank_undo.h"
#include "command/enter_key.h"
#include "command/key_codes.h"
#include "command/pending_commands.h"
#include "command/receiver_bank_keys.h"
#include "core/text_rules.h"
#include "link/command_link.h"
#include "memory/memory_scan.h"
#include "panel/debug_log.h"
#include "panel/display_lines.h"
#include "poll/bank_scan.h"
#include "poll/search.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"

namespace voxrig {

namespace {

void InterpretPressedKey(Context& ctx);

// Takes the oldest entry of the key queue into currentKey.
void TakeKeyFromQueue(PanelState& panel) {
  panel.currentKey = panel.keyQueue[0];
  std::copy(panel.keyQueue.begin() + 1, panel.keyQueue.end(), panel.keyQueue.begin());
  panel.keyQueue.back() = 0;
  --panel.keyQueueCount;
}

// The key as the debug log names it.
std::string KeyLogText(int key) {
  if (key == keys::kEnter) return "C/R";
  if (key == keys::kSpace) return "SPC";
  return std::string(1, static_cast<char>(key));
}

// Tuning keys move the receiver itself, so they are refused while the
// receiver sweeps or scans on its own.
bool ReceiverIsMoving(const Context& ctx) {
  return ctx.tuning.searchState > 0 || ctx.link.scanState > 0;
}

void SelectModeByFunctionKey(Context& ctx, int key) {
  static constexpr std::array<Mode, 7> kModesInKeyOrder = {
      Mode::kFM, Mode::kAM, Mode::kLSB, Mode::kUSB, Mode::kWFM, Mode::kCW, Mode::kAUT};
  SelectMode(ctx, kModesInKeyOrder[static_cast<std::size_t>(key - keys::kF1)]);
  DrawModeLine(ctx);
}

void StartSequence(Context& ctx, int command, const char* prompt) {
  ctx.command.pendingCommand = command;
  ctx.command.entryText.clear();
  Say(ctx, prompt);
}

// X: after the two digits of a bank file, one of the receiver's banks A to J.
// Nothing is sent to the receiver before Enter.
void TakeReadBankLetter(Context& ctx, int key) {
  CommandState& command = ctx.command;
  if (command.entryText.size() != 2 || !HoldsOnlyDigits(command.entryText) ||
      !keys::IsReceiverBankLetter(key)) {
    RefuseSequence(ctx, "inv");
    return;
  }
  command.entryText += static_cast<char>(key);
  Say(ctx, std::string(1, static_cast<char>(key)));
}

void StartLimitEntry(Context& ctx, int command, const char* prompt) {
  Say(ctx, prompt);
  ctx.command.pendingCommand = command;
  ctx.command.limitEntryFresh = 1;
}

// F: the frequency and mode, unless the receiver is moving and has no
// frequency to tell.
void SpeakWhereTheReceiverIs(Context& ctx) {
  const int scanState = ctx.link.scanState;
  if (scanState == 1 || scanState == 2 ||
      (ctx.link.bankScanState > 1 && ctx.link.squelchClosed == 1)) {
    Say(ctx, "scan");
    return;
  }
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  SpeakFrequency(ctx);
  if (scanState == 0) SpeakMode(ctx);
}

// U: the last bank change is taken back, and the selected bank read again.
// Refused while a search runs: its log is still to be written.
void TakeBackBankChange(Context& ctx) {
  if (ctx.tuning.searchState > 0) {
    Say(ctx, "inv");
    return;
  }
  const SelectionMark mark = MarkSelection(ctx);
  UndoLastChange(ctx);
  ReturnToSelection(ctx, mark);
}

// The keys that remain once the key has not been taken by an earlier step:
// every one of them first leaves a receiver memory scan that is just
// starting (unless it is Space), then has its own effect.
void InterpretCommandKey(Context& ctx, int key, bool spacePressed) {
  CommandState& command = ctx.command;
  LinkState& link = ctx.link;

  if (link.scanState == 1 && !spacePressed) {
    Say(ctx, "exitscan");
    link.scanState = 0;
  }

  if (key == keys::Letter('E')) {
    StartLimitEntry(ctx, pending::kUpperLimit, "end");
  } else if (key == keys::Letter('N')) {
    link.scanVoice = 1 - link.scanVoice;
    Say(ctx, "svoice");
    Say(ctx, link.scanVoice == 1 ? "on" : "off");
  } else if (key == keys::Letter('I')) {
    StartLimitEntry(ctx, pending::kStep, "incr");
  } else if (key == keys::Letter('G')) {
    // entryText is kept: G and Enter at once scan the bank named last time.
    command.pendingCommand = pending::kMemoryScan;
    Say(ctx, "radbank");
  } else if (key >= keys::kF1 && key <= keys::kF7) {
    SelectModeByFunctionKey(ctx, key);
  } else if (key == keys::Letter('C')) {
    ctx.tuning.searchStopMode = 1 - ctx.tuning.searchStopMode;
    Say(ctx, ctx.tuning.searchStopMode == 1 ? "stmode" : "cont");
    ShowSearchLine(ctx);
  } else if (key == keys::kLeft || key == keys::kRight) {
    if (ReceiverIsMoving(ctx) || link.bankScanState > 0) {
      Say(ctx, "inv");
      return;
    }
    TuneBy(ctx, key == keys::kRight ? 100 : -100);
  } else if (key == keys::kPageUp || key == keys::kPageDown) {
    if (ReceiverIsMoving(ctx) || link.bankScanState > 0) {
      Say(ctx, "inv");
      return;
    }
    const std::int64_t step = StepToHz(ctx);
    TuneBy(ctx, key == keys::kPageUp ? step : -step);
  } else if (key == keys::Letter('A')) {
    ToggleAttenuator(ctx);
  } else if (key == keys::Letter('L')) {
    ToggleNoiseLimiter(ctx);
  } else if (key == keys::Letter('B')) {
    StartSequence(ctx, pending::kSelectBank, "bank");
  } else if (key == keys::Letter('O')) {
    StartSequence(ctx, pending::kSort, "sort");
  } else if (key == keys::Letter('P')) {
    // Reached with scanState 1 only after the scan was left above, so a pass
    // needs a scan that the poll cycle has seen running and resting.
    if (link.scanState >= 1 && link.squelchClosed == 0) {
      PassChannel(ctx);
    } else {
      StartSequence(ctx, pending::kPut, "put");
    }
  } else if (key == keys::Letter('T')) {
    StartSequence(ctx, pending::kTransfer, "transfer");
  } else if (key == keys::Letter('U')) {
    TakeBackBankChange(ctx);
  }
  // Any other key has no meaning.
}

}  // namespace

void InterpretKey(Context& ctx) {
  PanelState& panel = ctx.panel;
  if (panel.keyQueueCount <= 0) return;

  TakeKeyFromQueue(panel);
  if (panel.currentKey == keys::kSeparator) {
    // The key before this separator may have sent a command; its answer is
    // collected now, one tick later.
    ReadReply(ctx);
    return;
  }
  // What the panel was still reading out is stale now: the listener hears
  // this key at once.
  CutStaleSpeech(ctx);
  ctx.link.lossSaidThisKey = false;
  ctx.link.sentWhileLost = false;
  InterpretPressedKey(ctx);
  // A key that sent something towards a receiver that has gone away tells
  // the listener, even when it has no confirmation of its own to replace.
  if (ctx.link.receiverLost && ctx.link.sentWhileLost) SayReceiverLost(ctx);
}

namespace {

void InterpretPressedKey(Context& ctx) {
  PanelState& panel = ctx.panel;
  CommandState& command = ctx.command;

  ctx.platform.display->SetTextPosition(340, 370);
  ctx.platform.display->SetFont(ArielBold(50));

  panel.currentKey = keys::AsMainKey(panel.currentKey);
  const int key = panel.currentKey;

  panel.logLine = "**" + KeyLogText(key);
  bool spacePressed = false;
  if (key == keys::kSpace) {
    SendResumeByte(ctx);
    spacePressed = true;
  }
  if (ctx.app.debugEnabled == 1) WriteLogLine(ctx);
  // A sequence refused before its Enter is remembered for that Enter alone.
  const std::string refusedSequence = command.refusedSequence.str();
  command.refusedSequence.clear();
  // Replacing a bank file by X is confirmed only by the same X sequence at once.
  if (key != keys::Letter('X') && command.pendingCommand != pending::kReadReceiver) {
    command.replaceWarnedEntry.clear();
  }

  if (ctx.link.linkState == -1) {
    // The receiver has never answered: working the panel is pointless.
    Say(ctx, "rnc");
    ctx.link.linkState = 0;
    ctx.app.programRunning = 0;
    return;
  }
  if (key == keys::Letter('Q')) {
    Say(ctx, "quit");
    ctx.app.programRunning = 0;
    return;
  }
  if (key == keys::kPoint || keys::IsDigit(key)) {
    EnterCharacter(ctx);
    return;
  }
  if (command.pendingCommand == pending::kWriteToReceiver && key != keys::kEnter) {
    QueryReceiverBank(ctx);
    return;
  }
  if (command.pendingCommand == pending::kReadReceiver && key != keys::kEnter) {
    TakeReadBankLetter(ctx, key);
    return;
  }
  if (key == keys::Letter('W')) {
    StartSequence(ctx, pending::kWriteToReceiver, "write");
    Say(ctx, "fromb");
    return;
  }
  if (key == keys::Letter('X')) {
    StartSequence(ctx, pending::kReadReceiver, "read");
    Say(ctx, "intob");
    return;
  }
  if (key == keys::Letter('R')) {
    command.pendingCommand = pending::kNone;
    if (ctx.link.bankScanState == 0) {
      // The search log replaces bank00.dat at once; U can take that back.
      BeginUndoStep(ctx);
      StartSearch(ctx);
      EndUndoStep(ctx);
      return;
    }
    StartBankScan(ctx);
    // R then only still leaves a receiver memory scan that is starting.
    InterpretCommandKey(ctx, key, spacePressed);
    return;
  }
  if (key == keys::kEnter) {
    if (!refusedSequence.empty() && command.pendingCommand == pending::kNone) {
      // The sequence this Enter would complete has failed already: the
      // listener hears why again, and nothing is tuned or confirmed.
      Say(ctx, refusedSequence);
      return;
    }
    CompletePendingCommand(ctx);
    return;
  }
  if (command.pendingCommand == pending::kMemoryScan) {
    if (keys::IsReceiverBankLetter(key)) {
      const std::string letter(1, static_cast<char>(key));
      Say(ctx, letter);
      command.entryText = letter;
    } else {
      RefuseSequence(ctx, "inv");
    }
    return;
  }
  if (command.pendingCommand >= pending::kLowerLimit && command.pendingCommand <= pending::kStep) {
    // A command key abandons the limit or step being typed; the digits
    // already typed stay in that value.
    command.pendingCommand = pending::kNone;
  }
  if (key == keys::Letter('Z')) {
    CheckReceiverBanks(ctx);
    return;
  }
  if (key == keys::Letter('S')) {
    StartLimitEntry(ctx, pending::kLowerLimit, "start");
    return;
  }
  if (key == keys::Letter('K')) {
    if (ctx.link.bankScanState == 1) {
      command.pendingCommand = pending::kKillChannel;
      Say(ctx, "kill");
    }
    return;
  }
  if (key == keys::Letter('F')) {
    SpeakWhereTheReceiverIs(ctx);
    return;
  }
  if (key == keys::kUp || key == keys::kDown) {
    if (ReceiverIsMoving(ctx)) {
      Say(ctx, "inv");
    } else if (ctx.link.bankScanState == 1) {
      StepBankChannel(ctx, key == keys::kUp);
    } else {
      TuneBy(ctx, key == keys::kUp ? 1000 : -1000);
    }
    return;
  }
  if (key == keys::Letter('D')) {
    if (command.pendingCommand == pending::kNone) {
      StartSequence(ctx, pending::kDeleteBank, "delete");
    }
    return;
  }
  if (key == keys::Letter('M')) {
    // The last level heard is no level at all once the receiver has gone.
    if (ctx.link.receiverLost) {
      SayReceiverLost(ctx);
    } else {
      SpeakSignalLevel(ctx);
    }
    return;
  }
  InterpretCommandKey(ctx, key, spacePressed);
}

}  // namespace

bool KeyLeavesTheWireAlone(int key) {
  key = keys::AsMainKey(key);
  return key == keys::kPoint || keys::IsDigit(key) || key == keys::Letter('F') ||
         key == keys::Letter('M');
}

void RefuseSequence(Context& ctx, const char* prompt) {
  Say(ctx, prompt);
  ctx.command.pendingCommand = pending::kNone;
  ctx.command.refusedSequence = prompt;
}

void TuneToTypedFrequency(Context& ctx) {
  if (ctx.command.pendingCommand != pending::kNone || ctx.tuning.frequencyText.empty()) return;
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  SetVfoA(ctx);
  ctx.link.scanState = 0;
  ctx.link.bankScanState = 0;
  ctx.tuning.searchState = 0;
}

}  // namespace voxrig
