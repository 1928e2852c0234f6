// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// A signal the search stopped on, logged once into the bank in memory, which
// the search's end writes to the search log file.
void LogSearchHit(Context& ctx);

}  // namespace voxrig
