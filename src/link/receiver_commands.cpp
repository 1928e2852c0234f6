// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/receiver_commands.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/text_rules.h"
#include "speech/receiver_modes.h"

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

// The text as decimal digits with at most one point and at least one digit:
// its whole part and its decimals; nothing for any other text.
std::optional<std::pair<std::string, std::string>> DecimalParts(const std::string& text) {
  const auto point = text.find('.');
  std::string whole = text.substr(0, point);
  std::string decimals = point == std::string::npos ? std::string() : text.substr(point + 1);
  if (whole.empty() && decimals.empty()) return std::nullopt;
  if (!std::all_of(whole.begin(), whole.end(), IsDigit) ||
      !std::all_of(decimals.begin(), decimals.end(), IsDigit)) {
    return std::nullopt;  // a second point, a sign, a letter, a blank...
  }
  const auto firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? std::string() : whole.substr(firstNonZero);
  return std::make_pair(whole, decimals);
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

bool IsReceiverFrequency(const std::string& frequencyText) {
  const auto parts = DecimalParts(frequencyText);
  return parts && parts->second.size() <= 6 && StorableChannelFrequency(frequencyText);
}

bool IsReceiverStep(const std::string& stepText) {
  // Hundredths of a kilohertz: the receiver takes every multiple of 50 Hz
  // from 50 Hz to 999.95 kHz, and the air band's 8.33 kHz.
  constexpr long long kFinest = 5, kCoarsest = 99'995, kAirBand = 833;
  const auto parts = DecimalParts(stepText);
  if (!parts || parts->first.size() > 3 || parts->second.size() > 2) return false;
  std::string decimals = parts->second;
  decimals.resize(2, '0');
  const long long hundredths =
      (parts->first.empty() ? 0 : std::stoll(parts->first)) * 100 + std::stoll(decimals);
  return hundredths == kAirBand ||
         (hundredths % kFinest == 0 && hundredths >= kFinest && hundredths <= kCoarsest);
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

std::optional<std::string> StorableChannelFrequency(const std::string& frequencyText) {
  // The most megahertz digits the receiver's range has.
  constexpr std::size_t kMegahertzDigits = 4;
  const auto point = frequencyText.find('.');
  const std::string megahertz = frequencyText.substr(0, point);
  const std::string decimals =
      point == std::string::npos ? std::string() : frequencyText.substr(point + 1);
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (megahertz.empty() && decimals.empty()) return std::nullopt;
  if (!std::all_of(megahertz.begin(), megahertz.end(), isDigit) ||
      !std::all_of(decimals.begin(), decimals.end(), isDigit)) {
    return std::nullopt;  // a second point, a sign, a letter, a blank...
  }
  const auto firstNonZero = megahertz.find_first_not_of('0');
  const std::string whole =
      firstNonZero == std::string::npos ? std::string() : megahertz.substr(firstNonZero);
  if (whole.size() > kMegahertzDigits) return std::nullopt;
  // Whole hertz, counted exactly: the megahertz, six decimals, and the
  // seventh rounds.
  std::int64_t hz = whole.empty() ? 0 : std::stoll(whole);
  for (std::size_t i = 0; i < 6; ++i) hz = hz * 10 + (i < decimals.size() ? decimals[i] - '0' : 0);
  if (decimals.size() > 6 && decimals[6] >= '5') ++hz;
  if (hz < kLowestHz || hz > kHighestHz) return std::nullopt;
  std::string fraction = std::to_string(hz % 1'000'000);
  fraction.insert(0, 6 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string text = hz >= 1'000'000 ? std::to_string(hz / 1'000'000) : std::string();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

std::string StorableChannelName(const std::string& name) {
  std::string storable = name;
  for (char& c : storable) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return storable;
}

std::string ChannelModeField(const std::string& modeText) {
  const ReceiverMode* mode = ModeOfPanelText(modeText);
  if (mode == nullptr || mode->receiverCode == kAutomaticModeCode) return " AU1";
  return " MD" + std::to_string(mode->receiverCode);
}

std::string WriteChannel(char bank, int channel, const std::string& frequencyText,
                         const std::string& modeText, const std::string& name) {
  std::string number = std::to_string(channel);
  if (number.size() < 2) number.insert(0, "0");
  std::string paddedName = StorableChannelName(name.substr(0, kChannelNameLength));
  paddedName.resize(kChannelNameLength, ' ');
  return std::string("MX") + bank + number + " RF" + ChannelFrequencyField(frequencyText) +
         " ST012500" + ChannelModeField(modeText) + " TM" + paddedName;
}

}  // namespace voxrig::receiver
