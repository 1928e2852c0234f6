#include "poll/bank_scan.h"

#include "banks/bank_layout.h"
#include "banks/bank_operations.h"
#include "speech/speech.h"
#include "tuning/frequency.h"

namespace voxrig {

namespace {

constexpr int kFirstChannelSlot = banks::kFirstChannelSlot;

// The slot of the bank's real last channel, less than the first channel's
// slot when the bank holds none. The layout ends the bank at its first
// terminator; a file that lost its "9999" line ends at its last line with
// any text, so the empty slots behind it are never tuned. bankLastSlot is not
// used: it goes stale when a channel is deleted or merged in.
int LastChannelSlot(const BankState::Slots& slots) {
  return banks::LastChannelSlot(banks::ReadLayout(slots, BankState::kFileLines));
}

void TuneBankSlot(Context& ctx, int slot) {
  ctx.tuning.frequencyText = ctx.banks.bankSlots[static_cast<std::size_t>(slot)];
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  SetVfoA(ctx);
}

}  // namespace

void StartBankScan(Context& ctx) {
  BankState& banks = ctx.banks;
  if (LastChannelSlot(banks.bankSlots) < kFirstChannelSlot) {
    // An empty bank has nothing to scan; its terminator is no frequency.
    Say(ctx, "inv");
    return;
  }
  ctx.link.bankScanState = BankScan::kStarted;
  banks.bankScanIndex = kFirstChannelSlot;
  TuneBankSlot(ctx, kFirstChannelSlot);
  ApplyBankModeAndStep(ctx);
}

void StepBankChannel(Context& ctx, bool up) {
  BankState& banks = ctx.banks;
  const int last = LastChannelSlot(banks.bankSlots);
  if (last < kFirstChannelSlot) {
    Say(ctx, "inv");
    return;
  }
  int index = banks.bankScanIndex + (up ? 2 : -2);
  if (index < kFirstChannelSlot) index = last;  // Down from the first channel
  if (index > last) index = kFirstChannelSlot;  // Up from the last channel
  banks.bankScanIndex = index;
  TuneBankSlot(ctx, index);
  // The first channel is marked whichever way it is reached.
  if (index == kFirstChannelSlot) Say(ctx, "beep");
}

}  // namespace voxrig
