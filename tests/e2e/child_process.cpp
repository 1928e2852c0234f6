// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> ArgumentVector(const std::string& program,
                                  const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// This process's environment with the given names set or replaced.
std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& overrides) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text(*entry);
    std::string name = text.substr(0, text.find('='));
    if (overrides.count(name) == 0) entries.push_back(text);
  }
  for (const auto& [name, value] : overrides) entries.push_back(name + "=" + value);
  return entries;
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(const ChildSpec& launch, std::vector<char*>& argv,
                            std::vector<char*>& envp, int outputFd) {
  // The child dies with the test process, even when that one is killed.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  setpgid(0, 0);
  int input = open("/dev/null", O_RDONLY);
  if (input >= 0) dup2(input, STDIN_FILENO);
  if (outputFd >= 0) {
    dup2(outputFd, STDOUT_FILENO);
    dup2(outputFd, STDERR_FILENO);
  }
  if (launch.standardOutputFd >= 0) dup2(launch.standardOutputFd, STDOUT_FILENO);
  if (!launch.workingFolder.empty() && chdir(launch.workingFolder.c_str()) != 0) _exit(126);
  execve(argv[0], argv.data(), envp.data());
  _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const ChildSpec& launch) {
  std::vector<char*> argv = ArgumentVector(launch.program, launch.arguments);
  int outputFd = -1;
  if (!launch.outputFile.empty()) {
    outputFd = open(launch.outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }
  std::vector<std::string> environment = EnvironmentWith(launch.environment);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) ExecChild(launch, argv, envp, outputFd);
  if (outputFd >= 0) close(outputFd);
  if (pid_ < 0) throw std::runtime_error("fork failed for " + launch.program);
  setpgid(pid_, pid_);
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0 && !exitCode_) kill(pid_, signal);
}

ChildProcess::~ChildProcess() {
  Stop();
}

void ChildProcess::Reap(int status) {
  if (WIFEXITED(status)) {
    exitCode_ = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    exitCode_ = -1000 - WTERMSIG(status);
  }
}

bool ChildProcess::Running() {
  if (exitCode_ || pid_ <= 0) return false;
  int status = 0;
  pid_t done = waitpid(pid_, &status, WNOHANG);
  if (done == pid_) {
    Reap(status);
    return false;
  }
  return done == 0;
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Running()) {
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return exitCode_;
}

void ChildProcess::Stop() {
  if (!Running()) return;
  kill(-pid_, SIGTERM);
  if (WaitForExit(std::chrono::milliseconds(1000))) return;
  kill(-pid_, SIGKILL);
  int status = 0;
  if (waitpid(pid_, &status, 0) == pid_) Reap(status);
}

std::string RunAndCapture(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                          int* exitCode) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return {};
  std::vector<std::string> rest(argv.begin() + 1, argv.end());
  std::vector<char*> args = ArgumentVector(argv.front(), rest);
  pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(pipeFds[1], STDOUT_FILENO);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(pipeFds[1]);
  std::string output;
  const auto deadline = Clock::now() + limit;
  bool timedOut = false;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd readable{pipeFds[0], POLLIN, 0};
    int ready = poll(&readable, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    char buffer[4096];
    ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    output.append(buffer, static_cast<size_t>(got));
  }
  close(pipeFds[0]);
  if (pid > 0) {
    if (timedOut) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (exitCode) *exitCode = (!timedOut && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  }
  return output;
}

}  // namespace e2e
