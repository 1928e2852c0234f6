#pragma once

#include <vector>

#include "core/context.h"
#include "link/memory_lines.h"

namespace voxrig {

// What reading a receiver bank with "MA" gave.
struct ReceiverMemory {
  enum class Outcome {
    kRead,     // every channel from 00 to the bank's end
    kRefused,  // the receiver answered "?" to "MA" + bank
    kLost,     // silence, fewer lines than asked, or a malformed line
  };
  Outcome outcome = Outcome::kLost;
  // One line per channel from 00, empty channels included.
  std::vector<receiver::MemoryLine> lines;
};

// Reads every channel of a receiver bank, ten at a time, without selecting
// any, so the receiver keeps listening where it was. A "beep" follows every
// ten. The wait for each ten is bounded: a receiver that stops answering
// costs a couple of seconds, not the keyboard.
ReceiverMemory ReadReceiverMemory(Context& ctx, char bank);

// X, two digits, a receiver bank letter, Enter: the receiver bank into bank
// file NN. An existing bank file is replaced only when the same sequence is
// given twice in a row; nothing is written unless the whole bank was read.
void ReadReceiverBank(Context& ctx);

}  // namespace voxrig
