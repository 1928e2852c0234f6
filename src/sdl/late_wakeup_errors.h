// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace voxrig {

// SDL wakes a loop that waits for events by sending its window an X event
// from the thread that posted. When the window is closed in that moment, the
// X server answers the late wake-up with a BadWindow error, and Xlib's own
// handler then ends the whole program with status 1: the listener would lose
// the panel's orderly end, and a script its status, to a wake-up that had
// nothing left to wake. This lets that one error pass and leaves every other
// X error to the handler that was there before. Call it once X is in use.
void LetLateWakeupsPass();

}  // namespace voxrig
