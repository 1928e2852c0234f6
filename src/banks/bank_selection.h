// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/bounded_text.h"
#include "core/context.h"

// The bank the listener selected with B stays the bank that Up, Down, R and K
// act on, whatever another operation reads into memory meanwhile.
namespace voxrig {

// Where the listener stands in the selected bank: the channel's position and
// its frequency.
struct SelectionMark {
  bool active = false;
  int channel = 0;
  BoundedText frequency;
};

// Taken before an operation that may read or write another bank.
SelectionMark MarkSelection(const Context& ctx);

// Whether the selected bank is still there after an operation.
enum class SelectionReturn {
  kKept,      // still selected (or there was no selection to keep)
  kBankGone,  // its file is gone: the selection has ended
};

// After it: reads the selected bank back into memory and stands on the same
// channel (the same frequency at the same position, else the nearest channel
// of that frequency, else the same position, tuned). When the selected bank's
// file is gone, the selection ends, the listener hears "unsel", and the
// caller ends whatever scan stood on the bank.
SelectionReturn ReturnToSelection(Context& ctx, const SelectionMark& mark);

}  // namespace voxrig
