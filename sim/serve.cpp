// SPDX-License-Identifier: GPL-3.0-or-later
#include "serve.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <ctime>
#include <deque>
#include <fstream>
#include <iostream>
#include <sstream>

namespace ar8600sim {

namespace {

double MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

void WriteWireLog(Engine& engine, std::FILE* wireLog) {
  for (const WireEntry& entry : engine.TakeWireEntries()) {
    if (wireLog == nullptr) continue;
    std::fprintf(wireLog, "%s\n", FormatWireLine(entry).c_str());
    std::fflush(wireLog);  // tests read the log while the simulator runs
  }
}

void ReadControlFile(Engine& engine, const std::string& path, double nowMs) {
  if (path.empty()) return;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "ar8600-sim: cannot read control file " << path << "\n";
    return;
  }
  std::ostringstream text;
  text << file.rdbuf();
  const ControlLoad control = ParseControlFile(text.str(), engine.faults());
  if (!control.error.empty()) {
    std::cerr << "ar8600-sim: " << path << " line " << control.line << ": " << control.error
              << "\n";
    return;
  }
  engine.SetFaults(control.faults);
  if (control.dropAfter) engine.DropAfter(*control.dropAfter);
  if (control.hangUpNow) engine.HangUpNow(nowMs);
}

// Writes every byte that is due; bytes the pty cannot take are lost. True
// when something was written.
bool WriteDueBytes(std::deque<TimedByte>& pending, double nowMs, PtyLine& line) {
  std::string due;
  while (!pending.empty() && pending.front().dueMs <= nowMs) {
    due += pending.front().byte;
    pending.pop_front();
  }
  if (due.empty() || !line.open()) return false;
  const ssize_t written = write(line.master(), due.data(), due.size());
  return written > 0;
}

// How long ppoll may sleep: until the next byte or event is due, or for ever.
const timespec* WaitUntil(std::optional<double> wakeMs, double nowMs, timespec& storage) {
  if (!wakeMs) return nullptr;
  const double waitMs = std::max(0.0, *wakeMs - nowMs);
  storage.tv_sec = static_cast<time_t>(waitMs / 1000.0);
  storage.tv_nsec = static_cast<long>(std::fmod(waitMs, 1000.0) * 1e6);
  return &storage;
}

// A hang-up waits until the client has read the last answer, at most a
// second. The pty hands written bytes to the client's side a moment later, so
// an empty queue counts only some time after the last write.
constexpr double kLastWordsMs = 1000;
constexpr double kHandOverMs = 20;
constexpr double kLastWordsPollMs = 5;

// The receiver has gone from the line and the port vanishes with it, once the
// client has read what had already reached it. True while the client is
// still given time to read.
bool FollowHangUp(Engine& engine, PtyLine& line, ComLink& link, std::deque<TimedByte>& pending,
                  double nowMs, double lastWriteMs) {
  if (!line.open() || !engine.HungUp()) return false;
  const double sinceMs = nowMs - engine.HangUpAtMs().value_or(nowMs);
  const bool unread = line.BytesUnread() > 0 || nowMs - lastWriteMs < kHandOverMs;
  if (unread && sinceMs < kLastWordsMs) return true;
  // The link first: while the pty is held, no other simulator can have been
  // given its name, so a link pointing there is still ours.
  link.Remove();
  line.Close();
  pending.clear();
  return false;
}

// What the client wrote, heard as written only at the line's own speed.
void ReadFromClient(Engine& engine, PtyLine& line, double startMs) {
  char bytes[512];
  const ssize_t count = read(line.master(), bytes, sizeof bytes);
  if (count <= 0) return;
  line.ForgetExclusiveMode();
  const std::string_view written(bytes, static_cast<std::size_t>(count));
  if (line.ClientSpeedIs(engine.Baud())) {
    engine.Receive(written, MonotonicMs() - startMs);
  } else {
    engine.ReceiveMisheard(written, MonotonicMs() - startMs);
  }
}

enum class AfterSignal { kGoOn, kStop };

// SIGTERM and SIGINT stop the simulator, SIGUSR1 writes the memory file and
// SIGHUP reads the control file again.
AfterSignal FollowSignal(Engine& engine, int signalFd, const ServeFiles& files, double startMs) {
  signalfd_siginfo info{};
  if (read(signalFd, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) {
    return AfterSignal::kGoOn;
  }
  if (info.ssi_signo == SIGTERM || info.ssi_signo == SIGINT) {
    WriteWireLog(engine, files.wireLog);
    return AfterSignal::kStop;
  }
  if (info.ssi_signo == SIGUSR1 && !WriteMemoryFile(engine.receiver().memory(), files.memoryOut)) {
    std::cerr << "ar8600-sim: cannot write " << files.memoryOut << "\n";
  }
  if (info.ssi_signo == SIGHUP) ReadControlFile(engine, files.controlFile, MonotonicMs() - startMs);
  return AfterSignal::kGoOn;
}

}  // namespace

bool WriteMemoryFile(const MemoryBanks& memory, const std::string& path) {
  if (path.empty()) return true;
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << FormatMemoryFile(memory);
    if (!file.flush()) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

void Serve(Engine& engine, PtyLine& line, ComLink& link, int signalFd, const ServeFiles& files) {
  const double startMs = MonotonicMs();
  double lastWriteMs = -kHandOverMs;
  std::deque<TimedByte> pending;
  for (;;) {
    const double nowMs = MonotonicMs() - startMs;
    engine.AdvanceTo(nowMs);
    for (const TimedByte& byte : engine.TakeOutput()) pending.push_back(byte);
    WriteWireLog(engine, files.wireLog);
    if (WriteDueBytes(pending, nowMs, line)) lastWriteMs = nowMs;
    const bool hangingUp = FollowHangUp(engine, line, link, pending, nowMs, lastWriteMs);

    // With the line gone nothing the engine does can be seen: sleep until a signal.
    std::optional<double> wakeMs = line.open() ? engine.NextEventMs() : std::nullopt;
    if (!pending.empty() && (!wakeMs || pending.front().dueMs < *wakeMs)) {
      wakeMs = pending.front().dueMs;
    }
    if (hangingUp) wakeMs = nowMs + kLastWordsPollMs;
    timespec storage{};
    pollfd watched[2] = {{signalFd, POLLIN, 0}, {line.open() ? line.master() : -1, POLLIN, 0}};
    if (ppoll(watched, 2, WaitUntil(wakeMs, nowMs, storage), nullptr) < 0 && errno != EINTR) {
      std::cerr << "ar8600-sim: ppoll failed\n";
      return;
    }

    if ((watched[1].revents & POLLIN) != 0) ReadFromClient(engine, line, startMs);
    if ((watched[0].revents & POLLIN) != 0 &&
        FollowSignal(engine, signalFd, files, startMs) == AfterSignal::kStop) {
      return;
    }
  }
}

}  // namespace ar8600sim
