#pragma once

#include <string>

#include "core/context.h"

// The bank file names built from the typed argument, and the check that the
// argument can name a file at all.
namespace voxrig::banks {

// "bank" + number + ".dat".
std::string BankFileName(const std::string& number);

// True when the argument of B, O, P or T can name bank files: 2 or 4 digits.
// A point would put a second dot into the file name, so it is refused.
bool IsBankArgument(const std::string& entryText);

// Says "inv" and returns true when entryText cannot name a bank file, so an
// operation called with such an argument builds no file name and does nothing.
bool RefuseBankArgument(Context& ctx);

// The source of T: the first two characters when the argument has four,
// otherwise the search log "00".
std::string TransferSourceNumber(const std::string& entryText);

// The target of P and T: the third and fourth characters when the argument
// has four, otherwise the first two.
std::string MergeTargetNumber(const std::string& entryText);

// True when the argument of W holds two digits and a receiver bank letter A to J.
bool IsReceiverTransferArgument(const std::string& entryText);

}  // namespace voxrig::banks
