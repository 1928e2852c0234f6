#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

inline constexpr const char* kBankTerminator = "9999";

// Fills banks.bankSlots from banks.bankFileName; "bnf" when it is missing.
void ReadBankFile(Context& ctx);
// The same without a word: false when the file is missing.
bool ReadBankFileSilently(Context& ctx);
// Replaces the file with the slots up to the terminator, atomically. Returns
// false when the file could not be written (the old file is then intact).
bool WriteBankFile(Context& ctx);
// The file's bytes for a set of slots: one CR LF line per slot, up to and
// including the terminator, at most 400 lines.
std::string BankFileBytes(const BankState::Slots& slots);
// "ok" when the write succeeded, "wrerr" when it did not.
void SayWriteResult(Context& ctx, bool written);

}  // namespace voxrig
