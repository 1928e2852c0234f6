// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/system_clock.h"

#include <ctime>

namespace voxrig {

LocalDateTime SystemClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  // localtime_r, not localtime: no shared buffer.
  if (localtime_r(&now, &local) == nullptr) return LocalDateTime{};
  return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                       local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace voxrig
