// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ar8600/ar8600_commands.h"

#include <algorithm>

#include "core/receiver_modes.h"
#include "link/receiver_commands.h"

namespace voxrig::receiver {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The text with the leading zeros of its whole part gone (one stays before a
// point, as in 0.5), and how many digits that whole part then has: the
// receiver's fixed-width fields are filled in front by that count, so
// 0145.5 and 145.5 give one command, and .5 its four megahertz digits.
std::string WithoutLeadingZeros(const std::string& text, std::size_t& wholeDigits) {
  std::size_t zeros = 0;
  while (zeros + 1 < text.size() && text[zeros] == '0' && IsDigit(text[zeros + 1])) ++zeros;
  std::string trimmed = text.substr(zeros);
  wholeDigits = 0;
  while (wholeDigits < trimmed.size() && IsDigit(trimmed[wholeDigits])) ++wholeDigits;
  return trimmed;
}

}  // namespace

std::string SetVfo(char vfo, const std::string& frequencyDigits) {
  std::size_t wholeDigits = 0;
  const std::string digits = WithoutLeadingZeros(frequencyDigits, wholeDigits);
  std::string command = std::string("V") + vfo;
  if (wholeDigits < 4) command.append(4 - wholeDigits, '0');
  command += digits;
  while (command.size() < 11) command += "0";
  command += "0";
  return command;
}

std::string SetStep(const std::string& stepText) {
  std::size_t wholeDigits = 0;
  const std::string digits = WithoutLeadingZeros(stepText, wholeDigits);
  std::string command = "ST";
  if (wholeDigits < 3) command.append(3 - wholeDigits, '0');
  command += digits;
  while (command.size() < 8) command += "0";
  return command;
}

std::string SelectMode(int modeCode) {
  return "MD" + std::to_string(modeCode);
}

std::string Attenuator(bool on) {
  return on ? "AT1" : "AT0";
}

std::string NoiseLimiter(bool on) {
  return on ? "NL1" : "NL0";
}

std::string StartMemoryScan(const std::string& bank) {
  return "MS" + bank;
}

std::string RecallChannel(const std::string& channel) {
  return "MR" + channel;
}

std::string PassChannel(bool pass) {
  return pass ? "MP1" : "MP0";
}

std::string ClearBank(char bank) {
  return std::string("MQ") + bank + "%%";
}

std::string ReadBankSize(char bank) {
  return std::string("MW") + bank;
}

std::string ReadBankChannels(char bank) {
  return std::string("MA") + bank;
}

std::string SetBankSizeNinety(char bank) {
  return std::string("MW") + bank + "90";
}

std::string ChannelFrequencyField(const std::string& frequencyText) {
  const auto point = frequencyText.find('.');
  std::string megahertz = frequencyText.substr(0, point);
  const std::string decimals =
      point == std::string::npos ? std::string() : frequencyText.substr(point + 1);
  // Leading zeros carry no value; the receiver wants exactly four megahertz
  // digits below 10 000 MHz, so 0.5 and .5 both become 0000 5...
  const auto firstNonZero = megahertz.find_first_not_of('0');
  megahertz = firstNonZero == std::string::npos ? std::string() : megahertz.substr(firstNonZero);
  while (megahertz.size() < 4) megahertz.insert(0, "0");
  std::string field = megahertz + decimals;
  while (field.size() < 10) field += "0";
  return field;
}

std::string ChannelModeField(const std::string& modeText) {
  const ReceiverMode* mode = ModeOfPanelText(modeText);
  if (mode == nullptr || mode->receiverCode == kAutomaticModeCode) return " AU1";
  return " MD" + std::to_string(mode->receiverCode);
}

std::string ChannelStepField(const std::string& stepText) {
  // At most 999950 Hz: six digits always hold it.
  constexpr std::size_t kStepDigits = 6;
  std::string digits = std::to_string(ChannelStepHz(stepText));
  digits.insert(0, kStepDigits - std::min(kStepDigits, digits.size()), '0');
  return " ST" + digits;
}

std::string WriteChannel(char bank, int channel, const std::string& frequencyText,
                         const std::string& stepText, const std::string& modeText,
                         const std::string& name) {
  std::string number = std::to_string(channel);
  if (number.size() < 2) number.insert(0, "0");
  std::string paddedName = StorableChannelName(name.substr(0, kChannelNameLength));
  paddedName.resize(kChannelNameLength, ' ');
  return std::string("MX") + bank + number + " RF" + ChannelFrequencyField(frequencyText) +
         ChannelStepField(stepText) + ChannelModeField(modeText) + " TM" + paddedName;
}

std::string ModeCommand(Mode mode) {
  const ReceiverMode& row = ModeFacts(mode);
  return row.receiverCode == kAutomaticModeCode ? std::string(kAutomaticModeOn)
                                                : SelectMode(row.receiverCode);
}

std::string RecallChannel(char bank, int channel) {
  std::string number = std::to_string(channel);
  if (number.size() < 2) number.insert(0, "0");
  return RecallChannel(std::string(1, bank) + number);
}

}  // namespace voxrig::receiver
