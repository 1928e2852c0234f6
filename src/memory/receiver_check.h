// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "banks/bank_layout.h"
#include "core/context.h"
#include "platform/receiver.h"

namespace voxrig {

namespace banks {

// How each channel of a receiver bank differs from what W sent into it, one
// line of plain text each ("A01 Tower: sent ...; the receiver holds ..."):
// the channel's number, then with `withNames` its name as the panel says it
// (the name sent, or for a channel that should be empty the one it holds;
// a blank name says nothing). A channel past the sent ones must be empty,
// and every sent channel must be within the receiver's bank. `mode` and
// `step` are the bank's as W sent them; the step counts where the
// receiver's line gives one.
std::vector<std::string> ChannelDifferences(char bank, const std::vector<Channel>& sent,
                                            const std::string& mode, const std::string& step,
                                            const std::vector<MemoryChannel>& read, bool withNames);

// The report kept in the working folder when channels differ: "check" + the
// bank file's number + the receiver bank's letter + ".txt", e.g. check05A.txt.
std::string CheckReportName(const std::string& entry);

}  // namespace banks

// After W has sent its channels: reads the receiver bank back with "MA" and
// compares it with what was sent. "ok" only when every channel matches and
// every channel past the bank file's end is empty; otherwise the number of
// channels that differ and "differ", with the differences written to the
// check report. "rnc" when the receiver could not be read back, "nochk" when
// it refuses to be read.
Steps<> CheckWrittenBank(Context& ctx, std::string entry, std::vector<banks::Channel> sent,
                         std::string mode, std::string step);

}  // namespace voxrig
