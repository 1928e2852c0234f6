// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/selected_bank.h"

#include "banks/bank_operations.h"
#include "poll/scan_keys.h"

namespace voxrig {

void SelectBank(Context& ctx, const std::string& number) {
  switch (ReadBankToSelect(ctx, number)) {
    case BankReading::kArgumentRefused:
      return;
    case BankReading::kNotSelected:
      ForgetScansAndSearch(ctx);
      return;
    case BankReading::kSelected:
      // Selected before it is tuned: the tuning tells the channel the
      // listener lands on, which only a selected bank has.
      ctx.poll.bankScanState = BankScan::kBankSelected;
      TuneSelectedBank(ctx);
      return;
  }
}

SelectionGuard::~SelectionGuard() {
  if (ReturnToSelection(ctx_, mark_) == SelectionReturn::kBankGone) {
    ctx_.poll.bankScanState = BankScan::kOff;
  }
}

}  // namespace voxrig
