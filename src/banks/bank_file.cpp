#include "banks/bank_file.h"

#include <optional>
#include <string_view>

#include "banks/bank_layout.h"
#include "banks/bank_undo.h"
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

}  // namespace

void ReadBankFile(Context& ctx) {
  // The bank the listener was working on stays in memory untouched.
  if (!ReadBankFileSilently(ctx)) Say(ctx, "bnf");
}

bool ReadBankFileSilently(Context& ctx) {
  BankState& banks = ctx.banks;
  std::optional<std::string> content;
  if (ctx.platform.files != nullptr) content = ctx.platform.files->ReadFile(banks.bankFileName);
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
  // The file is written whole beside the old one and renamed over it, so a
  // full disk or a crash never leaves half a bank behind; U can take the
  // change back.
  const bool written = ReplaceBankFile(ctx, banks.bankFileName, BankFileBytes(banks.bankSlots));
  banks.lastWriteOk = written;
  return written;
}

void SayWriteResult(Context& ctx, bool written) {
  Say(ctx, written ? "ok" : "wrerr");
}

}  // namespace voxrig
