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

// A frequency text read exactly: whole hertz from its megahertz and first
// six decimals, and the decimals past those. Nothing for a text that is not
// decimal digits with at most one point, or whose megahertz have more digits
// than the receiver's range.
struct ExactFrequency {
  std::int64_t hz = 0;
  std::string finerDecimals;
};

std::optional<ExactFrequency> ReadFrequency(const std::string& text) {
  // The most megahertz digits the receiver's range has.
  constexpr std::size_t kMegahertzDigits = 4;
  const auto parts = DecimalParts(text);
  if (!parts || parts->first.size() > kMegahertzDigits) return std::nullopt;
  const std::string& decimals = parts->second;
  ExactFrequency exact;
  exact.hz = parts->first.empty() ? 0 : std::stoll(parts->first);
  for (std::size_t i = 0; i < 6; ++i) {
    exact.hz = exact.hz * 10 + (i < decimals.size() ? decimals[i] - '0' : 0);
  }
  if (decimals.size() > 6) exact.finerDecimals = decimals.substr(6);
  return exact;
}

bool InRange(std::int64_t hz) {
  return hz >= kLowestHz && hz <= kHighestHz;
}

// Hertz as megahertz text with no leading zeros and no decimal zeros:
// 145500000 gives 145.5, 145000000 gives 145, 500000 gives .5.
std::string MegahertzDigits(std::int64_t hz) {
  std::string fraction = std::to_string(hz % 1'000'000);
  fraction.insert(0, 6 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string text = hz >= 1'000'000 ? std::to_string(hz / 1'000'000) : std::string();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

// A step text in hundredths of a kilohertz, when it has the receiver's form
// (at most three whole digits and two decimals); nothing otherwise.
std::optional<long long> StepHundredths(const std::string& stepText) {
  const auto parts = DecimalParts(stepText);
  if (!parts || parts->first.size() > 3 || parts->second.size() > 2) return std::nullopt;
  std::string decimals = parts->second;
  decimals.resize(2, '0');
  return (parts->first.empty() ? 0 : std::stoll(parts->first)) * 100 + std::stoll(decimals);
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
  const auto hundredths = StepHundredths(stepText);
  if (!hundredths) return false;
  return *hundredths == kAirBand ||
         (*hundredths % kFinest == 0 && *hundredths >= kFinest && *hundredths <= kCoarsest);
}

std::int64_t RoundedToTuningResolution(std::int64_t hz) {
  const std::int64_t below = hz % kTuningResolutionHz;
  return below * 2 >= kTuningResolutionHz ? hz - below + kTuningResolutionHz : hz - below;
}

std::optional<std::string> TunableFrequency(const std::string& frequencyText) {
  const auto exact = ReadFrequency(frequencyText);
  if (!exact) return std::nullopt;
  // Decimals past the hertz add less than one hertz, so they cannot move the
  // rounding: 24.9 Hz past a multiple of 50 still rounds down.
  const std::int64_t hz = RoundedToTuningResolution(exact->hz);
  if (!InRange(hz)) return std::nullopt;
  if (hz == exact->hz && exact->finerDecimals.empty()) return frequencyText;
  return MegahertzDigits(hz);
}

std::optional<std::int64_t> StepHz(const std::string& stepText) {
  if (!IsReceiverStep(stepText)) return std::nullopt;
  return *StepHundredths(stepText) * 10;
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
  const auto exact = ReadFrequency(frequencyText);
  if (!exact) return std::nullopt;
  // Whole hertz, counted exactly: the seventh decimal rounds.
  const bool roundsUp = !exact->finerDecimals.empty() && exact->finerDecimals[0] >= '5';
  const std::int64_t hz = exact->hz + (roundsUp ? 1 : 0);
  if (!InRange(hz)) return std::nullopt;
  return MegahertzDigits(hz);
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

std::int64_t ChannelStepHz(const std::string& stepText) {
  return StepHz(stepText).value_or(*StepHz(kDefaultStepText));
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

}  // namespace voxrig::receiver
