// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlib/hamlib_memories.h"

#include <algorithm>
#include <cstring>

namespace voxrig {

namespace {

// Room for the extension levels of any driver, with the list's end marker.
constexpr std::size_t kMostExtensionLevels = 64;

std::size_t ExtensionLevelCount(const rig_caps* caps) {
  std::size_t count = 0;
  if (caps->extlevels == nullptr) return 0;
  while (caps->extlevels[count].token != RIG_CONF_END && count < kMostExtensionLevels) ++count;
  return count;
}

bool IsBankLetter(char bank) {
  return bank >= 'A' && bank < 'A' + kMostBanks;
}

}  // namespace

MemoryLayout MemoryLayoutOf(const rig_caps& caps, const chan_t* channelList) {
  MemoryLayout layout;
  constexpr std::size_t kMostChannels = kMostBanks * kBankChannels;
  for (int i = 0; i < HAMLIB_CHANLSTSIZ && !RIG_IS_CHAN_END(channelList[i]); ++i) {
    if (channelList[i].type != RIG_MTYPE_MEM) continue;
    for (int n = channelList[i].startc;
         n <= channelList[i].endc && layout.channels.size() < kMostChannels; ++n) {
      layout.channels.push_back(n);
    }
  }
  // Hamlib carries out a channel call with the radio's own, or by selecting
  // the channel and copying it to or from the VFO.
  const bool throughVfo = caps.set_mem != nullptr && caps.vfo_op != nullptr;
  layout.readable = !layout.channels.empty() && (caps.get_channel != nullptr || throughVfo);
  layout.writable = layout.readable && (caps.set_channel != nullptr || throughVfo);
  return layout;
}

std::string BankLetters(const MemoryLayout& layout) {
  std::string letters;
  for (char bank = 'A'; IsBankLetter(bank) && ChannelsInBank(layout, bank) > 0; ++bank)
    letters += bank;
  return letters;
}

int ChannelsInBank(const MemoryLayout& layout, char bank) {
  if (!layout.readable || !IsBankLetter(bank)) return 0;
  const int first = (bank - 'A') * kBankChannels;
  return std::clamp(static_cast<int>(layout.channels.size()) - first, 0, kBankChannels);
}

HamlibMemories::HamlibMemories(s_rig* rig)
    : rig_(rig), layout_(MemoryLayoutOf(*rig->caps, rig->state.chan_list)) {
  extensionLevels_.resize(std::max(ExtensionLevelCount(rig->caps), kMostExtensionLevels) + 1);
}

std::optional<int> HamlibMemories::ChannelNumber(char bank, int slot) const {
  if (slot < 0 || slot >= ChannelsIn(bank)) return std::nullopt;
  return layout_.channels[static_cast<std::size_t>((bank - 'A') * kBankChannels + slot)];
}

channel_t HamlibMemories::BlankChannel(int number) {
  channel_t channel;
  std::memset(&channel, 0, sizeof channel);
  channel.channel_num = number;
  channel.vfo = RIG_VFO_MEM;
  std::fill(extensionLevels_.begin(), extensionLevels_.end(), ext_list{});
  channel.ext_levels = extensionLevels_.data();
  return channel;
}

int HamlibMemories::Read(char bank, int slot, StoredChannel& channel) {
  const auto number = ChannelNumber(bank, slot);
  if (!number) return -RIG_EINVAL;
  channel_t read = BlankChannel(*number);
  const int result = rig_get_channel(rig_, RIG_VFO_MEM, &read, 1);
  channel = {};
  // Some drivers say a channel with nothing stored is not there at all.
  if (result == -RIG_ENAVAIL) return RIG_OK;
  if (result != RIG_OK || read.freq <= 0) return result;
  channel.empty = false;
  channel.hz = static_cast<std::int64_t>(read.freq);
  channel.stepHz = static_cast<std::int64_t>(read.tuning_step);
  channel.mode = read.mode;
  channel.passed = (read.flags & RIG_CHFLAG_SKIP) != 0;
  read.channel_desc[sizeof read.channel_desc - 1] = '\0';
  channel.name = read.channel_desc;
  return RIG_OK;
}

int HamlibMemories::Write(char bank, int slot, const StoredChannel& channel) {
  const auto number = ChannelNumber(bank, slot);
  if (!number || !layout_.writable) return -RIG_EINVAL;
  channel_t written = BlankChannel(*number);
  if (!channel.empty) {
    written.freq = static_cast<freq_t>(channel.hz);
    written.mode = channel.mode;
    written.width = RIG_PASSBAND_NORMAL;
    written.tuning_step = static_cast<shortfreq_t>(channel.stepHz);
    written.flags = channel.passed ? RIG_CHFLAG_SKIP : RIG_CHFLAG_NONE;
    std::strncpy(written.channel_desc, channel.name.c_str(), sizeof written.channel_desc - 1);
  }
  return rig_set_channel(rig_, RIG_VFO_MEM, &written);
}

}  // namespace voxrig
