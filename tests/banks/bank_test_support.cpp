// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_test_support.h"

#include <cstdio>

namespace voxrig::banktest {

std::string Lines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

std::string Bank(const std::string& label, const std::string& mode, const std::string& step,
                 const std::vector<std::string>& frequencies) {
  std::vector<std::string> lines = {label, mode, step, " "};
  for (const std::string& frequency : frequencies) {
    lines.push_back(frequency);
    lines.push_back(" ");
  }
  lines.push_back("9999");
  return Lines(lines);
}

std::vector<std::string> FileLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> Frequencies(int count, double startMhz) {
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", startMhz + 0.0125 * i);
    result.emplace_back(text);
  }
  return result;
}

Timeline::Timeline(fakes::TestProgram& program) : program_(program) {
  commandsSeen_ = program_.Commands().size();
  program_.sound.OnPlayed([this](const std::string& name) {
    TakeCommands();
    raw_.push_back(name);
  });
}

void Timeline::TakeCommands() {
  const std::vector<std::string> commands = program_.Commands();
  for (std::size_t i = commandsSeen_; i < commands.size(); ++i) raw_.push_back("> " + commands[i]);
  commandsSeen_ = commands.size();
}

std::vector<std::string> Timeline::Events() {
  TakeCommands();
  std::vector<std::string> events;
  for (std::size_t i = 0; i < raw_.size();) {
    std::size_t run = 1;
    if (raw_[i] == "shdel") {
      while (i + run < raw_.size() && raw_[i + run] == "shdel") ++run;
      events.push_back("shdel x" + std::to_string(run));
    } else {
      events.push_back(raw_[i]);
    }
    i += run;
  }
  return events;
}

}  // namespace voxrig::banktest
