// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Creates debug1.dat (emptying an older one) and writes its header line.
void OpenDebugLog(Context& ctx);
// Writes panel.logLine and CR LF, only while the debug setting is on.
void WriteLogLine(Context& ctx);
void CloseDebugLog(Context& ctx);

}  // namespace voxrig
