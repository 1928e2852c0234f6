// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

// W and X take two digits of a bank file, then one of the receiver's banks A
// to J; any other key names no receiver bank and ends the sequence.
namespace voxrig {

// W's receiver bank letter: taken and said, or refused; a missing bank file is
// told at once.
void QueryReceiverBank(Context& ctx);

// X's receiver bank letter: taken and said, or refused. Nothing is sent to
// the receiver before Enter.
void TakeReadBankLetter(Context& ctx, int key);

}  // namespace voxrig
