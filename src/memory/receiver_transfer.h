// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

// W, two digits, a letter, Enter: programs the bank file of the argument's
// two digits into the receiver bank of its letter.
Steps<> WriteBankToReceiver(Context& ctx, std::string entry);
// Sets a receiver bank's "MW" value to 90 and waits for the receiver. False,
// with "rnc" said, when the receiver did not answer.
Steps<bool> ConfigureReceiverBank(Context& ctx, char letter);

}  // namespace voxrig
