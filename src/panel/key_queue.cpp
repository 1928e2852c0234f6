// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/key_queue.h"

namespace voxrig {

void ResetKeyQueue(Context& ctx) {
  ctx.panel.keyQueueCount = 0;
}

}  // namespace voxrig
