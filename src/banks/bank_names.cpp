// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_names.h"

#include <algorithm>

#include "core/text_rules.h"
#include "speech/speech.h"

namespace voxrig::banks {

namespace {
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

std::string BankFileName(const std::string& number) {
  return "bank" + number + ".dat";
}

bool IsBankNumber(const std::string& text) {
  return text.size() == 2 && std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsBankArgument(const std::string& argument) {
  return (argument.size() == 2 || argument.size() == 4) &&
         std::all_of(argument.begin(), argument.end(), IsDigit);
}

bool RefuseBankArgument(Context& ctx, const std::string& argument) {
  if (IsBankArgument(argument)) return false;
  Say(ctx, "inv");
  return true;
}

std::string TransferSourceNumber(const std::string& entryText) {
  return entryText.size() == 4 ? LeftText(entryText, 2) : std::string("00");
}

std::string MergeTargetNumber(const std::string& entryText) {
  return entryText.size() == 4 ? MiddleText(entryText, 3, 2) : LeftText(entryText, 2);
}

bool IsReceiverTransferArgument(const std::string& argument) {
  return argument.size() == 3 && IsBankNumber(argument.substr(0, 2)) && argument[2] >= 'A' &&
         argument[2] <= 'J';
}

}  // namespace voxrig::banks
