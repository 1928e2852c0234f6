// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

// The operations that take channels from one list into the selected bank.
namespace voxrig {

// P: the shown frequency into the bank that the argument names (the last two
// of four digits).
void PutFrequency(Context& ctx, const std::string& argument);

// T: the channels of one bank file into another: of the first two digits'
// bank (the search log when only two are given) into the last two digits'.
void TransferBank(Context& ctx, const std::string& argument);

// Merges the source list into the bank the argument names, and writes it.
void MergeIntoBank(Context& ctx, const std::string& argument);

}  // namespace voxrig
