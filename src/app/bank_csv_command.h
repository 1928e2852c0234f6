// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace voxrig {

inline constexpr int kExitRefused = 1;

// "--export bankNN.dat [FILE.csv] [--force]" and "--import FILE.csv
// bankNN.dat": runs the one that is asked for and returns its exit code (0
// done, 1 refused with nothing written, 2 wrong arguments). Nothing when the
// arguments ask for neither, so the panel starts as usual. The CSV goes to
// `out`; what was done and every refusal, with its reason, go to `err`.
//
// Neither writes what it was not asked to make: --export writes only a CSV
// (a name ending in .csv unless --force) and never replaces a bank; --import
// writes only a bank file of the bank's own name, over a bank or nothing,
// and keeps the old one in the undo folder for the panel's U.
std::optional<int> RunBankCsvCommand(const std::vector<std::string>& arguments, FileSystem& files,
                                     std::ostream& out, std::ostream& err);

}  // namespace voxrig
