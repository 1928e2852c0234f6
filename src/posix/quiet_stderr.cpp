// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/quiet_stderr.h"

#include <fcntl.h>
#include <unistd.h>

namespace voxrig {

void RunWithStandardErrorSilenced(const std::function<void()>& work) {
  const int saved = dup(STDERR_FILENO);
  const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved < 0 || nowhere < 0) {
    if (saved >= 0) close(saved);
    if (nowhere >= 0) close(nowhere);
    work();
    return;
  }
  dup2(nowhere, STDERR_FILENO);
  close(nowhere);
  work();
  dup2(saved, STDERR_FILENO);
  close(saved);
}

}  // namespace voxrig
