// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// A signal the search stopped on, logged once into the bank in memory and
// written at once to the search log file; "wrerr" when that write failed.
void LogSearchHit(Context& ctx);

}  // namespace voxrig
