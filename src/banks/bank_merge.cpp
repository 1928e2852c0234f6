// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_merge.h"

#include <algorithm>

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_names.h"
#include "core/text_rules.h"
#include "link/receiver_commands.h"
#include "platform/file_system.h"
#include "speech/speech.h"

// P and T: channels are added to a target bank from the source list
// sourceSlots, after the target's own channels and never over them.
namespace voxrig {

namespace {

using banks::BankLayout;
using banks::Channel;

bool HoldsFrequency(const BankLayout& layout, const BoundedText& frequency) {
  return std::any_of(layout.channels.begin(), layout.channels.end(),
                     [&](const Channel& channel) { return channel.frequency == frequency; });
}

// The source bank, just read into bankSlots, becomes the source list: its
// header, every channel in front of its real terminator, and a terminator.
void CopySourceList(Context& ctx) {
  const BankState::Slots& bank = ctx.banks.bankSlots;
  BankState::Slots& source = ctx.banks.sourceSlots;
  const BankLayout layout = banks::ReadLayout(bank, BankState::kFileLines);
  for (BoundedText& slot : source) slot.clear();
  for (int i = 0; i < banks::kHeaderSlots; ++i) {
    // Header lines at or after a terminator are not part of the bank.
    const bool inBank = layout.terminator < 0 || i < layout.terminator;
    if (inBank) source[i] = bank[i];
  }
  int slot = banks::kFirstChannelSlot;
  for (const Channel& channel : layout.channels) {
    source[slot++] = channel.frequency;
    source[slot++] = channel.tag;
  }
  source[slot] = kBankTerminator;  // at most slot 400 of the 420
}

// The merge itself: a missing target is made with the source's header.
void MergeWithResult(Context& ctx, const std::string& argument) {
  BankState& banks = ctx.banks;
  BankState::Slots& target = banks.bankSlots;
  const BankState::Slots& source = banks.sourceSlots;
  banks.bankFileName = banks::BankFileName(banks::MergeTargetNumber(argument));
  ReadBankFile(ctx);
  bool writesOk = true;
  if (banks.bankFound && BankFileTooLong(ctx)) {
    // Channels past the bank's 400 lines would be cut off: nothing is added.
    SayWriteResult(ctx, false);
    return;
  }
  if (!banks.bankFound && ctx.platform.files != nullptr &&
      ctx.platform.files->Exists(BankFileOnDisk(ctx, banks.bankFileName.str()))) {
    // A named pipe or a folder under the bank's name: it is no bank to create.
    Say(ctx, "wrerr");
    return;
  }
  if (!banks.bankFound) {
    Say(ctx, "create");
    Say(ctx, MiddleText(banks.bankFileName.str(), 5, 1));
    Say(ctx, MiddleText(banks.bankFileName.str(), 6, 1));
    target[0] = "bank" + argument;
    for (int i = 1; i < banks::kHeaderSlots; ++i) target[i] = source[i];
    target[banks::kFirstChannelSlot] = kBankTerminator;
    writesOk = WriteBankFile(ctx);
  }
  if (target[1] != source[1]) {
    Say(ctx, "incmode");
    return;
  }
  BankLayout merged = banks::ReadLayout(target, BankState::kFileLines);
  const int oldLastSlot = banks::LastFileSlot(merged);
  const std::size_t channelsBefore = merged.channels.size();
  const BankLayout from = banks::ReadLayout(source, BankState::kSlotCount);
  for (const Channel& channel : from.channels) {
    if (HoldsFrequency(merged, channel.frequency)) continue;
    if (!banks::HasRoomForChannel(merged)) {
      // The target's file is full: what it holds stays, the rest is not added.
      Say(ctx, "n");
      break;
    }
    merged.channels.push_back(channel);
  }
  banks::WriteLayout(target, merged, oldLastSlot);
  const bool written = WriteBankFile(ctx) && writesOk;
  SayWriteResult(ctx, written);
  // The bank keeps every channel, but W gives a receiver bank only its first
  // 91: a bank this key made longer than that is told once, after the "ok".
  const bool grew = merged.channels.size() > channelsBefore;
  if (written && grew && merged.channels.size() > banks::kReceiverBankChannels) {
    Say(ctx, "over91");
  }
}

}  // namespace

void PutFrequency(Context& ctx, const std::string& argument) {
  if (banks::RefuseBankArgument(ctx, argument)) return;
  // A frequency typed but never tuned may be one the receiver cannot take
  // ("3000", "1.4.5"): it would be a channel no key could tune.
  if (!receiver::StorableChannelFrequency(ctx.tuning.frequencyText.str())) {
    Say(ctx, "inv");
    return;
  }
  BankState::Slots& source = ctx.banks.sourceSlots;
  source[0] = "bank00";
  source[1] = ctx.tuning.modeText;
  source[2] = ctx.tuning.searchStepText;
  source[3] = " ";
  source[4] = ctx.tuning.frequencyText;
  source[5] = " ";
  source[6] = kBankTerminator;
  MergeWithResult(ctx, argument);
}

void TransferBank(Context& ctx, const std::string& argument) {
  if (banks::RefuseBankArgument(ctx, argument)) return;
  BankState& banks = ctx.banks;
  banks.bankFileName = banks::BankFileName(banks::TransferSourceNumber(argument));
  ReadBankFile(ctx);
  if (banks.bankFound && BankFileTooLong(ctx)) {
    // Only the source's first 400 lines are in memory: a copy would leave
    // its last channels behind without a word.
    SayWriteResult(ctx, false);
    return;
  }
  // A missing source ("bnf" has been said) has no channels to give: the T
  // ends there, and no file is made for it.
  if (!banks.bankFound) return;
  CopySourceList(ctx);
  MergeWithResult(ctx, argument);
}

void MergeIntoBank(Context& ctx, const std::string& argument) {
  MergeWithResult(ctx, argument);
}

}  // namespace voxrig
