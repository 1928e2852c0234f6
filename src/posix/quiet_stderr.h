// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace voxrig {

// Runs the work with the process's standard error sent nowhere. In a
// terminal the panel's lines share the screen with standard error, and the
// sound libraries looking for a device (ALSA above all) write a dozen lines
// of their own there when there is none: the listener's screen reader would
// read them all.
void RunWithStandardErrorSilenced(const std::function<void()>& work);

}  // namespace voxrig
