// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "banks/bank_csv.h"
#include "core/context.h"
#include "platform/receiver.h"

// A receiver bank, as read with "MA", turned into a bank file's slots.
namespace voxrig::banks {

struct MemoryBank {
  BankState::Slots slots;
  int channels = 0;
  // Channels of more than one mode were read; the bank keeps the first's.
  bool severalModes = false;
};

// The bank mode a channel is heard in: "AUT" when the receiver picks the mode
// by band, else the panel's name for its mode ("CW " with its blank). The
// receiver's SFM is heard as FM, WAM and NAM as AM.
std::string BankModeOf(const MemoryChannel& channel);

// The stored channels in the receiver's order (empty ones left out, so the
// bank has no gaps): frequency as the panel writes it, the name without the
// receiver's padding as the tag (one blank for none), and the first channel's
// mode and step as the bank's. `header` gives the label, and the mode and
// step of a bank that holds no channel.
MemoryBank BankFromMemory(const std::vector<MemoryChannel>& lines, const BankHeader& header);

// Kilohertz as the panel writes a step: 12500 Hz as 12.5, 25000 as 25.
std::string StepText(std::int64_t hz);

// A name as a bank file keeps it: the receiver's padding dropped, one blank
// for none, and never the text that would end the bank file.
std::string TagOfName(const std::string& name);

}  // namespace voxrig::banks
