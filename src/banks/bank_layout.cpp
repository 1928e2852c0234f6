// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_layout.h"

#include <algorithm>

#include "banks/bank_file.h"
#include "link/receiver_commands.h"
#include "tuning/modes.h"

namespace voxrig::banks {

namespace {

// Lines that the end of the bank takes: its tail, or the terminator line that
// a bank without one is given when it is laid out again.
std::size_t EndLines(const BankLayout& layout) {
  return layout.tail.empty() ? 1 : layout.tail.size();
}

}  // namespace

int TerminatorSlot(const BankState::Slots& slots, int limit) {
  const int end = std::min(limit, BankState::kSlotCount);
  for (int i = 0; i < end; ++i) {
    if (slots[i] == kBankTerminator) return i;
  }
  return -1;
}

BankLayout ReadLayout(const BankState::Slots& slots, int limit) {
  BankLayout layout;
  layout.terminator = TerminatorSlot(slots, limit);
  if (layout.terminator >= 0 && layout.terminator < kHeaderSlots) {
    layout.headerCut = true;
    return layout;
  }
  const int end =
      layout.terminator >= 0 ? layout.terminator : std::min(limit, BankState::kSlotCount);
  int slot = kFirstChannelSlot;
  if (end > slot) layout.channels.reserve(static_cast<std::size_t>(end - slot) / 2);
  for (; slot + 1 < end; slot += 2) layout.channels.push_back({slots[slot], slots[slot + 1]});
  if (layout.terminator >= 0) {
    for (; slot <= layout.terminator; ++slot) layout.tail.push_back(slots[slot]);
  } else {
    while (!layout.channels.empty() && layout.channels.back().frequency.empty() &&
           layout.channels.back().tag.empty()) {
      layout.channels.pop_back();
    }
  }
  return layout;
}

int LastChannelSlot(const BankLayout& layout) {
  return static_cast<int>(kFirstChannelSlot - 2 + 2 * layout.channels.size());
}

bool HasRoomForChannel(const BankLayout& layout) {
  if (layout.headerCut) return false;
  const auto lines = kHeaderSlots + 2 * (layout.channels.size() + 1) + EndLines(layout);
  return lines <= static_cast<std::size_t>(BankState::kFileLines);
}

int LastFileSlot(const BankLayout& layout) {
  return layout.terminator >= 0 ? layout.terminator : BankState::kFileLines - 1;
}

void WriteLayout(BankState::Slots& slots, const BankLayout& layout, int oldLastSlot) {
  if (layout.headerCut) return;
  const int end = BankState::kFileLines;
  int slot = kFirstChannelSlot;
  for (const Channel& channel : layout.channels) {
    if (slot + 1 >= end) break;
    slots[slot++] = channel.frequency;
    slots[slot++] = channel.tag;
  }
  if (layout.tail.empty()) {
    if (slot < end) slots[slot++] = kBankTerminator;
  } else {
    for (const BoundedText& text : layout.tail) {
      if (slot >= end) break;
      slots[slot++] = text;
    }
  }
  for (const int last = std::min(oldLastSlot, end - 1); slot <= last; ++slot) {
    slots[slot] = kBankTerminator;
  }
}

int FirstRefusedLine(const BankState::Slots& slots) {
  constexpr int kModeLine = 2, kStepLine = 3;
  if (!IsModeName(slots[1].str())) return kModeLine;
  if (!receiver::IsReceiverStep(slots[2].str())) return kStepLine;
  const BankLayout layout = ReadLayout(slots, BankState::kFileLines);
  for (std::size_t k = 0; k < layout.channels.size(); ++k) {
    if (!receiver::IsReceiverFrequency(layout.channels[k].frequency.str())) {
      return ChannelSlot(static_cast<int>(k)) + 1;
    }
  }
  return 0;
}

}  // namespace voxrig::banks
