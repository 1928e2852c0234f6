// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "terminal/terminal_window.h"

// The terminal window on a pseudo-terminal of the test's own: the bytes a
// terminal sends go in at the far end, and the panel's events come out.
namespace voxrig {
namespace {

std::string EscapeSequence(char introducer, int parameterBytes, const std::string& end) {
  std::string bytes = "\x1b";
  bytes += introducer;
  for (int i = 0; i < parameterBytes; ++i)
    bytes += i % 2 == 0 ? static_cast<char>('1' + i % 9) : ';';
  return bytes + end;
}

// The keys (key-downs) and close requests that the bytes give, read until
// the key "9" that follows them arrives (or a close request, or too many
// ticks have passed for it to come at all).
struct Outcome {
  std::vector<int> keys;
  bool closed = false;
};

Outcome EventsOf(const std::string& bytes) {
  int farEnd = -1;
  int terminal = -1;
  Outcome outcome;
  if (openpty(&farEnd, &terminal, nullptr, nullptr, nullptr) != 0) {
    ADD_FAILURE() << "no pseudo-terminal";
    return outcome;
  }
  {
    TerminalWindow window(terminal, nullptr);
    EXPECT_TRUE(window.Open(WindowSpec{}));
    window.StartTimer(10);
    const std::string typed = bytes + "9";
    EXPECT_EQ(write(farEnd, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    for (int ticks = 0; ticks < 50 && !outcome.closed;) {
      bool nine = false;
      for (const WindowEvent& event : window.WaitEvents()) {
        if (event.kind == EventKind::kTimerTick) ++ticks;
        if (event.kind == EventKind::kCloseRequest) outcome.closed = true;
        if (event.kind != EventKind::kKeyDown) continue;
        if (event.key == '9') nine = true;
        if (event.key != '9') outcome.keys.push_back(event.key);
      }
      if (nine) break;
    }
    window.Close();
  }
  close(farEnd);
  close(terminal);
  return outcome;
}

TEST(TerminalWindow, LongEscapeSequencesAreThrownAwayWholeAndCtrlCAndCtrlDAreQ) {
  struct Row {
    std::string name;
    std::string bytes;
    std::vector<int> keys;
  };
  const Row rows[] = {
      {"a short sequence: Up", "\x1b[A", {38}},
      {"control sequence of 300 bytes", EscapeSequence('[', 297, "A") + "1", {'1'}},
      {"control sequence of 256 bytes", EscapeSequence('[', 253, "~"), {}},
      {"control sequence of 1000 bytes", EscapeSequence('[', 997, "m") + "2", {'2'}},
      {"operating system command ended by BEL", EscapeSequence(']', 400, "\x07") + "3", {'3'}},
      {"device control string ended by ESC \\", EscapeSequence('P', 400, "\x1b\\") + "4", {'4'}},
      // No key has an intermediate byte; libtermkey itself would read past
      // its tables on them.
      {"control sequences with an intermediate byte", "\x1b[!D\x1b[?1;2$y\x1b[ P5", {'5'}},
      // The 8-bit form of ESC [ is held to the same rules.
      {"an 8-bit Up", "\x9b" "A", {38}},
      {"8-bit control sequence of 300 bytes",
       "\x9b" + EscapeSequence('[', 297, "A").substr(2) + "6",
       {'6'}},
      {"Ctrl+C", "\x03", {'Q'}},
      {"Ctrl+D", "\x04", {'Q'}},
  };
  for (const Row& row : rows) {
    const Outcome outcome = EventsOf(row.bytes);
    EXPECT_FALSE(outcome.closed) << row.name;
    EXPECT_EQ(outcome.keys, row.keys) << row.name;
  }
}

TEST(TerminalWindow, AWakeUpComesOnceAtItsMomentAndALaterOneReplacesIt) {
  int farEnd = -1;
  int terminal = -1;
  ASSERT_EQ(openpty(&farEnd, &terminal, nullptr, nullptr, nullptr), 0);
  {
    using Clock = std::chrono::steady_clock;
    const auto msSince = [](Clock::time_point start) {
      return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    const std::vector<WindowEvent> onlyWake = {{EventKind::kWake, 0}};
    TerminalWindow window(terminal, nullptr);
    ASSERT_TRUE(window.Open(WindowSpec{}));
    Clock::time_point start = Clock::now();
    window.WakeAfter(30);
    EXPECT_EQ(window.WaitEvents(), onlyWake);
    EXPECT_GE(msSince(start), 30);

    start = Clock::now();
    window.WakeAfter(2000);
    window.WakeAfter(20);
    EXPECT_EQ(window.WaitEvents(), onlyWake);
    EXPECT_LT(msSince(start), 1000);

    // None is repeated: what comes next is a key.
    EXPECT_EQ(write(farEnd, "9", 1), 1);
    const std::vector<WindowEvent> key = {{EventKind::kKeyDown, '9'}, {EventKind::kKeyUp, '9'}};
    EXPECT_EQ(window.WaitEvents(), key);
    window.Close();
  }
  close(farEnd);
  close(terminal);
}

// Another thread's posts wake the wait: each kind once however often it was
// posted before the loop took it.
TEST(TerminalWindow, PostsFromAnotherThreadWakeTheWaitOnceEach) {
  int farEnd = -1;
  int terminal = -1;
  ASSERT_EQ(openpty(&farEnd, &terminal, nullptr, nullptr, nullptr), 0);
  {
    TerminalWindow window(terminal, nullptr);
    ASSERT_TRUE(window.Open(WindowSpec{}));
    std::thread poster([&window] {
      window.PostRadioActivity();
      window.PostRadioActivity();
      window.PostNetworkActivity();
    });
    poster.join();
    const std::vector<WindowEvent> both = {{EventKind::kNetworkActivity, 0},
                                           {EventKind::kRadioActivity, 0}};
    EXPECT_EQ(window.WaitEvents(), both);
    window.PostRadioActivity();
    EXPECT_EQ(window.WaitEvents(), (std::vector<WindowEvent>{{EventKind::kRadioActivity, 0}}));
    window.Close();
  }
  close(farEnd);
  close(terminal);
}

}  // namespace
}  // namespace voxrig
