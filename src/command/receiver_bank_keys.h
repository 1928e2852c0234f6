#pragma once

#include "core/context.h"

namespace voxrig {

// W's receiver bank letter, after two digits of a bank file: taken and said,
// or refused; a missing bank file is told at once.
void QueryReceiverBank(Context& ctx);

}  // namespace voxrig
