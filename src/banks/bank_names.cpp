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

bool IsBankFileName(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const std::size_t digits = lower.size() - std::min(lower.size(), std::size_t{8});
  if ((digits != 2 && digits != 4) || !lower.starts_with("bank") || !lower.ends_with(".dat")) {
    return false;
  }
  return std::all_of(lower.begin() + 4, lower.begin() + 4 + static_cast<std::ptrdiff_t>(digits),
                     IsDigit);
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
