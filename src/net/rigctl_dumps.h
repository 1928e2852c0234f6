// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/receiver.h"

namespace voxrig::rigctl {

// The long blocks: "\dump_state" (with its settings after "\chk_vfo") and
// "\dump_caps", laid out line for line as rigctld lays them out, for the
// radio the panel drives.
std::string DumpStateText(bool checkedVfo, const ReceiverCapabilities& radio);
std::string DumpCapsText(const ReceiverCapabilities& radio);

}  // namespace voxrig::rigctl
