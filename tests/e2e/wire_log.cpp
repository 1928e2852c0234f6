// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/wire_log.h"

#include <algorithm>
#include <sstream>

#include "e2e/scratch_folder.h"

namespace e2e {

WireLog WireLog::Read(const std::string& path) {
  return Parse(ReadTextFile(path));
}

WireLog WireLog::Parse(const std::string& bytes) {
  WireLog log;
  size_t start = 0;
  // Only whole lines: the last one may still be being written.
  for (size_t end = bytes.find('\n'); end != std::string::npos;
       start = end + 1, end = bytes.find('\n', start)) {
    std::string line = bytes.substr(start, end - start);
    size_t blank = line.find(' ');
    if (blank == std::string::npos) continue;
    WireCommand entry;
    try {
      entry.atMs = std::stoll(line.substr(0, blank));
    } catch (...) {
      continue;
    }
    entry.command = line.substr(blank + 1);
    log.entries_.push_back(entry);
  }
  return log;
}

std::vector<std::string> WireLog::Commands() const {
  std::vector<std::string> commands;
  for (const WireCommand& entry : entries_) commands.push_back(entry.command);
  return commands;
}

int WireLog::Find(const std::string& command, size_t from) const {
  for (size_t i = from; i < entries_.size(); ++i) {
    if (entries_[i].command == command) return static_cast<int>(i);
  }
  return -1;
}

int WireLog::Count(const std::string& command) const {
  return static_cast<int>(
      std::count_if(entries_.begin(), entries_.end(),
                    [&](const WireCommand& e) { return e.command == command; }));
}

bool WireLog::AnyStartsWith(const std::string& prefix) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const WireCommand& e) { return e.command.rfind(prefix, 0) == 0; });
}

std::string WireLog::Dump() const {
  std::ostringstream out;
  for (const WireCommand& entry : entries_)
    out << "  | " << entry.atMs << " " << entry.command << "\n";
  return out.str();
}

}  // namespace e2e
