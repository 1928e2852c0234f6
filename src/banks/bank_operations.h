// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

// What B found in the bank file it read.
enum class BankReading {
  kArgumentRefused,  // no bank file has such a number: "inv", nothing read
  kNotSelected,      // missing ("bnf"), or a line the receiver cannot take
  kSelected,         // the bank in memory is the selected bank now
};

// B's first half: the bank file of that number is read into memory and, when
// the receiver can take every line of it, becomes the selected bank with its
// first channel current. Whatever else listens to the outcome (the scans, the
// search) is left to the caller.
Steps<BankReading> ReadBankToSelect(Context& ctx, std::string number);
// B's second half, once the bank is selected: its first channel tuned in the
// bank's mode and step, "sel", and the channel where the listener stands.
Steps<> TuneSelectedBank(Context& ctx);
// K: removes the current channel of the bank in memory and writes its file.
void DeleteChannel(Context& ctx);
// O: orders the channels of the bank file of that number by frequency and
// drops the repeats.
void SortBank(Context& ctx, const std::string& number);

// Deletes the bank file of that number, found whatever its letter case, after
// copying it for U, and says how that went: "ok"; "bnf" when there is no such
// file (nothing was deleted); "wrerr" when the file is still there.
void DeleteBankFile(Context& ctx, const std::string& number);

// A pause, then the bank in memory's own mode and step, sent to the receiver:
// selecting a bank and starting its scan both listen the bank's way.
Steps<> ApplyBankModeAndStep(Context& ctx);

}  // namespace voxrig
