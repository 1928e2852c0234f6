#include <algorithm>
#include <string>

#include "banks/bank_file.h"
#include "banks/bank_operations.h"
#include "command/interpreter.h"
#include "command/key_codes.h"
#include "command/pending_commands.h"
#include "platform/file_system.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"

namespace voxrig {

namespace {

constexpr int kFirstChannelSlot = 4;

// The slot of the bank's real last channel. Any slot holding the terminator
// ends the bank, and a file holds at most 400 lines, so channels stand in the
// even slots from 4 up to the first terminator (398 at most). Less than the
// first channel's slot when the bank is empty. bankLastSlot is not used: it
// goes stale when a channel is deleted or merged in.
int LastChannelSlot(const BankState::Slots& slots) {
  int end = BankState::kFileLines;
  for (int i = 0; i < BankState::kFileLines; ++i) {
    if (slots[static_cast<std::size_t>(i)] == kBankTerminator) {
      end = i;
      break;
    }
  }
  return end % 2 == 0 ? end - 2 : end - 1;
}

void TuneBankSlot(Context& ctx, int slot) {
  ctx.tuning.frequencyText = ctx.banks.bankSlots[static_cast<std::size_t>(slot)];
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  SetVfoA(ctx);
}

}  // namespace

bool HoldsOnlyDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void StartBankScan(Context& ctx) {
  BankState& banks = ctx.banks;
  if (LastChannelSlot(banks.bankSlots) < kFirstChannelSlot) {
    // An empty bank has nothing to scan; its terminator is no frequency.
    Say(ctx, "inv");
    return;
  }
  ctx.link.bankScanState = 2;
  banks.bankScanIndex = kFirstChannelSlot;
  TuneBankSlot(ctx, kFirstChannelSlot);
  ApplyBankModeAndStep(ctx);
}

void StepBankChannel(Context& ctx) {
  const bool up = ctx.panel.currentKey == keys::kUp;
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

void DeleteBankFile(Context& ctx) {
  // A missing file is no failure to the listener: the bank is gone either way.
  ctx.platform.files->RemoveFile("bank" + ctx.command.entryText + ".dat");
}

}  // namespace voxrig
