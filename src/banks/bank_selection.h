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

// After it: reads the selected bank back into memory and stands on the same
// channel (the same frequency at the same position, else the nearest channel
// of that frequency, else the same position, tuned). When the selected bank's
// file is gone, the selection ends and the listener hears "unsel".
void ReturnToSelection(Context& ctx, const SelectionMark& mark);

// The listener's place in the selected bank, marked when the guard is made
// and returned to when it goes, around work that may read or write another
// bank. Made before an UndoStepGuard, it returns after that step has closed.
class SelectionGuard {
 public:
  explicit SelectionGuard(Context& ctx) : ctx_(ctx), mark_(MarkSelection(ctx)) {}
  ~SelectionGuard() { ReturnToSelection(ctx_, mark_); }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  Context& ctx_;
  const SelectionMark mark_;
};

}  // namespace voxrig
