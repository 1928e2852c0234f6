// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

// The bank file names built from the typed argument, and the checks that the
// argument can name a file at all. Every key that takes a bank argument checks
// it here.
namespace voxrig::banks {

// The search log, and the log a new search replaced while it held finds.
inline constexpr const char* kSearchLogFile = "bank00.dat";
inline constexpr const char* kSearchLogBackup = "bank00.bak";

// "bank" + number + ".dat".
std::string BankFileName(const std::string& number);

// "bank", two or four digits, ".dat", in any letter case: the names the
// panel reads its banks from (B and O take four digits).
bool IsBankFileName(const std::string& name);

// True when the text is the number of one bank file: two digits.
bool IsBankNumber(const std::string& text);

// True when the argument of B, O, P or T can name bank files: 2 or 4 digits.
// A point would put a second dot into the file name, so it is refused.
bool IsBankArgument(const std::string& argument);

// Says "inv" and returns true when the argument cannot name a bank file, so an
// operation called with such an argument builds no file name and does nothing.
bool RefuseBankArgument(Context& ctx, const std::string& argument);

// The source of T: the first two characters when the argument has four,
// otherwise the search log "00".
std::string TransferSourceNumber(const std::string& entryText);

// The target of P and T: the third and fourth characters when the argument
// has four, otherwise the first two.
std::string MergeTargetNumber(const std::string& entryText);

// True when the argument of W or X holds two digits and a receiver bank
// letter A to J.
bool IsReceiverTransferArgument(const std::string& argument);

}  // namespace voxrig::banks
