// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/tmux_panel.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "e2e/child_process.h"
#include "e2e/scratch_folder.h"

namespace e2e {

using namespace std::chrono_literals;

TmuxPanel::TmuxPanel(const std::string& folder, const std::string& script) {
  static std::atomic<int> serial{0};
  socket_ = "voxrig-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
  WriteTextFile(folder + "/run-in-terminal.sh", script);
  Run({"-f", "/dev/null", "new-session", "-d", "-s", "panel", "-x", "100", "-y", "50", "-c", folder,
       "bash " + folder + "/run-in-terminal.sh; sleep 600"});
  Run({"set-option", "-t", "panel", "history-limit", "5000"});
}

TmuxPanel::~TmuxPanel() {
  Run({"kill-server"});
}

std::string TmuxPanel::Run(const std::vector<std::string>& arguments) const {
  std::vector<std::string> argv = {"tmux", "-L", socket_};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunAndCapture(argv, 10s);
}

void TmuxPanel::SendKeys(const std::vector<std::string>& keys) {
  for (const std::string& key : keys) {
    Run({"send-keys", "-t", "panel", key});
    std::this_thread::sleep_for(30ms);
  }
}

void TmuxPanel::SendBytes(const std::string& bytes) {
  std::vector<std::string> arguments = {"send-keys", "-t", "panel", "-H"};
  for (const char byte : bytes) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(byte));
    arguments.push_back(hex);
  }
  Run(arguments);
}

std::vector<std::string> TmuxPanel::Lines() const {
  std::istringstream screen(Run({"capture-pane", "-p", "-J", "-S", "-", "-t", "panel"}));
  std::vector<std::string> lines;
  for (std::string line; std::getline(screen, line);) {
    line.erase(line.find_last_not_of(' ') + 1);
    lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

bool TmuxPanel::WaitForLine(const std::string& line, std::chrono::milliseconds limit) {
  const auto giveUp = std::chrono::steady_clock::now() + limit;
  while (true) {
    const std::vector<std::string> lines = Lines();
    if (std::find(lines.begin(), lines.end(), line) != lines.end()) return true;
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(50ms);
  }
}

}  // namespace e2e
