// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "banks/bank_selection.h"
#include "core/context.h"

// The bank the listener selected with B: the poll's bank scan stands on it,
// and ends when it goes.
namespace voxrig {

// B: the bank file of that number becomes the bank in memory and the
// selected bank, its first channel tuned in the bank's mode and step. A bank
// that cannot be selected (missing, or a line the receiver cannot take) ends
// every scan and the search: the receiver is left where it is.
Steps<> SelectBank(Context& ctx, std::string number);

// The listener's place in the selected bank, marked when the guard is made
// and returned to when it goes, around work that may read or write another
// bank; a bank whose file went meanwhile ends its selection and bank scan.
// Made before an UndoStepGuard, it returns after that step has closed.
class SelectionGuard {
 public:
  explicit SelectionGuard(Context& ctx) : ctx_(ctx), mark_(MarkSelection(ctx)) {}
  ~SelectionGuard();
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  Context& ctx_;
  const SelectionMark mark_;
};

}  // namespace voxrig
