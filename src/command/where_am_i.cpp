// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/where_am_i.h"

#include <optional>
#include <string>

#include "banks/bank_channels.h"
#include "memory/memory_scan.h"
#include "speech/speech.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// The receiver steps through channels by itself: no frequency holds still.
bool ScanMovesOn(const PollState& poll) {
  return poll.scanState == ReceiverScan::kStarted || poll.scanState == ReceiverScan::kScanning ||
         poll.bankScanState == BankScan::kStarted || poll.bankScanState == BankScan::kScanning;
}

// "bank" and the selected bank's number, from its file name (bank01.dat).
void SpeakSelectedBank(Context& ctx) {
  const std::string& file = ctx.banks.selectedBankFile;
  constexpr std::size_t kPrefix = 4;  // "bank"
  constexpr std::size_t kSuffix = 4;  // ".dat"
  if (file.size() <= kPrefix + kSuffix) return;
  Say(ctx, "bank");
  SpeakTyped(ctx, file.substr(kPrefix, file.size() - kPrefix - kSuffix));
}

// The frequency and the channel: the receiver's, not a frequency still being
// typed (its channel, if any, is then not the one on the line either).
void SpeakPlace(Context& ctx) {
  const PollState& poll = ctx.poll;
  const bool typing = !ctx.command.frequencyEntryFresh;
  if (!ScanMovesOn(poll)) {
    SpeakFrequency(ctx, typing ? ctx.tuning.frequencyBeforeEntry : ctx.tuning.frequencyText);
  }
  if (poll.bankScanState != BankScan::kOff) SpeakSelectedBank(ctx);
  if (poll.scanState == ReceiverScan::kStopped) {
    SpeakHeldChannel(ctx);
  } else if (const std::optional<int> slot = CurrentBankChannelSlot(ctx);
             slot && !typing && !ScanMovesOn(poll)) {
    SpeakBankChannel(ctx, *slot);
  }
}

void SpeakWhatRuns(Context& ctx) {
  switch (ctx.poll.searchState) {
    case Search::kSearching:
      Say(ctx, "srching");
      return;
    case Search::kStopped:
      Say(ctx, "srch");
      Say(ctx, "stop");
      return;
    case Search::kOff:
      break;
  }
  const PollState& poll = ctx.poll;
  if (poll.scanState != ReceiverScan::kOff) {
    Say(ctx, "radbank");
    Say(ctx, poll.scanState == ReceiverScan::kStopped ? "stop" : "scan");
  } else if (BankScanRuns(poll.bankScanState)) {
    Say(ctx, poll.bankScanState == BankScan::kStopped ? "stop" : "scan");
  }
}

}  // namespace

void SpeakWhereTheListenerIs(Context& ctx) {
  SpeakPlace(ctx);
  // A memory channel's mode is the receiver's own, not the mode line's.
  if (ctx.poll.scanState == ReceiverScan::kOff) SpeakMode(ctx);
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
  } else {
    SpeakSignalLevel(ctx);
  }
  SpeakWhatRuns(ctx);
}

}  // namespace voxrig
