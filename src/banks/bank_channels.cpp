// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_channels.h"

#include <cstddef>

#include "banks/bank_layout.h"
#include "tuning/frequency.h"

namespace voxrig {

void TuneBankSlot(Context& ctx, int slot) {
  ctx.tuning.frequencyText = ctx.banks.bankSlots[static_cast<std::size_t>(slot)];
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  SetVfoA(ctx);
}

int LastBankChannelSlot(const BankState::Slots& slots) {
  return banks::LastChannelSlot(banks::ReadLayout(slots, BankState::kFileLines));
}

int StepChannelSlot(int slot, bool up, int lastSlot) {
  int next = slot + (up ? 2 : -2);
  if (next < banks::kFirstChannelSlot) next = lastSlot;  // down from the first channel
  if (next > lastSlot) next = banks::kFirstChannelSlot;  // up from the last channel
  return next;
}

}  // namespace voxrig
