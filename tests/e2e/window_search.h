// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

namespace e2e {

// The viewable top-level window of process `pid` (its _NET_WM_PID) whose
// title holds `titlePart`, waiting up to `limit` for it to appear; none when
// it did not, and then `seen` lists the windows that were there.
std::optional<std::string> FindWindow(const std::string& display, pid_t pid,
                                      const std::string& titlePart, std::chrono::milliseconds limit,
                                      std::string* seen);

}  // namespace e2e
