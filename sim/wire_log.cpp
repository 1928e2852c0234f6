// SPDX-License-Identifier: GPL-3.0-or-later
#include "wire_log.h"

#include <cmath>

namespace ar8600sim {

std::string FormatWireLine(const WireEntry& entry) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = std::to_string(static_cast<long long>(std::floor(entry.atMs))) + " ";
  const std::string_view shown = entry.command.empty() ? std::string_view("\r") : entry.command;
  for (const char c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '<') {
      line += c;
    } else {
      line += '<';
      line += kHex[byte >> 4];
      line += kHex[byte & 0x0F];
      line += '>';
    }
  }
  return line;
}

}  // namespace ar8600sim
