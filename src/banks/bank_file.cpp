// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_file.h"

#include <optional>
#include <string_view>

#include "banks/bank_layout.h"
#include "banks/bank_undo.h"
#include "platform/file_system.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// Reads one line of a bank file at `position`: every byte up to the first CR
// or LF. CR LF, a lone CR and a lone LF each end a line, so files saved on any
// system read alike. At the end of the file the line is empty.
std::string_view NextLine(std::string_view content, std::size_t& position) {
  if (position >= content.size()) return {};
  const std::size_t end = content.find_first_of("\r\n", position);
  if (end == std::string_view::npos) {
    const std::string_view line = content.substr(position);
    position = content.size();
    return line;
  }
  const std::string_view line = content.substr(position, end - position);
  position = end + 1;
  if (content[end] == '\r' && position < content.size() && content[position] == '\n') ++position;
  return line;
}

// True when the file goes on past the 400 lines that the bank in memory
// holds without a terminator among them: rewriting it from memory would cut
// its end off.
bool HoldsMoreThanABank(const FileRead& file) {
  std::size_t position = 0;
  for (int i = 0; i < BankState::kFileLines; ++i) {
    if (NextLine(file.bytes, position) == kBankTerminator) return false;
  }
  return file.status == ReadStatus::kTooLarge || position < file.bytes.size();
}

bool IsTooLong(const FileRead& file) {
  return (file.status == ReadStatus::kRead || file.status == ReadStatus::kTooLarge) &&
         HoldsMoreThanABank(file);
}

FileRead ReadNamedBank(Context& ctx) {
  if (ctx.platform.files == nullptr) return {};
  return ctx.platform.files->Read(BankFileOnDisk(ctx, ctx.banks.bankFileName.str()));
}

}  // namespace

std::string BankFileOnDisk(Context& ctx, const std::string& name) {
  return ctx.platform.files == nullptr ? name : ctx.platform.files->ExistingName(name);
}

bool BankFileTooLong(Context& ctx) {
  const bool tooLong = IsTooLong(ReadNamedBank(ctx));
  if (tooLong) {
    ctx.banks.lastWriteOk = false;
    ctx.banks.lastWriteTooLong = true;
  }
  return tooLong;
}

void ReadBankFile(Context& ctx) {
  // The bank the listener was working on stays in memory untouched.
  if (!ReadBankFileSilently(ctx)) Say(ctx, "bnf");
}

bool ReadBankFileSilently(Context& ctx) {
  BankState& banks = ctx.banks;
  const FileRead file = ReadNamedBank(ctx);
  // A file larger than any bank is read as far as a bank goes; no operation
  // writes it back (BankFileTooLong), so nothing past that is lost.
  std::optional<std::string_view> content;
  if (file.status == ReadStatus::kRead || file.status == ReadStatus::kTooLarge) {
    content = file.bytes;
  }
  if (!content) {
    banks.bankFound = false;
    return false;
  }
  for (int i = 0; i < BankState::kFileLines; ++i) banks.bankSlots[i].clear();
  std::size_t position = 0;
  for (int i = 0; i < BankState::kFileLines; ++i) {
    // A line longer than a slot is cut to the slot's 254 characters.
    banks.bankSlots[i] = NextLine(*content, position);
    if (banks.bankSlots[i] == kBankTerminator) {
      // The last channel is the last whole record in front of the terminator,
      // so the index always names a channel's frequency slot (2 when there is
      // none), even when a header or tag line of a hand-edited file reads "9999".
      const banks::BankLayout layout = banks::ReadLayout(banks.bankSlots, BankState::kFileLines);
      banks.bankLastSlot = banks::LastChannelSlot(layout);
      banks.bankScanIndex = banks.bankLastSlot;
      break;
    }
  }
  banks.bankFound = true;
  return true;
}

std::string BankFileBytes(const BankState::Slots& slots) {
  std::string bytes;
  for (int i = 0; i < BankState::kFileLines; ++i) {
    bytes += slots[i].str();
    bytes += "\r\n";
    if (slots[i] == kBankTerminator) break;
  }
  return bytes;
}

bool WriteBankFile(Context& ctx) {
  BankState& banks = ctx.banks;
  banks.lastWriteOk = false;
  banks.lastWriteTooLong = false;
  if (ctx.platform.files == nullptr) return false;
  FileSystem& files = *ctx.platform.files;
  const std::string name = BankFileOnDisk(ctx, banks.bankFileName.str());
  const FileRead current = files.Read(name);
  // A pipe, a device or a folder under the bank's name is left alone.
  if (current.status == ReadStatus::kUnreadable) return false;
  if (IsTooLong(current)) {
    banks.lastWriteTooLong = true;
    return false;
  }
  // The file is written whole beside the old one and renamed over it, so a
  // full disk or a crash never leaves half a bank behind; U can take the
  // change back.
  banks.lastWriteOk = ReplaceBankFile(ctx, name, BankFileBytes(banks.bankSlots));
  return banks.lastWriteOk;
}

void SayWriteResult(Context& ctx, bool written) {
  if (written) {
    Say(ctx, "ok");
  } else {
    Say(ctx, ctx.banks.lastWriteTooLong ? "toolong" : "wrerr");
  }
}

}  // namespace voxrig
