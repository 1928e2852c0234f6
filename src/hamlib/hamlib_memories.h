// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include "hamlib/hamlib_vocabulary.h"

struct s_rig;
struct ext_list;
struct channel;

namespace voxrig {

// A radio's memory channels, reached with Hamlib's channel calls, laid out
// as the AR8600's banks so that W, X, G and Z work on them unchanged.
//
// Why banks of a hundred: most radios number their memories from 0 or 1 up
// to 99, 199 or 999 and have no banks the listener could name. Bank A is the
// radio's first hundred memory channels, bank B the next hundred, and so on
// to J; a radio with 19 memories has only bank A, of 19 channels. The radio's
// call and edge channels are not memories and are left out.
class HamlibMemories {
 public:
  static constexpr int kBankChannels = 100;

  explicit HamlibMemories(s_rig* rig);

  // The radio has memory channels Hamlib can read.
  bool Readable() const { return readable_; }
  // ... and write.
  bool Writable() const { return writable_; }
  // The channels of a bank A to J: 0 for a bank the radio does not have.
  int BankSize(char bank) const;

  // Reads one channel (an empty one has `empty` set); Hamlib's result code.
  int Read(char bank, int slot, hamlib_vocabulary::MemoryChannel& channel);
  // Stores one channel, or empties it when `channel.empty`; Hamlib's result.
  int Write(char bank, int slot, const hamlib_vocabulary::MemoryChannel& channel);

 private:
  std::optional<int> ChannelNumber(char bank, int slot) const;
  // A channel record for Hamlib to fill or store, with room for its
  // extension levels.
  struct ::channel BlankChannel(int number);

  s_rig* rig_;
  std::vector<int> channels_;  // the radio's memory channel numbers, in order
  bool readable_ = false;
  bool writable_ = false;
  // Where Hamlib puts a channel's extension levels: some radios' drivers
  // copy them on every call and refuse a channel without room for them.
  std::vector<::ext_list> extensionLevels_;
};

}  // namespace voxrig
