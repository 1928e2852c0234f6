#pragma once

#include "core/context.h"

namespace voxrig {

void StartMemoryScan(Context& ctx);
void PassChannel(Context& ctx);
void LeaveScans(Context& ctx);
void QueryReceiverBank(Context& ctx);
void CheckReceiverBanks(Context& ctx);

}  // namespace voxrig
