#pragma once

#include "core/context.h"

namespace voxrig {

void SelectBank(Context& ctx);
void DeleteChannel(Context& ctx);
void SortBank(Context& ctx);
void PutFrequency(Context& ctx);
void TransferBank(Context& ctx);
void MergeIntoBank(Context& ctx);
void LogSearchHit(Context& ctx);

// A pause, then the bank in memory's own mode and step, sent to the receiver:
// selecting a bank and starting its scan both listen the bank's way.
void ApplyBankModeAndStep(Context& ctx);

}  // namespace voxrig
