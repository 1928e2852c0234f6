// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

namespace e2e {

// The X display the tests run on ($DISPLAY), or none.
std::optional<std::string> TestDisplay();

// Keys go to whichever window has the focus, so tests that type hold this
// lock on the display for their whole run; two tests running side by side
// (ctest -j2) then never type into each other's panel.
class DisplayLock {
 public:
  explicit DisplayLock(const std::string& display);
  ~DisplayLock();
  DisplayLock(const DisplayLock&) = delete;
  DisplayLock& operator=(const DisplayLock&) = delete;

 private:
  int fd_ = -1;
};

std::string WindowTitle(const std::string& window);

// Gives the window the keyboard focus. Without a window manager (Xvfb) the
// focus has to be set directly; windowactivate would wait for one forever.
bool FocusWindow(const std::string& window);

// Types one key (an X keysym name such as "1", "period", "Return", "q") as a
// key-down and key-up pair, then leaves the panel time to take it: it takes
// one queue entry per 100 ms tick, and a second key-down before the first
// key-up would be dropped by its held-key latch.
void TypeKey(const std::string& keysym);

// Types one key `times` times with no pause at all: each press follows the
// release before it within the same millisecond, as a fast typist's or a
// macro's can.
void TypeKeyOverAndOver(const std::string& keysym, int times);

// Asks the window to close as the close box does: the WM_DELETE_WINDOW
// message of the WM_PROTOCOLS the window registered. (Destroying the window
// or killing the client would not be a close request.)
bool RequestClose(const std::string& display, const std::string& window);

}  // namespace e2e
