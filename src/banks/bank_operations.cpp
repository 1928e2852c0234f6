// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_operations.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "banks/bank_channels.h"
#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_names.h"
#include "banks/bank_undo.h"
#include "core/text_rules.h"
#include "platform/file_system.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

using banks::BankLayout;
using banks::Channel;

// Sorting leaves channels of one frequency next to each other; each channel
// whose frequency text equals the one before it goes. A channel that was just
// dropped compares as one blank, so of three equal channels in a row the third
// stays, as it always has in this panel's banks.
void DropRepeats(std::vector<Channel>& channels) {
  std::vector<bool> dropped(channels.size(), false);
  for (std::size_t i = 0; i + 1 < channels.size(); ++i) {
    const std::string here = dropped[i] ? std::string(" ") : channels[i].frequency.str();
    if (here == channels[i + 1].frequency) dropped[i + 1] = true;
  }
  std::vector<Channel> kept;
  for (std::size_t i = 0; i < channels.size(); ++i) {
    if (!dropped[i]) kept.push_back(std::move(channels[i]));
  }
  channels = std::move(kept);
}

}  // namespace

Steps<BankReading> ReadBankToSelect(Context& ctx, std::string number) {
  if (banks::RefuseBankArgument(ctx, number)) co_return BankReading::kArgumentRefused;
  BankState& banks = ctx.banks;
  banks.bankFileName = banks::BankFileName(number);
  co_await Pause(ctx);
  // No "MQA%%" goes out here: the receiver takes it as "clear memory bank A",
  // and selecting a bank file must never wipe the receiver's own channels.
  ReadBankFile(ctx);
  // A value the receiver cannot take (a hand-edited step of 23 digits, a
  // mode it does not have, a frequency past its range) would go out as a
  // malformed command: the bank is not selected and its line is told.
  const int refusedLine = banks.bankFound ? banks::FirstRefusedLine(banks.bankSlots) : 0;
  if (refusedLine > 0) {
    Say(ctx, "inv");
    Say(ctx, "line");
    SpeakCount(ctx, refusedLine);
  }
  if (!banks.bankFound || refusedLine > 0) {
    banks.selectedBankFile.clear();
    co_return BankReading::kNotSelected;
  }
  banks.selectedBankFile = banks.bankFileName;
  banks.bankScanIndex = banks::kFirstChannelSlot;
  co_return BankReading::kSelected;
}

Steps<> TuneSelectedBank(Context& ctx) {
  BankState& banks = ctx.banks;
  co_await Pause(ctx);
  // A bank without channels holds its terminator in slot 4; "9999" is no
  // frequency to tune.
  if (!banks::ReadLayout(banks.bankSlots, BankState::kFileLines).channels.empty()) {
    TuneBankSlot(ctx, banks::kFirstChannelSlot);
  }
  co_await ApplyBankModeAndStep(ctx);
  SayAboutReceiver(ctx, "sel");
  // Where the listener stands, once the receiver has been tuned there.
  const std::optional<int> slot = CurrentBankChannelSlot(ctx);
  if (slot && !ctx.link.receiverLost) SpeakBankChannel(ctx, *slot);
}

Steps<> ApplyBankModeAndStep(Context& ctx) {
  co_await Pause(ctx);
  ctx.tuning.modeText = ctx.banks.bankSlots[1];
  ApplyMode(ctx);
  co_await Pause(ctx);
  ctx.tuning.searchStepText = ctx.banks.bankSlots[2];
  SetStep(ctx);
}

void DeleteChannel(Context& ctx) {
  BankState& banks = ctx.banks;
  // A file longer than the bank in memory would lose its end; nothing changes
  // and the caller hears "toolong".
  if (BankFileTooLong(ctx)) return;
  BankLayout layout = banks::ReadLayout(banks.bankSlots, BankState::kFileLines);
  const int oldLastSlot = banks::LastFileSlot(layout);
  const int index = banks.bankScanIndex;
  const int count = static_cast<int>(layout.channels.size());
  // The channel whose record holds the index; an index outside the bank (a
  // bank put or transferred into after the selection) names no channel and
  // nothing is removed.
  const int channel = (std::max(index, banks::kFirstChannelSlot) - banks::kFirstChannelSlot) / 2;
  const bool onChannel = index >= banks::kFirstChannelSlot && channel < count;
  if (onChannel) {
    // Every later channel moves up one record, however long the bank is.
    layout.channels.erase(layout.channels.begin() + channel);
    banks::WriteLayout(banks.bankSlots, layout, oldLastSlot);
  }
  const int remaining = static_cast<int>(layout.channels.size());
  if (remaining == 0) {
    // Nothing is left to tune; the index waits on the first channel's slot.
    banks.bankScanIndex = banks::kFirstChannelSlot;
  } else {
    // The channel that followed the removed one is now the current one; after
    // the last channel the one that is now last takes its place.
    banks.bankScanIndex = banks::ChannelSlot(std::min(channel, remaining - 1));
    TuneBankSlot(ctx, banks.bankScanIndex);
  }
  WriteBankFile(ctx);
}

void SortBank(Context& ctx, const std::string& number) {
  if (banks::RefuseBankArgument(ctx, number)) return;
  BankState& banks = ctx.banks;
  banks.bankFileName = banks::BankFileName(number);
  ReadBankFile(ctx);
  if (!banks.bankFound) return;
  if (BankFileTooLong(ctx)) {
    SayWriteResult(ctx, false);
    return;
  }
  BankLayout layout = banks::ReadLayout(banks.bankSlots, BankState::kFileLines);
  const int oldLastSlot = banks::LastFileSlot(layout);
  // Only the channels in front of the terminator are ordered, by their number
  // and keeping the order of equal ones, so a frequency above 9999 MHz sorts
  // last among them instead of past the end of the bank.
  std::vector<std::pair<double, Channel>> keyed;
  keyed.reserve(layout.channels.size());
  for (Channel& channel : layout.channels) {
    keyed.emplace_back(NumberFromText(channel.frequency.str()), std::move(channel));
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  layout.channels.clear();
  for (auto& entry : keyed) layout.channels.push_back(std::move(entry.second));
  DropRepeats(layout.channels);
  banks::WriteLayout(banks.bankSlots, layout, oldLastSlot);
  SayWriteResult(ctx, WriteBankFile(ctx));
}

void DeleteBankFile(Context& ctx, const std::string& number) {
  // The file is copied for U first; without its copy it is not deleted. It is
  // found whatever its letter case; a link is deleted as the link, and U
  // makes the link again.
  ctx.banks.lastWriteTooLong = false;
  const std::string file = BankFileOnDisk(ctx, banks::BankFileName(number));
  FileSystem* files = ctx.platform.files;
  if (files == nullptr || (!files->Exists(file) && !files->IsLink(file))) {
    // Nothing was deleted: a mistyped number is told, never confirmed.
    Say(ctx, "bnf");
    return;
  }
  bool deleted = false;
  {
    UndoStepGuard step(ctx);
    deleted = RemoveBankFile(ctx, file);
  }
  SayWriteResult(ctx, deleted);
}

}  // namespace voxrig
