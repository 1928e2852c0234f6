// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace voxrig {

// kNetworkActivity: a connection, bytes or a hang-up have arrived for the
// network control (posted through the window's wake-up). kWake: a wake-up the
// panel asked for with WakeAfter. kRadioActivity: the receiver has sent
// something (bytes on its line, or a radio driven through Hamlib has answered).
enum class EventKind {
  kCloseRequest,
  kKeyDown,
  kKeyUp,
  kTimerTick,
  kNetworkActivity,
  kWake,
  kRadioActivity,
};

// A window event. Key events carry the key's virtual-key code as the panel
// knows them: letters 65-90 whatever the shift, digits 48-57, Enter 13,
// Space 32, Page Up/Down 33/34, arrows 37-40, Delete 46, keypad digits 96-105,
// F1-F12 112-123, the full-stop key 190. A key-down that the keyboard's
// auto-repeat sends while the key is held carries `repeat`.
struct WindowEvent {
  EventKind kind = EventKind::kTimerTick;
  int key = 0;
  bool repeat = false;
  friend bool operator==(const WindowEvent&, const WindowEvent&) = default;
};

struct WindowSpec {
  std::string title;
  int left = 0;
  int top = 0;
  int outerWidth = 0;
  int outerHeight = 0;
};

// The panel's one window: its event queue and timer 1. Everything runs on one
// thread; WaitEvents sleeps until at least one event is pending and returns
// all pending ones. The timer keeps at most one tick pending.
class Window {
 public:
  virtual ~Window() = default;
  // Opens the fixed-size window (title bar, system menu, minimise box, no
  // maximise box, no sizing border). False when it cannot be created.
  virtual bool Open(const WindowSpec& layout) = 0;
  virtual void StartTimer(int periodMs) = 0;
  virtual void StopTimer() = 0;
  virtual std::vector<WindowEvent> WaitEvents() = 0;
  virtual void Close() = 0;
  // Wakes WaitEvents with kNetworkActivity; safe from any thread. A window
  // that cannot be woken leaves the clients to its next timer tick.
  virtual void PostNetworkActivity() {}
  // Wakes WaitEvents with kRadioActivity; safe from any thread. Posts that
  // come before the loop has taken the last are one event. A window that
  // cannot be woken leaves the receiver's answer to its next timer tick.
  virtual void PostRadioActivity() {}
  // WaitEvents returns a kWake once `ms` milliseconds have passed (at once
  // for 0 or less), for a step that must run at its moment rather than on the
  // next tick. One wake-up is pending at a time: a later call replaces an
  // earlier one that has not yet come; a wake-up that has come is not
  // repeated. Called only from the loop's thread. A window that cannot wake
  // leaves the step to its next tick.
  virtual void WakeAfter([[maybe_unused]] int ms) {}
};

}  // namespace voxrig
