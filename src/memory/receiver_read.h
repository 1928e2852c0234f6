// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "core/context.h"
#include "platform/receiver.h"

namespace voxrig {

// What reading a receiver bank gave.
struct ReceiverMemory {
  enum class Outcome {
    kRead,     // every channel from 00 to the bank's end
    kRefused,  // the receiver has no such bank (its first batch ended it)
    kLost,     // silence, fewer lines than asked, or a malformed line
  };
  Outcome outcome = Outcome::kLost;
  // One line per channel from 00, empty channels included.
  std::vector<MemoryChannel> lines;
};

// Reads every channel of a receiver bank, ten at a time, without selecting
// any, so the receiver keeps listening where it was. A "beep" follows every
// ten. The wait for each ten is bounded: a receiver that stops answering
// costs a couple of seconds, not the keyboard.
Steps<ReceiverMemory> ReadReceiverMemory(Context& ctx, char bank);

// How X's sequence ended, for the keyboard to remember or forget it.
enum class ReadBankOutcome {
  kRead,        // the whole receiver bank was read (and its file written or not)
  kFileExists,  // the bank file exists and the sequence did not confirm its replacement
  kNotRead,     // refused, or the receiver did not give the whole bank
};

// X, two digits, a receiver bank letter, Enter: the receiver bank into bank
// file NN (the argument "NN" + letter). An existing bank file is replaced only
// when `replaceConfirmed`, that is when the same sequence was given just
// before and told the file exists; nothing is written unless the whole bank
// was read.
Steps<ReadBankOutcome> ReadReceiverBank(Context& ctx, std::string argument, bool replaceConfirmed);

}  // namespace voxrig
