// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/broken_pipe.h"

#include <csignal>

namespace voxrig {

void IgnoreBrokenPipes() {
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace voxrig
