// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/selected_bank.h"

#include "banks/bank_operations.h"
#include "poll/scan_keys.h"

namespace voxrig {

Steps<> SelectBank(Context& ctx, std::string number) {
  const BankReading reading = co_await ReadBankToSelect(ctx, number);
  switch (reading) {
    case BankReading::kArgumentRefused:
      co_return;
    case BankReading::kNotSelected:
      ForgetScansAndSearch(ctx);
      co_return;
    case BankReading::kSelected:
      // Selected before it is tuned: the tuning tells the channel the
      // listener lands on, which only a selected bank has.
      ctx.poll.bankScanState = BankScan::kBankSelected;
      co_await TuneSelectedBank(ctx);
      co_return;
  }
}

SelectionGuard::~SelectionGuard() {
  if (ReturnToSelection(ctx_, mark_) == SelectionReturn::kBankGone) {
    ctx_.poll.bankScanState = BankScan::kOff;
  }
}

}  // namespace voxrig
