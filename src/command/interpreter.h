#pragma once

#include "core/context.h"

namespace voxrig {

void InterpretKey(Context& ctx);
void EnterCharacter(Context& ctx);
void TuneToTypedFrequency(Context& ctx);
void StartBankScan(Context& ctx);
void StepBankChannel(Context& ctx);
// False when the file is still there.
bool DeleteBankFile(Context& ctx);

}  // namespace voxrig
