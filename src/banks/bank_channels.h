// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "core/context.h"

// The channels of the bank in memory as the listener moves through them: one
// tuned at a time, the next one up or down, round from the last to the first.
// The bank scan, Up and Down, K and the return to the selected bank all move
// this way.
namespace voxrig {

// Tunes VFO A to the frequency in a slot of the bank in memory, and shows it.
void TuneBankSlot(Context& ctx, int slot);

// The slot of the bank's real last channel, less than the first channel's
// slot when the bank holds none. The layout ends the bank at its first
// terminator; a file that lost its "9999" line ends at its last line with any
// text, so the empty slots behind it are never tuned. bankLastSlot is not
// used: it goes stale when a channel is deleted or merged in.
int LastBankChannelSlot(const BankState::Slots& slots);

// The channel slot one step up or down from `slot`: past the last channel
// (`lastSlot`) to the first, before the first to the last.
int StepChannelSlot(int slot, bool up, int lastSlot);

// Says where the listener has landed: "channel", the number (the bank's
// first channel is 1) and the name from the tag of the channel in `slot`.
void SpeakBankChannel(Context& ctx, int slot);

// Says where the receiver is tuned, as a tuning key, a search's find and a
// scan's rest tell it: the frequency, then the channel's number and name
// when it is the selected bank's channel the listener is on.
void SpeakWhereTuned(Context& ctx);

// The slot of the channel the listener is on: the bank channel tuned last,
// while a bank is selected or scanned. None otherwise, or when the receiver
// has been tuned away from that channel's frequency since.
std::optional<int> CurrentBankChannelSlot(const Context& ctx);

// A receiver connected afresh: the bank scan has no place in the bank yet.
void ResetBankScanPlace(Context& ctx);

}  // namespace voxrig
