// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <hamlib/rig.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace voxrig {

// One memory channel as Hamlib keeps it, in the terms the panel needs.
struct StoredChannel {
  bool empty = true;
  std::int64_t hz = 0;
  std::int64_t stepHz = 0;
  // RIG_MODE_NONE: the radio picks the mode by band.
  rmode_t mode = RIG_MODE_NONE;
  bool passed = false;  // skipped by the memory scan
  std::string name;
};

// Where a radio's memory channels are, and whether Hamlib can reach them:
// read from the model's record, so it is known before a radio is opened.
struct MemoryLayout {
  std::vector<int> channels;  // the radio's memory channel numbers, in order
  bool readable = false;
  bool writable = false;
};

// Why banks of a hundred: most radios number their memories from 0 or 1 up
// to 99, 199 or 999 and have no banks the listener could name. Bank A is the
// radio's first hundred memory channels, bank B the next hundred, and so on
// to J; a radio with 19 memories has only bank A, of 19 channels. The radio's
// call and edge channels are not memories and are left out.
inline constexpr int kBankChannels = 100;
inline constexpr int kMostBanks = 10;

MemoryLayout MemoryLayoutOf(const rig_caps& caps, const chan_t* channelList);
// The letters of the banks the layout fills, from A.
std::string BankLetters(const MemoryLayout& layout);
// The channels of a bank: 0 for a bank the radio does not have.
int ChannelsInBank(const MemoryLayout& layout, char bank);

// A radio's memory channels, reached with Hamlib's channel calls, laid out
// as banks lettered from A.
class HamlibMemories {
 public:
  explicit HamlibMemories(s_rig* rig);

  bool Readable() const { return layout_.readable; }
  bool Writable() const { return layout_.writable; }
  int ChannelsIn(char bank) const { return ChannelsInBank(layout_, bank); }

  // Reads one channel (an empty one has `empty` set); Hamlib's result code.
  int Read(char bank, int slot, StoredChannel& channel);
  // Stores one channel, or empties it when `channel.empty`; Hamlib's result.
  int Write(char bank, int slot, const StoredChannel& channel);

 private:
  std::optional<int> ChannelNumber(char bank, int slot) const;
  // A channel record for Hamlib to fill or store, with room for its
  // extension levels.
  channel_t BlankChannel(int number);

  s_rig* rig_;
  MemoryLayout layout_;
  // Where Hamlib puts a channel's extension levels: some radios' drivers
  // copy them on every call and refuse a channel without room for them.
  std::vector<ext_list> extensionLevels_;
};

}  // namespace voxrig
