// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/memory_lines.h"

#include <algorithm>

#include "link/receiver_commands.h"

namespace voxrig::receiver {

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int64_t NumberOf(std::string_view digits) {
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

bool IsSwitch(std::string_view value) {
  return value == "0" || value == "1";
}

}  // namespace

std::string ReadBankStart(char bank) {
  return std::string("MA") + bank;
}

std::optional<MemoryLine> ParseMemoryLine(std::string_view line, char bank) {
  MemoryLine channel;
  if (line == "---") {
    channel.empty = true;
    return channel;
  }
  if (line.size() < 5 || line.substr(0, 2) != "MX" || line[2] != bank ||
      !AllDigits(line.substr(3, 2))) {
    return std::nullopt;
  }
  channel.channel = static_cast<int>(NumberOf(line.substr(3, 2)));
  bool hasFrequency = false, hasMode = false;
  std::size_t at = 5;
  while (at < line.size()) {
    if (line[at] != ' ') return std::nullopt;
    while (at < line.size() && line[at] == ' ') ++at;
    if (at == line.size()) break;
    const std::string_view tag = line.substr(at, 2);
    at += tag.size();
    if (tag == "TM") {
      // The name is the rest of the line, blanks and all.
      channel.name = std::string(line.substr(at, kChannelNameLength));
      break;
    }
    const std::size_t end = std::min(line.find(' ', at), line.size());
    const std::string_view value = line.substr(at, end - at);
    at = end;
    if (tag == "RF") {
      // Ten digits of hertz; an eleventh when the frequency has seven decimals.
      if (!AllDigits(value) || value.size() < 10 || value.size() > 11) return std::nullopt;
      channel.hz = NumberOf(value);
      hasFrequency = true;
    } else if (tag == "ST") {
      if (!AllDigits(value) || value.size() > 6) return std::nullopt;
      channel.stepHz = NumberOf(value);
    } else if (tag == "MD") {
      if (value.size() != 1 || value[0] < '0' || value[0] > '8') return std::nullopt;
      channel.modeCode = value[0] - '0';
      hasMode = true;
    } else if (tag == "AU") {
      if (!IsSwitch(value)) return std::nullopt;
      channel.automaticMode = value == "1";
    } else if (tag.size() < 2) {
      return std::nullopt;
    }
    // Other fields (the pass flag, the attenuator) say nothing a bank file keeps.
  }
  if (!hasFrequency || !hasMode) return std::nullopt;
  return channel;
}

}  // namespace voxrig::receiver
