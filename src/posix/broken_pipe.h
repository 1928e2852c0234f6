// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace voxrig {

// A reader that goes away (the transcript piped into a program that ends)
// must not end the panel: the write fails instead, and the panel goes on and
// still tells the receiver "EX" when it stops. Call once, at start.
void IgnoreBrokenPipes();

}  // namespace voxrig
