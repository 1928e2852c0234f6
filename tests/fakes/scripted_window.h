// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "fakes/fake_time.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace voxrig::fakes {

// A window whose events come from a script: each WaitEvents call returns the
// next batch. When the script runs out it asks to close, so a test program
// can never hang in its message loop. A wake-up the panel asks for comes
// before the next batch, with the shared fake time moved on to it, as if
// nothing had happened meanwhile.
class ScriptedWindow : public Window {
 public:
  bool Open(const WindowSpec& layout) override;
  void StartTimer(int periodMs) override;
  void StopTimer() override { timerRunning = false; }
  std::vector<WindowEvent> WaitEvents() override;
  void Close() override { closed = true; }
  void WakeAfter(int ms) override;

  void AddBatch(std::vector<WindowEvent> batch) { script.push_back(std::move(batch)); }
  // A key press and release, each handed out in its own batch.
  void AddKey(int key);
  void AddTicks(int count);

  std::deque<std::vector<WindowEvent>> script;
  WindowSpec layout;
  bool opened = false;
  bool closed = false;
  bool timerRunning = false;
  int timerPeriodMs = 0;
  bool failOpen = false;
  // What the panel asked for, in order, and the wake-up still to come.
  std::vector<int> wakeRequests;
  std::optional<int> wakePending;
  FakeTime* time = nullptr;
};

class FixedClock : public Clock {
 public:
  LocalDateTime Now() override { return now; }
  LocalDateTime now{2026, 12, 7, 9, 5, 3};
};

WindowEvent KeyDown(int key);
WindowEvent KeyUp(int key);
WindowEvent Tick();
WindowEvent Wake();
WindowEvent RadioActivity();
WindowEvent CloseRequest();

}  // namespace voxrig::fakes
