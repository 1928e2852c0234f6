// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

inline constexpr const char* kBankTerminator = "9999";

// The name a bank file has in the folder, whatever its letter case: a file
// copied from another computer as "BANK05.DAT" is bank05.dat's file and is
// written back under its own name. When names differ only in case, the exact
// name (always lower case for a bank) wins; with none, the name itself.
std::string BankFileOnDisk(Context& ctx, const std::string& name);
// Fills banks.bankSlots from banks.bankFileName; "bnf" when it is missing or
// is no regular file.
void ReadBankFile(Context& ctx);
// The same without a word: false when the file is missing.
bool ReadBankFileSilently(Context& ctx);
// Replaces the file with the slots up to the terminator, atomically. Returns
// false when the file could not be written (the old file is then intact), or
// when writing it would lose lines: the file on disk holds more than the 400
// lines of the bank in memory (banks.lastWriteTooLong is then set), or its
// name is not a regular file.
bool WriteBankFile(Context& ctx);
// True, with lastWriteOk cleared and lastWriteTooLong set, when the file of
// banks.bankFileName holds more lines than the bank in memory can, so an
// operation that rewrites it must refuse before it changes anything.
bool BankFileTooLong(Context& ctx);
// The file's bytes for a set of slots: one CR LF line per slot, up to and
// including the terminator, at most 400 lines.
std::string BankFileBytes(const BankState::Slots& slots);
// "ok" when the write succeeded; "toolong" when it was refused because the
// file is longer than a bank; "wrerr" when it failed.
void SayWriteResult(Context& ctx, bool written);

}  // namespace voxrig
