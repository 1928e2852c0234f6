#pragma once

#include "core/context.h"

namespace voxrig {

// W, two digits, a letter, Enter: programs a bank file into a receiver bank.
void WriteBankToReceiver(Context& ctx);
// Sets a receiver bank's "MW" value to 90 and waits for the receiver. False,
// with "rnc" said, when the receiver did not answer.
bool ConfigureReceiverBank(Context& ctx, char letter);

}  // namespace voxrig
