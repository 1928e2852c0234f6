// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/bank_scan.h"

#include "banks/bank_channels.h"
#include "banks/bank_layout.h"
#include "banks/bank_operations.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

constexpr int kFirstChannelSlot = banks::kFirstChannelSlot;

}  // namespace

Steps<> StartBankScan(Context& ctx) {
  BankState& banks = ctx.banks;
  if (LastBankChannelSlot(banks.bankSlots) < kFirstChannelSlot) {
    // An empty bank has nothing to scan; its terminator is no frequency.
    Say(ctx, "inv");
    co_return;
  }
  ctx.poll.bankScanState = BankScan::kStarted;
  banks.bankScanIndex = kFirstChannelSlot;
  TuneBankSlot(ctx, kFirstChannelSlot);
  co_await ApplyBankModeAndStep(ctx);
}

void StepBankChannel(Context& ctx, bool up) {
  BankState& banks = ctx.banks;
  const int last = LastBankChannelSlot(banks.bankSlots);
  if (last < kFirstChannelSlot) {
    Say(ctx, "inv");
    return;
  }
  banks.bankScanIndex = StepChannelSlot(banks.bankScanIndex, up, last);
  TuneBankSlot(ctx, banks.bankScanIndex);
  // The first channel is marked whichever way it is reached.
  if (banks.bankScanIndex == kFirstChannelSlot) Say(ctx, "beep");
  SpeakWhereTuned(ctx);
}

void StepBankScan(Context& ctx) {
  int& index = ctx.banks.bankScanIndex;
  const int last = LastBankChannelSlot(ctx.banks.bankSlots);
  if (last < kFirstChannelSlot) {
    index = kFirstChannelSlot;
    return;
  }
  // The index names the channel to tune next; one that is no channel of the
  // bank (the bank changed under it) starts the scan again at the first.
  int slot = index;
  if (slot < kFirstChannelSlot || slot > last || slot % 2 != 0) slot = kFirstChannelSlot;
  TuneBankSlot(ctx, slot);
  index = StepChannelSlot(slot, true, last);
}

}  // namespace voxrig
