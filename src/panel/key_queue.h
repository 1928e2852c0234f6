// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// A receiver connected afresh: keys queued for the one before are not taken.
void ResetKeyQueue(Context& ctx);

}  // namespace voxrig
