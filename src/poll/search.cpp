// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/search.h"

#include <optional>
#include <string>

#include "banks/bank_csv.h"
#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_names.h"
#include "banks/bank_undo.h"
#include "panel/display_lines.h"
#include "platform/file_system.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

constexpr int kHeaderSlots = 5;  // name, mode, step, a blank, the end mark

// The log a new search replaces is kept as bank00.bak when it holds any find,
// so an R pressed again (or by mistake) never loses a search's finds, not
// even across a restart; a log without finds leaves the backup as it is.
// The backup is part of R's change, so U takes it back with the log.
// False when the log holds finds that could not be kept.
bool KeepPreviousLog(Context& ctx, const std::string& logFile) {
  FileSystem* files = ctx.platform.files;
  if (files == nullptr) return true;
  const std::optional<std::string> previous = files->ReadFile(logFile);
  if (!previous) return true;
  const BankState::Slots slots = banks::BankSlotsOf(*previous);
  if (banks::ReadLayout(slots, BankState::kFileLines).channels.empty()) return true;
  return ReplaceBankFile(ctx, banks::kSearchLogBackup, *previous);
}

// The search log starts as a bank of no channels under the search's own
// mode and step; LogSearchHit inserts each hit before the end mark.
void StartSearchLog(Context& ctx, const std::string& logFile) {
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
  // written again with each find and when the search ends. The log it
  // replaces is kept for U too.
  ReplaceBankFile(ctx, logFile, header);
}

}  // namespace

Steps<> StartSearch(Context& ctx) {
  TuningState& tuning = ctx.tuning;
  Display& display = *ctx.platform.display;
  const std::string logFile = BankFileOnDisk(ctx, banks::kSearchLogFile);
  if (!KeepPreviousLog(ctx, logFile)) {
    // The finds of the last search would be lost: no search starts.
    Say(ctx, "wrerr");
    co_return;
  }
  ctx.poll.searchState = Search::kSearching;
  ctx.poll.searchHitCount = 0;
  ctx.banks.bankFileName = banks::kSearchLogFile;

  display.SetColour(ColourOf(Line::kSearchStarted));
  display.SetFont(FontOf(Line::kSearchStarted));
  MoveTo(display, Line::kSearchStarted);
  // Blanks after it wipe what a SCANNING or STOPPED line left beyond it.
  display.Print("Search Mode Active      ");
  Say(ctx, "srch");

  StartSearchLog(ctx, logFile);

  // The limits go to the two VFOs. The frequency line keeps the frequency
  // from before the search until the receiver stops on a signal.
  tuning.frequencyDigits = tuning.searchLowerText;
  co_await Pause(ctx);
  SetVfoA(ctx);
  tuning.frequencyDigits = tuning.searchUpperText;
  co_await Pause(ctx);
  SetVfoB(ctx);
  co_await Pause(ctx);
  SetStep(ctx);

  MoveTo(display, Line::kEcho);
  display.SetFont(FontOf(Line::kEcho));
  display.Print(tuning.searchLowerText + "/" + tuning.searchUpperText);

  co_await Pause(ctx);
  ApplyMode(ctx);
  Say(ctx, "act");
  ToRadio(ctx, [](Receiver& radio) { return radio.StartSearch(); });
}

bool EndSearch(Context& ctx) {
  PollState& poll = ctx.poll;
  if (poll.searchState == Search::kOff) return true;
  const bool written = WriteBankFile(ctx);
  if (!written) SayWriteResult(ctx, false);
  SpeakCount(ctx, poll.searchHitCount);
  poll.searchState = Search::kOff;
  return written;
}

void EndSearchOnLoss(Context& ctx) {
  if (ctx.poll.searchState == Search::kOff) return;
  ClearLowerPanel(ctx);
  EndSearch(ctx);
  ctx.poll.resumeCountdown = 0;
  ctx.poll.receiveStateAsks = 0;
}

}  // namespace voxrig
