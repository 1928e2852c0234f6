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

bool IsBankArgument(const std::string& entryText) {
  return (entryText.size() == 2 || entryText.size() == 4) &&
         std::all_of(entryText.begin(), entryText.end(), IsDigit);
}

bool RefuseBankArgument(Context& ctx) {
  if (IsBankArgument(ctx.command.entryText)) return false;
  Say(ctx, "inv");
  return true;
}

std::string TransferSourceNumber(const std::string& entryText) {
  return entryText.size() == 4 ? LeftText(entryText, 2) : std::string("00");
}

std::string MergeTargetNumber(const std::string& entryText) {
  return entryText.size() == 4 ? MiddleText(entryText, 3, 2) : LeftText(entryText, 2);
}

bool IsReceiverTransferArgument(const std::string& entryText) {
  return entryText.size() == 3 && IsDigit(entryText[0]) && IsDigit(entryText[1]) &&
         entryText[2] >= 'A' && entryText[2] <= 'J';
}

}  // namespace voxrig::banks
