#pragma once

#include "app/context.h"

namespace voxrig {

void SelectBank(Context& ctx);
void DeleteChannel(Context& ctx);
void SortBank(Context& ctx);
void PutFrequency(Context& ctx);
void TransferBank(Context& ctx);
void MergeIntoBank(Context& ctx);
void LogSearchHit(Context& ctx);

}  // namespace voxrig
