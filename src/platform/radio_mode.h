// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace voxrig {

// The modes the panel listens in, whatever the radio: the receiver's mode
// keys F1 to F7. Every fact about each (its panel text, its prompts, the
// AR8600's code, Hamlib's name) stands in the one mode table of speech.
enum class Mode { kFM, kAM, kLSB, kUSB, kWFM, kCW, kAUT };

}  // namespace voxrig
