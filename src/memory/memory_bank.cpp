// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/memory_bank.h"

#include <array>

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "core/receiver_modes.h"
#include "tuning/frequency.h"

namespace voxrig::banks {

namespace {

// The receiver's nine MD digits, 0 to 8; any other number is taken modulo 9.
constexpr std::size_t kReceiverModeCodes = 9;

// The receiver's modes the panel has none of, and the mode each is heard in.
struct NarrowerMode {
  int receiverCode;
  Mode heardAs;
};
constexpr std::array<NarrowerMode, 3> kNarrowerModes{{
    {6, Mode::kFM},  // SFM
    {7, Mode::kAM},  // WAM
    {8, Mode::kAM},  // NAM
}};

}  // namespace

std::string StepText(std::int64_t hz) {
  std::string text = std::to_string(hz / 1000);
  std::string decimals = std::to_string(hz % 1000);
  decimals.insert(0, 3 - decimals.size(), '0');
  while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
  return decimals.empty() ? text : text + "." + decimals;
}

std::string BankModeOf(const MemoryChannel& channel) {
  if (channel.automaticMode) return std::string(ModeFacts(Mode::kAUT).panelText);
  const auto code =
      static_cast<int>(static_cast<std::size_t>(channel.receiverModeCode) % kReceiverModeCodes);
  if (const ReceiverMode* mode = ModeOfReceiverCode(code)) return std::string(mode->panelText);
  for (const NarrowerMode& narrower : kNarrowerModes) {
    if (narrower.receiverCode == code) return std::string(ModeFacts(narrower.heardAs).panelText);
  }
  return std::string(ModeFacts(Mode::kFM).panelText);
}

std::string TagOfName(const std::string& name) {
  std::string tag = name;
  while (!tag.empty() && tag.back() == ' ') tag.pop_back();
  if (tag.empty()) return " ";
  // A tag line reading "9999" would end the bank there; the blank the
  // receiver padded the name with is kept instead.
  if (tag == kBankTerminator) tag += ' ';
  return tag;
}

MemoryBank BankFromMemory(const std::vector<MemoryChannel>& lines, const BankHeader& header) {
  MemoryBank bank;
  BankState::Slots& slots = bank.slots;
  slots[0] = header.label;
  slots[1] = header.mode;
  slots[2] = header.step;
  slots[3] = " ";
  int slot = kFirstChannelSlot;
  for (const MemoryChannel& line : lines) {
    if (line.empty) continue;
    // A receiver bank holds at most 90 channels; the file holds more.
    if (slot + 2 >= BankState::kFileLines) break;
    const std::string mode = BankModeOf(line);
    if (bank.channels == 0) {
      slots[1] = mode;
      if (line.stepHz > 0) slots[2] = StepText(line.stepHz);
    } else if (mode != slots[1]) {
      bank.severalModes = true;
    }
    slots[static_cast<std::size_t>(slot++)] = MegahertzText(line.hz);
    slots[static_cast<std::size_t>(slot++)] = TagOfName(line.name);
    ++bank.channels;
  }
  slots[static_cast<std::size_t>(slot)] = kBankTerminator;
  return bank;
}

}  // namespace voxrig::banks
