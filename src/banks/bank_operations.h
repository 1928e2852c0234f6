#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

void SelectBank(Context& ctx);
void DeleteChannel(Context& ctx);
void SortBank(Context& ctx);

// Deletes the bank file of that number, found whatever its letter case, after
// copying it for U. False when the file is still there.
bool DeleteBankFile(Context& ctx, const std::string& number);

// A pause, then the bank in memory's own mode and step, sent to the receiver:
// selecting a bank and starting its scan both listen the bank's way.
void ApplyBankModeAndStep(Context& ctx);

}  // namespace voxrig
