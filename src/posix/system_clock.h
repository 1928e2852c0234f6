// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

namespace voxrig {

// The machine's local date and time, in the time zone the user has set.
class SystemClock : public Clock {
 public:
  LocalDateTime Now() override;
};

}  // namespace voxrig
