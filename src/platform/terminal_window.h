// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <signal.h>

#include <chrono>
#include <functional>
#include <vector>

#include "platform/window.h"

struct TermKey;

namespace voxrig {

// The panel's "window" in a terminal (voxrig --terminal, over SSH, with no
// display server): keys decoded from the terminal by libtermkey and handed
// on as the same key codes the window gives, the 100 ms timer, and a close
// request on Ctrl+C or Ctrl+D, on SIGTERM, SIGINT or SIGHUP, and when the
// terminal goes away. A terminal reports key presses only, so each key comes
// as a key-down at once followed by its key-up.
class TerminalWindow : public Window {
 public:
  // Keys are read from `inputFd` (a terminal). `beforeWait` runs each time
  // the panel has done its work and is about to wait for the next event.
  TerminalWindow(int inputFd, std::function<void()> beforeWait);
  // Keys from standard input.
  explicit TerminalWindow(std::function<void()> beforeWait);
  // Whether standard input is a terminal to read keys from.
  static bool StandardInputIsTerminal();
  ~TerminalWindow() override;
  TerminalWindow(const TerminalWindow&) = delete;
  TerminalWindow& operator=(const TerminalWindow&) = delete;

  // Takes the terminal's keys (no echo, no line editing) until Close. False
  // when the input is no terminal.
  bool Open(const WindowSpec& layout) override;
  void StartTimer(int periodMs) override;
  void StopTimer() override;
  std::vector<WindowEvent> WaitEvents() override;
  // Gives the terminal back as it was.
  void Close() override;

 private:
  using Clock = std::chrono::steady_clock;

  int TimeoutMs(Clock::time_point now) const;
  // Takes every decoded key; `force` ends a lone Escape that waited long
  // enough for the rest of a key sequence.
  void TakeKeys(std::vector<WindowEvent>& out, bool force);

  int inputFd_;
  std::function<void()> beforeWait_;
  TermKey* keys_ = nullptr;
  bool keyPending_ = false;  // an Escape waiting for the rest of its sequence
  int signalFd_ = -1;
  sigset_t oldMask_{};
  bool closeRequested_ = false;
  bool timerOn_ = false;
  std::chrono::milliseconds period_{100};
  Clock::time_point nextTick_;
};

}  // namespace voxrig
