// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace voxrig::rigctl {

// The long blocks: "\dump_state" (with its settings after "\chk_vfo") and
// "\dump_caps", laid out line for line as rigctld lays them out.
std::string DumpStateText(bool checkedVfo);
std::string DumpCapsText();

}  // namespace voxrig::rigctl
