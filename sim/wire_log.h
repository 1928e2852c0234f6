// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The wire log: every command the receiver was sent, with when it arrived.
namespace ar8600sim {

struct WireEntry {
  double atMs = 0;      // arrival of the command's CR (of the byte 30 itself)
  std::string command;  // the bytes before the CR, LF left out

  bool operator==(const WireEntry&) const = default;
};

// "<whole milliseconds since start> <command>": printable ASCII stays as it is;
// every other byte, and '<' itself, is shown as <XX> in upper-case hex (the
// byte 30 as <1E>). A lone CR, which the receiver does not answer, shows as <0D>.
std::string FormatWireLine(const WireEntry& entry);

}  // namespace ar8600sim
