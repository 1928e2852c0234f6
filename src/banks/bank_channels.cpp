// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_channels.h"

#include <cstddef>

#include "banks/bank_layout.h"
#include "speech/speech.h"
#include "tuning/frequency.h"

namespace voxrig {

void TuneBankSlot(Context& ctx, int slot) {
  ctx.tuning.frequencyText = ctx.banks.bankSlots[static_cast<std::size_t>(slot)];
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  ctx.banks.tunedChannelSlot = slot;
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

void SpeakBankChannel(Context& ctx, int slot) {
  const int number = (slot - banks::kFirstChannelSlot) / 2 + 1;
  SpeakChannel(ctx, "", number, ctx.banks.bankSlots[static_cast<std::size_t>(slot + 1)].str());
}

void SpeakWhereTuned(Context& ctx) {
  SpeakFrequency(ctx, ctx.tuning.frequencyText);
  if (const std::optional<int> slot = CurrentBankChannelSlot(ctx)) SpeakBankChannel(ctx, *slot);
}

std::optional<int> CurrentBankChannelSlot(const Context& ctx) {
  if (ctx.poll.bankScanState == BankScan::kOff) return std::nullopt;
  const int last = LastBankChannelSlot(ctx.banks.bankSlots);
  const int slot = ctx.banks.tunedChannelSlot;
  if (slot < banks::kFirstChannelSlot || slot > last || slot % 2 != 0) return std::nullopt;
  if (ctx.banks.bankSlots[static_cast<std::size_t>(slot)] != ctx.tuning.frequencyText) {
    return std::nullopt;
  }
  return slot;
}

void ResetBankScanPlace(Context& ctx) {
  ctx.banks.bankScanIndex = 0;
}

}  // namespace voxrig
