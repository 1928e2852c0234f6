// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The status line while the receiver's own memory scan runs, and once it
// rests on a signal.
namespace voxrig {

inline constexpr const char* kScanningLine = "      *** SCANNING ***  ";
inline constexpr const char* kStoppedLine = "      *** STOPPED ***  ";

}  // namespace voxrig
