// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/search.h"

#include <string>

#include "banks/bank_file.h"
#include "banks/bank_undo.h"
#include "link/command_link.h"
#include "link/receiver_commands.h"
#include "panel/display_lines.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"

namespace voxrig {

namespace {

constexpr const char* kSearchLogFile = "bank00.dat";
constexpr int kHeaderSlots = 5;  // name, mode, step, a blank, the end mark

// The search log starts as a bank of no channels under the search's own
// mode and step; LogSearchHit inserts each hit before the end mark.
void StartSearchLog(Context& ctx) {
  BankState::Slots& slots = ctx.banks.bankSlots;
  slots[0] = "Scanbank";
  slots[1] = ctx.tuning.modeText;
  slots[2] = ctx.tuning.searchStepText;
  slots[3] = " ";
  slots[4] = kBankTerminator;
  ctx.banks.bankScanIndex = 2;
  std::string header;
  for (int slot = 0; slot < kHeaderSlots; ++slot) header += slots[slot] + "\r\n";
  // A folder that refuses the file does not stop the search: the log is
  // written again when the search ends. The log it replaces is kept for U.
  ReplaceBankFile(ctx, BankFileOnDisk(ctx, ctx.banks.bankFileName.str()), header);
}

}  // namespace

void StartSearch(Context& ctx) {
  TuningState& tuning = ctx.tuning;
  Display& display = *ctx.platform.display;
  tuning.searchState = Search::kSearching;
  tuning.searchHitCount = 0;
  ctx.banks.bankFileName = kSearchLogFile;

  display.SetColour(ColourOf(Line::kSearchStarted));
  display.SetFont(FontOf(Line::kSearchStarted));
  MoveTo(display, Line::kSearchStarted);
  display.Print("Search Mode Active");
  Say(ctx, "srch");

  StartSearchLog(ctx);

  // The limits go to the two VFOs. The frequency line keeps the frequency
  // from before the search until the receiver stops on a signal.
  tuning.frequencyDigits = tuning.searchLowerText;
  Pause(ctx);
  SetVfoA(ctx);
  tuning.frequencyDigits = tuning.searchUpperText;
  Pause(ctx);
  SetVfoB(ctx);
  Pause(ctx);
  SetStep(ctx);

  MoveTo(display, Line::kEcho);
  display.SetFont(FontOf(Line::kEcho));
  display.Print(tuning.searchLowerText + "/" + tuning.searchUpperText);

  Pause(ctx);
  ApplyMode(ctx);
  Say(ctx, "act");
  ctx.link.commandText = receiver::kStartVfoSearch;
  SendCommand(ctx);
}

bool EndSearch(Context& ctx) {
  TuningState& tuning = ctx.tuning;
  if (tuning.searchState == Search::kOff) return true;
  const bool written = WriteBankFile(ctx);
  if (!written) SayWriteResult(ctx, false);
  SpeakCount(ctx, tuning.searchHitCount);
  tuning.searchState = Search::kOff;
  return written;
}

void EndSearchOnLoss(Context& ctx) {
  if (ctx.tuning.searchState == Search::kOff) return;
  ClearLowerPanel(ctx);
  EndSearch(ctx);
  ctx.link.resumeCountdown = 0;
  ctx.link.receiveStateAsks = 0;
}

}  // namespace voxrig
