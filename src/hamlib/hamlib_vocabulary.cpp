// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlib/hamlib_vocabulary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace voxrig::hamlib_vocabulary {

namespace {

// The characters of a channel name the receiver keeps.
constexpr std::size_t kChannelNameLength = 12;

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Decimal text with exactly one point, times `scale`, rounded to the hertz.
std::optional<long long> ScaledDecimal(std::string_view text, double scale) {
  const auto point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = text.substr(point + 1);
  if ((!whole.empty() && !AllDigits(whole)) || (!fraction.empty() && !AllDigits(fraction)) ||
      whole.size() + fraction.size() == 0 || whole.size() > 6 || fraction.size() > 9) {
    return std::nullopt;
  }
  const double value = std::stod("0" + std::string(text) + "0");
  return std::llround(value * scale);
}

}  // namespace

std::optional<long long> FrequencyHz(std::string_view text) {
  if (text.find('.') != std::string_view::npos) return ScaledDecimal(text, 1e6);
  if (!AllDigits(text) || text.size() > 12) return std::nullopt;
  return std::stoll(std::string(text));
}

std::optional<long long> StepHz(std::string_view text) {
  std::optional<long long> hz;
  if (text.find('.') != std::string_view::npos) {
    hz = ScaledDecimal(text, 1e3);
  } else if (AllDigits(text) && text.size() <= 9) {
    hz = std::stoll(std::string(text));
  }
  if (!hz || *hz <= 0) return std::nullopt;
  return hz;
}

std::string LevelAnswer(bool squelchOpen, int level) {
  char answer[8];
  std::snprintf(answer, sizeof answer, "LM%c%03d", squelchOpen ? ' ' : '%',
                std::clamp(level, 0, 255));
  return answer;
}

std::string ReceiveStateAnswer(std::string_view state, long long hz, long long stepHz, int modeCode,
                               bool attenuatorOn) {
  char answer[64];
  std::snprintf(answer, sizeof answer, " RF%010lld ST%06lld AU0 MD%d AT%d",
                std::clamp(hz, 0LL, 9999999999LL), std::clamp(stepHz, 0LL, 999999LL), modeCode,
                attenuatorOn ? 1 : 0);
  return std::string(state) + answer;
}

bool IsMemoryCommand(std::string_view command) {
  static constexpr std::array<std::string_view, 7> kMemoryCommands{"MA", "MX", "MQ", "MW",
                                                                   "MR", "MP", "MS"};
  return std::any_of(kMemoryCommands.begin(), kMemoryCommands.end(),
                     [&](std::string_view head) { return command.starts_with(head); });
}

bool IsBankLetter(char letter) {
  return letter >= 'A' && letter <= 'J';
}

std::optional<int> TwoDigits(std::string_view text, std::size_t at) {
  if (text.size() < at + 2 || !AllDigits(text.substr(at, 2))) return std::nullopt;
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

namespace {

bool IsSwitchValue(std::string_view value) {
  return value == "0" || value == "1";
}

// One field of a channel write into `channel`; false when it is malformed.
bool ReadChannelField(std::string_view tag, std::string_view value, MemoryChannel& channel) {
  if (tag == "RF") {
    const auto hz = FrequencyHz(value);
    if (!hz || *hz <= 0) return false;
    channel.hz = *hz;
    channel.empty = false;
  } else if (tag == "ST") {
    const auto step = StepHz(value);
    if (!step) return false;
    channel.stepHz = *step;
  } else if (tag == "MD") {
    if (value.size() != 1 || value[0] < '0' || value[0] > '8') return false;
    channel.modeCode = value[0] - '0';
    channel.automaticMode = false;
  } else if (tag == "AU" || tag == "AT" || tag == "MP") {
    if (!IsSwitchValue(value)) return false;
    bool& flag =
        tag == "AU" ? channel.automaticMode : (tag == "AT" ? channel.attenuatorOn : channel.passed);
    flag = value == "1";
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::optional<ChannelWrite> ParseChannelWrite(std::string_view command) {
  ChannelWrite write;
  const auto slot = TwoDigits(command, 3);
  if (!command.starts_with("MX") || command.size() < 5 || !IsBankLetter(command[2]) || !slot) {
    return std::nullopt;
  }
  write.bank = command[2];
  write.slot = *slot;
  std::size_t at = 5;
  while (at < command.size()) {
    if (command[at] != ' ') return std::nullopt;
    while (at < command.size() && command[at] == ' ') ++at;
    if (at == command.size()) break;
    const std::string_view tag = command.substr(at, 2);
    at += tag.size();
    if (tag == "TM") {
      // The name is the rest of the line, blanks and all.
      write.channel.name = std::string(command.substr(at, kChannelNameLength));
      break;
    }
    const std::size_t end = std::min(command.find(' ', at), command.size());
    if (!ReadChannelField(tag, command.substr(at, end - at), write.channel)) return std::nullopt;
    at = end;
  }
  if (write.channel.empty) return std::nullopt;
  return write;
}

std::string ChannelLine(char bank, int slot, const MemoryChannel& channel) {
  if (channel.empty) return "---";
  char head[80];
  std::snprintf(head, sizeof head, "MX%c%02d MP%d RF%010lld ST%06lld AU%d MD%d AT%d TM", bank,
                std::clamp(slot, 0, 99), channel.passed ? 1 : 0,
                std::clamp(channel.hz, 0LL, 9999999999LL),
                std::clamp(channel.stepHz, 0LL, 999999LL), channel.automaticMode ? 1 : 0,
                channel.modeCode, channel.attenuatorOn ? 1 : 0);
  std::string name = channel.name.substr(0, kChannelNameLength);
  name.resize(kChannelNameLength, ' ');
  return head + name;
}

int LevelFromStrength(int decibelsOverS9) {
  // Six dB to an S unit, twelve meter figures to an S unit.
  return std::clamp((decibelsOverS9 + 54) * 2, 0, 255);
}

}  // namespace voxrig::hamlib_vocabulary
