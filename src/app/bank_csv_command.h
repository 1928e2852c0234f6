#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace voxrig {

inline constexpr int kExitRefused = 1;

// "--export bankNN.dat [FILE.csv]" and "--import FILE.csv bankNN.dat": runs
// the one that is asked for and returns its exit code (0 done, 1 refused with
// nothing written, 2 wrong arguments). Nothing when the arguments ask for
// neither, so the panel starts as usual. The CSV goes to `out`; what was done
// and every refused line go to `err`.
std::optional<int> RunBankCsvCommand(const std::vector<std::string>& arguments, FileSystem& files,
                                     std::ostream& out, std::ostream& err);

}  // namespace voxrig
