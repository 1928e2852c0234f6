// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <signal.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "platform/window.h"
#include "terminal/terminal_key_decoder.h"

struct TermKey;

namespace voxrig {

// The panel's "window" in a terminal (voxrig --terminal, over SSH, with no
// display server): keys decoded from the terminal by libtermkey and handed
// on as the same key codes the window gives (Ctrl+C and Ctrl+D as Q), the
// 100 ms timer, the wake-ups the panel asks for, and a close request on
// SIGTERM, SIGINT or SIGHUP and when the terminal goes away. A terminal
// reports key presses only, so each key comes as a key-down at once followed
// by its key-up (TerminalKeyDecoder).
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
  void WakeAfter(int ms) override;
  // Safe from any thread: they wake the wait through a descriptor of its own.
  void PostNetworkActivity() override;
  void PostRadioActivity() override;

 private:
  using Clock = std::chrono::steady_clock;

  int TimeoutMs(Clock::time_point now) const;
  // Reads what the terminal sent and decodes its keys. False at the input's
  // end (the terminal has gone).
  bool ReadKeys(std::vector<WindowEvent>& out);
  void Post(std::atomic<bool>& posted);
  // The events other threads posted since the last wait.
  void TakePosts(std::vector<WindowEvent>& out);

  int inputFd_;
  std::function<void()> beforeWait_;
  TermKey* keys_ = nullptr;
  std::unique_ptr<TerminalKeyDecoder> decoder_;
  Clock::time_point lastInput_;
  int signalFd_ = -1;
  sigset_t oldMask_{};
  bool closeRequested_ = false;
  bool timerOn_ = false;
  std::chrono::milliseconds period_{100};
  Clock::time_point nextTick_;
  bool wakeOn_ = false;
  Clock::time_point wakeAt_;
  // Other threads' wake-ups: an eventfd, and which of them are waiting.
  int wakeFd_ = -1;
  std::atomic<bool> networkPosted_{false};
  std::atomic<bool> radioPosted_{false};
};

}  // namespace voxrig
