// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/search_log.h"

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "speech/speech.h"

namespace voxrig {

void LogSearchHit(Context& ctx) {
  BankState::Slots& log = ctx.banks.bankSlots;
  banks::BankLayout layout = banks::ReadLayout(log, BankState::kFileLines);
  for (const banks::Channel& channel : layout.channels) {
    if (channel.frequency == ctx.tuning.frequencyText) return;  // logged once only
  }
  if (!banks::HasRoomForChannel(layout)) {
    // The log must still end with its terminator inside its 400 lines when the
    // search writes it, so a hit that would leave no room for it is refused.
    Say(ctx, "bf");
    return;
  }
  const int oldLastSlot = banks::LastFileSlot(layout);
  layout.channels.push_back({ctx.tuning.frequencyText, " "});
  banks::WriteLayout(log, layout, oldLastSlot);
  ++ctx.tuning.searchHitCount;
  if (ctx.tuning.searchStopMode == StopMode::kContinue) SpeakCount(ctx, ctx.tuning.searchHitCount);
}

}  // namespace voxrig
