// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/receiver_bank_keys.h"

#include <string>

#include "banks/bank_file.h"
#include "banks/bank_names.h"
#include "command/key_codes.h"
#include "command/pending_commands.h"
#include "speech/speech.h"
#include "tuning/radio_abilities.h"

namespace voxrig {

namespace {

// Takes the key as the receiver bank's letter after two digits, and says it;
// otherwise says "inv" and ends the sequence. A bank the radio does not have
// is refused at its letter: nothing would be stored, read nor checked.
bool TakeReceiverBankLetter(Context& ctx, int key) {
  CommandState& command = ctx.command;
  if (!banks::IsBankNumber(command.entryText) || !keys::IsReceiverBankLetter(key) ||
      !RadioHasBank(ctx, static_cast<char>(key))) {
    RefuseSequence(ctx, "inv");
    return false;
  }
  const char letter = static_cast<char>(key);
  command.entryText += letter;
  Say(ctx, std::string(1, letter));
  return true;
}

}  // namespace

void QueryReceiverBank(Context& ctx) {
  CommandState& command = ctx.command;
  const int key = ctx.panel.currentKey;
  if (!TakeReceiverBankLetter(ctx, key)) return;
  // A missing bank file is told at once. Nothing goes to the receiver yet:
  // its bank is cleared at Enter, once the bank file has been read, so a W
  // given up before Enter leaves the receiver's bank as it was.
  if (!ctx.platform.files->Exists(
          BankFileOnDisk(ctx, banks::BankFileName(command.entryText.str().substr(0, 2))))) {
    RefuseSequence(ctx, "bnf");
  }
}

void TakeReadBankLetter(Context& ctx, int key) {
  TakeReceiverBankLetter(ctx, key);
}

}  // namespace voxrig
