// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "core/context.h"
#include "setup/port_search.h"

namespace voxrig {

inline constexpr int kProbeDone = 0;
// No receiver answered, or the line went away or fell silent during the
// probe: nothing was written.
inline constexpr int kProbeNoReceiver = 1;
inline constexpr int kProbeCannotWrite = 3;

// One question of the probe: the bytes sent, what it asks, and what our notes
// expect the receiver to answer.
struct ProbeQuestion {
  std::string bytes;
  std::string asks;
  std::string expected;
  bool answerExpected = true;
};

// The fixed list: every question whose answer the panel relies on that can
// be asked without changing the receiver's state or memory, then "EX".
std::vector<ProbeQuestion> ProbeQuestions();

// Finds the receiver (on `device` alone when given), asks it the probe's
// questions and writes every answer, raw and timed, into `file`. Returns
// the exit status. A file that is there is replaced only when `force` is
// set, and a link never: the probe writes no file it was not asked to make,
// and nothing through a link to somewhere else (status 3, told before the
// receiver is looked for).
int RunProbe(Context& ctx, SetupTools& tools, const std::string& file,
             const std::optional<std::string>& device, bool force = false);

}  // namespace voxrig
