#pragma once

#include "core/context.h"

// The operations that take channels from one list into the selected bank.
namespace voxrig {

// P: the shown frequency into the bank.
void PutFrequency(Context& ctx);

// T: the channels of another bank file into the bank.
void TransferBank(Context& ctx);

// Merges the source list into the bank and writes it.
void MergeIntoBank(Context& ctx);

}  // namespace voxrig
