// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// What a child process is started with: its program, arguments, working
// folder, extra environment, and files for its standard output and error.
struct ChildSpec {
  std::string program;
  std::vector<std::string> arguments;
  std::string workingFolder;
  std::map<std::string, std::string> environment;
  std::string outputFile;  // standard output and error go here (appended)
  // When set, standard output goes to this descriptor instead (a pipe).
  int standardOutputFd = -1;
};

// A process this test started. It is killed when the object goes, whatever
// way the test ends, so a failed assertion never leaves a panel or a
// simulator running.
class ChildProcess {
 public:
  explicit ChildProcess(const ChildSpec& launch);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool Running();
  // The exit code once the process has ended by itself within `limit`;
  // -1000 - signal number when a signal ended it; none when it still runs.
  std::optional<int> WaitForExit(std::chrono::milliseconds limit);
  // Ends the process: SIGTERM, then SIGKILL if it does not go within a second.
  void Stop();
  void Signal(int signal);

 private:
  void Reap(int status);

  pid_t pid_ = -1;
  std::optional<int> exitCode_;
};

// Runs a short helper program to its end and returns its standard output.
// Gives up (and kills it) after `limit`; `exitCode` is set when given.
std::string RunAndCapture(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                          int* exitCode = nullptr);

}  // namespace e2e
