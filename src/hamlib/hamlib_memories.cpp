// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlib/hamlib_memories.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <cstring>

#include "hamlib/hamlib_modes.h"

namespace voxrig {

namespace {

namespace vocabulary = hamlib_vocabulary;

constexpr int kBanks = 10;
// Room for the extension levels of any driver, with the list's end marker.
constexpr std::size_t kMostExtensionLevels = 64;

std::size_t ExtensionLevelCount(const rig_caps* caps) {
  std::size_t count = 0;
  if (caps->extlevels == nullptr) return 0;
  while (caps->extlevels[count].token != RIG_CONF_END && count < kMostExtensionLevels) ++count;
  return count;
}

}  // namespace

HamlibMemories::HamlibMemories(s_rig* rig) : rig_(rig) {
  const chan_t* ranges = rig_->state.chan_list;
  for (int i = 0; i < HAMLIB_CHANLSTSIZ && !RIG_IS_CHAN_END(ranges[i]); ++i) {
    if (ranges[i].type != RIG_MTYPE_MEM) continue;
    for (int n = ranges[i].startc; n <= ranges[i].endc && channels_.size() < kBanks * kBankChannels;
         ++n) {
      channels_.push_back(n);
    }
  }
  const rig_caps* caps = rig_->caps;
  // Hamlib carries out a channel call with the radio's own, or by selecting
  // the channel and copying it to or from the VFO.
  const bool throughVfo = caps->set_mem != nullptr && caps->vfo_op != nullptr;
  readable_ = !channels_.empty() && (caps->get_channel != nullptr || throughVfo);
  writable_ = readable_ && (caps->set_channel != nullptr || throughVfo);
  extensionLevels_.resize(std::max(ExtensionLevelCount(caps), kMostExtensionLevels) + 1);
}

int HamlibMemories::BankSize(char bank) const {
  if (!readable_ || !vocabulary::IsBankLetter(bank)) return 0;
  const int first = (bank - 'A') * kBankChannels;
  return std::clamp(static_cast<int>(channels_.size()) - first, 0, kBankChannels);
}

std::optional<int> HamlibMemories::ChannelNumber(char bank, int slot) const {
  if (slot < 0 || slot >= BankSize(bank)) return std::nullopt;
  return channels_[static_cast<std::size_t>((bank - 'A') * kBankChannels + slot)];
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

int HamlibMemories::Read(char bank, int slot, vocabulary::MemoryChannel& channel) {
  const auto number = ChannelNumber(bank, slot);
  if (!number) return -RIG_EINVAL;
  channel_t read = BlankChannel(*number);
  const int result = rig_get_channel(rig_, RIG_VFO_MEM, &read, 1);
  channel = {};
  // Some drivers say a channel with nothing stored is not there at all.
  if (result == -RIG_ENAVAIL) return RIG_OK;
  if (result != RIG_OK || read.freq <= 0) return result;
  channel.empty = false;
  channel.hz = static_cast<long long>(read.freq);
  channel.stepHz = static_cast<long long>(read.tuning_step);
  const int code = hamlib_modes::CodeOfMode(read.mode);
  // A mode the receiver has no code for is heard as the radio's own choice.
  channel.automaticMode = code < 0;
  channel.modeCode = code < 0 ? 1 : code;
  channel.passed = (read.flags & RIG_CHFLAG_SKIP) != 0;
  read.channel_desc[sizeof read.channel_desc - 1] = '\0';
  channel.name = read.channel_desc;
  return RIG_OK;
}

int HamlibMemories::Write(char bank, int slot, const vocabulary::MemoryChannel& channel) {
  const auto number = ChannelNumber(bank, slot);
  if (!number || !writable_) return -RIG_EINVAL;
  channel_t written = BlankChannel(*number);
  if (!channel.empty) {
    written.freq = static_cast<freq_t>(channel.hz);
    // A channel left to pick its mode by band keeps none of its own.
    written.mode = channel.automaticMode
                       ? RIG_MODE_NONE
                       : hamlib_modes::kModeOfCode[static_cast<std::size_t>(channel.modeCode)];
    written.width = RIG_PASSBAND_NORMAL;
    written.tuning_step = static_cast<shortfreq_t>(channel.stepHz);
    written.flags = channel.passed ? RIG_CHFLAG_SKIP : RIG_CHFLAG_NONE;
    std::strncpy(written.channel_desc, channel.name.c_str(), sizeof written.channel_desc - 1);
  }
  return rig_set_channel(rig_, RIG_VFO_MEM, &written);
}

}  // namespace voxrig
