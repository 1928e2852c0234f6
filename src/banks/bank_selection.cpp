// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_selection.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "banks/bank_channels.h"
#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// The channel to stand on: the marked one when it is still there, else the
// nearest with the marked frequency, else the marked position within the bank.
int ChannelToStandOn(const std::vector<banks::Channel>& channels, const SelectionMark& mark) {
  const int count = static_cast<int>(channels.size());
  int best = -1;
  for (int i = 0; i < count; ++i) {
    if (channels[static_cast<std::size_t>(i)].frequency != mark.frequency) continue;
    if (best < 0 || std::abs(i - mark.channel) < std::abs(best - mark.channel)) best = i;
  }
  if (best >= 0) return best;
  return std::clamp(mark.channel, 0, count - 1);
}

}  // namespace

SelectionMark MarkSelection(const Context& ctx) {
  SelectionMark mark;
  const BankState& banks = ctx.banks;
  if (ctx.poll.bankScanState == BankScan::kOff || banks.selectedBankFile.empty()) return mark;
  mark.active = true;
  const int index = banks.bankScanIndex;
  mark.channel = std::max(0, (index - banks::kFirstChannelSlot) / 2);
  if (index >= banks::kFirstChannelSlot && index < BankState::kFileLines) {
    mark.frequency = banks.bankSlots[static_cast<std::size_t>(index)];
  }
  return mark;
}

SelectionReturn ReturnToSelection(Context& ctx, const SelectionMark& mark) {
  BankState& banks = ctx.banks;
  if (!mark.active || ctx.poll.bankScanState == BankScan::kOff) return SelectionReturn::kKept;
  if (banks.selectedBankFile.empty()) return SelectionReturn::kKept;
  banks.bankFileName = banks.selectedBankFile;
  if (!ReadBankFileSilently(ctx)) {
    // The bank is gone (D): nothing is left to step through or delete from.
    banks.selectedBankFile.clear();
    Say(ctx, "unsel");
    return SelectionReturn::kBankGone;
  }
  const banks::BankLayout layout = banks::ReadLayout(banks.bankSlots, BankState::kFileLines);
  banks.bankLastSlot = banks::LastChannelSlot(layout);
  if (layout.channels.empty()) {
    banks.bankScanIndex = banks::kFirstChannelSlot;
    return SelectionReturn::kKept;
  }
  const int channel = ChannelToStandOn(layout.channels, mark);
  banks.bankScanIndex = banks::ChannelSlot(channel);
  // The receiver still sits on the marked frequency; when that channel has
  // gone, the one now current is tuned, so K removes what the listener hears.
  // A running bank scan tunes by itself.
  const BoundedText& frequency = layout.channels[static_cast<std::size_t>(channel)].frequency;
  if (ctx.poll.bankScanState == BankScan::kBankSelected && frequency != mark.frequency) {
    TuneBankSlot(ctx, banks.bankScanIndex);
  }
  return SelectionReturn::kKept;
}

}  // namespace voxrig
