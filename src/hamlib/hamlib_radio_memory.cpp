// SPDX-License-Identifier: GPL-3.0-or-later
// The memories of a radio driven through Hamlib, laid out as banks.
#include <algorithm>
#include <utility>

#include "core/receiver_modes.h"
#include "hamlib/hamlib_capabilities.h"
#include "hamlib/hamlib_numbers.h"
#include "hamlib/hamlib_radio.h"

namespace voxrig {

namespace {

// A bank is read ten channels at a time, as the AR8600's are.
constexpr int kChannelsPerBatch = 10;

bool Before(char bank, int slot, char otherBank, int otherSlot) {
  return bank < otherBank || (bank == otherBank && slot < otherSlot);
}

}  // namespace

bool HamlibRadio::HasChannel(char bank, int slot) const {
  return capabilities_.HasBank(bank) && slot >= 0 && slot < memories_.ChannelsIn(bank);
}

MemoryChannel HamlibRadio::ChannelOf(char bank, int slot, const StoredChannel& stored) const {
  MemoryChannel channel;
  channel.empty = stored.empty;
  channel.bank = bank;
  channel.channel = slot;
  if (stored.empty) return channel;
  channel.hz = stored.hz;
  channel.stepHz = stored.stepHz;
  // A mode the panel has no key for is heard as the radio's own choice.
  if (stored.mode != RIG_MODE_NONE) channel.mode = PanelModeOf(stored.mode);
  channel.automaticMode = !channel.mode;
  channel.receiverModeCode = channel.mode ? ModeFacts(*channel.mode).receiverCode : 1;
  channel.name = stored.name;
  return channel;
}

RadioResult HamlibRadio::TuneToChannel(const MemoryPlace& place) {
  const RadioResult result = Tune(place.channel.hz);
  if (result != RadioResult::kDone) return result;
  // A channel of the radio's own choosing keeps the mode the radio is in.
  const std::optional<Mode> mode =
      place.channel.mode == RIG_MODE_NONE ? std::nullopt : PanelModeOf(place.channel.mode);
  if (mode && mode != mode_) {
    const RadioResult modeResult =
        Check(rig_set_mode(rig_, RIG_VFO_CURR, place.channel.mode, RIG_PASSBAND_NORMAL));
    LogCall("set_mode " + std::string(rig_strrmode(place.channel.mode)), modeResult);
    if (modeResult == RadioResult::kDone) mode_ = mode;
  }
  onChannel_ = place;
  return gone_ ? RadioResult::kLineGone : RadioResult::kDone;
}

RadioResult HamlibRadio::StartMemoryScan(const std::string& banks) {
  if (gone_) return RadioResult::kLineGone;
  if (!capabilities_.memories.scan) return RadioResult::kNotOnThisRadio;
  std::string scanned = banks.empty() ? capabilities_.memories.banks : banks;
  std::sort(scanned.begin(), scanned.end());
  for (const char bank : scanned) {
    if (!capabilities_.HasBank(bank)) return RadioResult::kNotOnThisRadio;
  }
  return ScanBanks(scanned, std::nullopt);
}

RadioResult HamlibRadio::RestartMemoryScan() {
  if (gone_) return RadioResult::kLineGone;
  if (!capabilities_.memories.scan) return RadioResult::kNotOnThisRadio;
  // Goes on with the banks the scan or the last recall was in, from the
  // channel after the one it was on.
  if (!onChannel_) return RadioResult::kRefused;
  const bool inScan = scanBanks_.find(onChannel_->bank) != std::string::npos;
  return ScanBanks(inScan ? scanBanks_ : std::string(1, onChannel_->bank), onChannel_);
}

RadioResult HamlibRadio::ScanBanks(const std::string& banks,
                                   const std::optional<MemoryPlace>& after) {
  // Going on after a pass needs no second read of the banks (a hundred
  // channel reads on a slow radio): the passed channel has left the list.
  const bool goesOn = after && !scanList_.empty() && scanBanks_ == banks;
  std::vector<MemoryPlace> list = goesOn ? scanList_ : std::vector<MemoryPlace>{};
  if (!goesOn) {
    for (const char bank : banks) {
      for (int slot = 0; slot < memories_.ChannelsIn(bank); ++slot) {
        MemoryPlace place{bank, slot, {}};
        const RadioResult result = CheckChannelCall(memories_.Read(bank, slot, place.channel));
        if (result != RadioResult::kDone) return result;
        if (!place.channel.empty && !place.channel.passed) list.push_back(place);
      }
    }
  }
  // Banks with no channel to visit have no scan, as the receiver answers.
  if (list.empty()) return RadioResult::kRefused;
  StopRadiosSearch();
  scanList_ = std::move(list);
  scanBanks_ = banks;
  sweepOver_ = SweepOver::kMemories;
  sweep_ = Sweep::kStepping;
  onChannel_ = after ? *after : MemoryPlace{banks.front(), -1, {}};
  return StepMemoryScan();
}

RadioResult HamlibRadio::StepMemoryScan() {
  if (scanList_.empty()) {
    sweep_ = Sweep::kOff;
    return RadioResult::kDone;
  }
  // The next channel after the one the scan is on, round to the first after
  // the last.
  const char bank = onChannel_ ? onChannel_->bank : 'A';
  const int slot = onChannel_ ? onChannel_->slot : -1;
  const auto next = std::find_if(scanList_.begin(), scanList_.end(), [&](const MemoryPlace& place) {
    return Before(bank, slot, place.bank, place.slot);
  });
  return TuneToChannel(next == scanList_.end() ? scanList_.front() : *next);
}

RadioResult HamlibRadio::AskCurrentChannel() {
  if (gone_) return RadioResult::kLineGone;
  currentChannel_.reset();
  if (!capabilities_.memories.read) return RadioResult::kNotOnThisRadio;
  if (!onChannel_ || onChannel_->slot < 0) return RadioResult::kRefused;
  currentChannel_ = ChannelOf(onChannel_->bank, onChannel_->slot, onChannel_->channel);
  return RadioResult::kDone;
}

std::optional<MemoryChannel> HamlibRadio::TakeCurrentChannel() {
  return std::exchange(currentChannel_, std::nullopt);
}

RadioResult HamlibRadio::RecallChannel(char bank, int channel) {
  if (gone_) return RadioResult::kLineGone;
  if (!capabilities_.memories.read || !HasChannel(bank, channel)) {
    return RadioResult::kNotOnThisRadio;
  }
  MemoryPlace place{bank, channel, {}};
  const RadioResult result = CheckChannelCall(memories_.Read(bank, channel, place.channel));
  if (result != RadioResult::kDone) return result;
  if (place.channel.empty) return RadioResult::kRefused;
  StopRadiosSearch();
  return TuneToChannel(place);
}

RadioResult HamlibRadio::PassChannel(bool pass) {
  if (gone_) return RadioResult::kLineGone;
  if (!capabilities_.memories.write) return RadioResult::kNotOnThisRadio;
  if (!onChannel_ || onChannel_->slot < 0) return RadioResult::kRefused;
  MemoryPlace& place = *onChannel_;
  StoredChannel channel = place.channel;
  channel.passed = pass;
  const RadioResult result = CheckChannelCall(memories_.Write(place.bank, place.slot, channel));
  LogCall("set_channel " + std::string(1, place.bank) + std::to_string(place.slot) +
              (pass ? " skip" : " scan"),
          result);
  if (result != RadioResult::kDone) return result;
  place.channel = channel;
  // A passed channel leaves the scan at once. One taken back joins it when
  // the scan starts again, which reads the banks afresh.
  if (pass) {
    std::erase_if(scanList_, [&](const MemoryPlace& p) {
      return p.bank == place.bank && p.slot == place.slot;
    });
  } else {
    scanList_.clear();
  }
  return RadioResult::kDone;
}

RadioResult HamlibRadio::AskBankChannels(char bank, bool first) {
  if (gone_) return RadioResult::kLineGone;
  bankBatch_.reset();
  if (!capabilities_.memories.read || !HasChannel(bank)) return RadioResult::kNotOnThisRadio;
  if (first) readNext_ = 0;
  const int size = memories_.ChannelsIn(bank);
  BankBatch batch;
  if (readNext_ >= size) {
    batch.end = true;
    bankBatch_ = batch;
    return RadioResult::kDone;
  }
  // Some drivers read a channel by selecting it: the radio goes back to
  // where the listener had it.
  freq_t listeningAt = 0;
  RadioResult result = Check(rig_get_freq(rig_, RIG_VFO_CURR, &listeningAt));
  if (result != RadioResult::kDone) return result;
  // Always ten, as the AR8600's banks come in tens: past a bank that ends
  // within them, the channels there are empty.
  const int end = readNext_ + kChannelsPerBatch;
  for (; readNext_ < end && result == RadioResult::kDone; ++readNext_) {
    StoredChannel stored;
    if (readNext_ < size) result = CheckChannelCall(memories_.Read(bank, readNext_, stored));
    batch.channels.push_back(ChannelOf(bank, readNext_, stored));
  }
  freq_t now = 0;
  if (!gone_ && Check(rig_get_freq(rig_, RIG_VFO_CURR, &now)) == RadioResult::kDone &&
      now != listeningAt) {
    Tune(static_cast<std::int64_t>(listeningAt));
  }
  // A channel that cannot be read gives no batch at all: no bank file is
  // written with a channel missing.
  if (gone_) return RadioResult::kLineGone;
  if (result != RadioResult::kDone) return result;
  bankBatch_ = std::move(batch);
  return RadioResult::kDone;
}

std::optional<BankBatch> HamlibRadio::TakeBankChannels(char /*bank*/) {
  return std::exchange(bankBatch_, std::nullopt);
}

RadioResult HamlibRadio::WriteChannel(char bank, int channel, const std::string& megahertz,
                                      const std::string& stepKilohertz, const std::string& modeText,
                                      const std::string& name) {
  if (gone_) return RadioResult::kLineGone;
  if (!capabilities_.memories.write || !HasChannel(bank, channel)) {
    return RadioResult::kNotOnThisRadio;
  }
  const auto hz = ScaledDecimal(megahertz, 6);
  const auto stepHz = ScaledDecimal(stepKilohertz, 3);
  const ReceiverMode* mode = ModeOfPanelText(modeText);
  if (!hz || *hz <= 0 || !stepHz || mode == nullptr) return RadioResult::kRefused;
  StoredChannel stored;
  stored.empty = false;
  stored.hz = *hz;
  stored.stepHz = *stepHz;
  // A channel left to pick its mode by band keeps none of its own.
  stored.mode = HamlibModeOf(mode->mode);
  stored.name = name;
  const RadioResult result = CheckChannelCall(memories_.Write(bank, channel, stored));
  LogCall(
      "set_channel " + std::string(1, bank) + std::to_string(channel) + " " + std::to_string(*hz),
      result);
  return result;
}

RadioResult HamlibRadio::ClearBank(char bank) {
  if (gone_) return RadioResult::kLineGone;
  if (!capabilities_.memories.write || !HasChannel(bank)) return RadioResult::kNotOnThisRadio;
  for (int slot = 0; slot < memories_.ChannelsIn(bank); ++slot) {
    // A radio that refuses to empty a channel leaves the rest as they are;
    // the check after W tells the listener what the bank holds.
    const RadioResult result = CheckChannelCall(memories_.Write(bank, slot, StoredChannel{}));
    if (result != RadioResult::kDone) {
      LogCall("set_channel " + std::string(1, bank) + std::to_string(slot) + " empty", result);
      return result;
    }
  }
  LogCall("set_channel " + std::string(1, bank) + " all empty", RadioResult::kDone);
  if (onChannel_ && onChannel_->bank == bank) onChannel_.reset();
  scanList_.clear();
  return RadioResult::kDone;
}

RadioResult HamlibRadio::AskBankSize(char bank) {
  if (gone_) return RadioResult::kLineGone;
  bankSize_.reset();
  if (!capabilities_.memories.read) return RadioResult::kNotOnThisRadio;
  bankSize_ = BankSize{bank, memories_.ChannelsIn(bank)};
  return RadioResult::kDone;
}

std::optional<BankSize> HamlibRadio::TakeBankSize(char /*bank*/) {
  return std::exchange(bankSize_, std::nullopt);
}

RadioResult HamlibRadio::SetBankSizeNinety(char /*bank*/) {
  // A radio's memories are of a fixed size.
  return RadioResult::kNotOnThisRadio;
}

}  // namespace voxrig
