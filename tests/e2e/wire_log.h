// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace e2e {

// One command as the simulated receiver logged it on arrival:
// "<ms since the simulator started> <command>", the byte 30 shown as <1E>.
struct WireCommand {
  long long atMs = 0;
  std::string command;
};

class WireLog {
 public:
  static WireLog Read(const std::string& path);
  static WireLog Parse(const std::string& bytes);

  const std::vector<WireCommand>& entries() const { return entries_; }
  std::vector<std::string> Commands() const;
  // Index of the first command equal to `command` at or after `from`; -1 when none.
  int Find(const std::string& command, size_t from = 0) const;
  int Count(const std::string& command) const;
  // Whether any command starts with `prefix`.
  bool AnyStartsWith(const std::string& prefix) const;
  std::string Dump() const;

 private:
  std::vector<WireCommand> entries_;
};

}  // namespace e2e
