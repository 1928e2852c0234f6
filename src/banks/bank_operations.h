// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

// B: the bank file of that number becomes the bank in memory and the
// selected bank, its first channel tuned in the bank's mode and step.
void SelectBank(Context& ctx, const std::string& number);
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
void ApplyBankModeAndStep(Context& ctx);

}  // namespace voxrig
