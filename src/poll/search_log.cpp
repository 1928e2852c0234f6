// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/search_log.h"

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_names.h"
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
  ++ctx.poll.searchHitCount;
  // Each find is on disk before it is told: whatever ends the panel next (Q,
  // a closed window, a signal, a dropped session), no find already heard is
  // lost. The file is written whole and renamed over the old log.
  ctx.banks.bankFileName = banks::kSearchLogFile;
  const bool written = WriteBankFile(ctx);
  // A search that goes on by itself tells each find: its count, then where.
  if (ctx.poll.searchStopMode == StopMode::kContinue) {
    SpeakCount(ctx, ctx.poll.searchHitCount);
    SpeakFrequency(ctx, ctx.tuning.frequencyText);
  }
  // The find stays in memory, and the search's end tries the file again.
  if (!written) SayWriteResult(ctx, false);
}

}  // namespace voxrig
