// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/scan_keys.h"

#include "panel/display_lines.h"
#include "speech/speech.h"

namespace voxrig {

void ToggleScanVoice(Context& ctx) {
  PollState& poll = ctx.poll;
  poll.scanVoice = !poll.scanVoice;
  Say(ctx, "svoice");
  Say(ctx, poll.scanVoice ? "on" : "off");
}

void ToggleSearchStopMode(Context& ctx) {
  PollState& poll = ctx.poll;
  poll.searchStopMode =
      poll.searchStopMode == StopMode::kStop ? StopMode::kContinue : StopMode::kStop;
  Say(ctx, poll.searchStopMode == StopMode::kStop ? "stmode" : "cont");
  ShowSearchLine(ctx);
}

void LeaveMemoryScanJustStarted(Context& ctx) {
  if (ctx.poll.scanState != ReceiverScan::kStarted) return;
  Say(ctx, "exitscan");
  ctx.poll.scanState = ReceiverScan::kOff;
}

void ForgetScansAndSearch(Context& ctx) {
  ctx.poll.scanState = ReceiverScan::kOff;
  ctx.poll.bankScanState = BankScan::kOff;
  ctx.poll.searchState = Search::kOff;
}

void ForgetSearchRest(Context& ctx) {
  ctx.poll.resumeCountdown = 0;
}

}  // namespace voxrig
