#include "command/receiver_bank_keys.h"

#include <string>

#include "banks/bank_file.h"
#include "banks/bank_names.h"
#include "command/key_codes.h"
#include "command/pending_commands.h"
#include "core/text_rules.h"
#include "speech/speech.h"

namespace voxrig {

void QueryReceiverBank(Context& ctx) {
  CommandState& command = ctx.command;
  const int key = ctx.panel.currentKey;
  // Two digits of a bank file, then one of the receiver's banks A to J; any
  // other key names no receiver bank.
  if (command.entryText.size() != 2 || !HoldsOnlyDigits(command.entryText) ||
      !keys::IsReceiverBankLetter(key)) {
    RefuseSequence(ctx, "inv");
    return;
  }
  const char letter = static_cast<char>(key);
  command.entryText += letter;
  Say(ctx, std::string(1, letter));
  // A missing bank file is told at once. Nothing goes to the receiver yet:
  // its bank is cleared at Enter, once the bank file has been read, so a W
  // given up before Enter leaves the receiver's bank as it was.
  if (!ctx.platform.files->Exists(
          BankFileOnDisk(ctx, banks::BankFileName(command.entryText.str().substr(0, 2))))) {
    RefuseSequence(ctx, "bnf");
  }
}

}  // namespace voxrig
