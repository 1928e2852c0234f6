// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ar8600/ar8600_answers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

#include "core/receiver_modes.h"
#include "core/text_rules.h"
#include "link/receiver_commands.h"
#include "link/timed_exchange.h"

namespace voxrig::receiver {

namespace {

struct AnswerKeyword {
  const char* keyword;
  std::size_t length;
};
constexpr std::array<AnswerKeyword, 4> kAnswerKeywords{{
    {"LC", 30},
    {"MW", 13},
    {"VS", 18},
    {"LM", 6},
}};

constexpr int kHighestLevel = 255;
// The receiver's frequency field: four megahertz digits and six more. An
// eleventh digit is kept when it comes (seven decimals).
constexpr std::size_t kFieldDigits = 10;
constexpr std::size_t kMostDigits = 11;
// The digits of a frequency where a scan holds: four of megahertz, five
// decimals.
constexpr std::size_t kHeldDigits = 9;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

std::int64_t NumberOf(std::string_view digits) {
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

bool IsSwitch(std::string_view value) {
  return value == "0" || value == "1";
}

bool IsLevelReport(std::string_view line) {
  return line.starts_with("LC") || line.starts_with("LM");
}

std::string WithoutLeadingZeros(std::string text) {
  const auto first = text.find_first_not_of('0');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string WithoutTrailingZeros(std::string text) {
  const auto last = text.find_last_not_of('0');
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

// Where a search stopped or the receiver is tuned: the run of digits after
// the first "RF". Nothing when fewer than ten follow it (an answer cut short
// would log a wrong frequency).
std::optional<HeardFrequency> FrequencyField(std::string_view reply) {
  const std::size_t at = FindText(reply, "RF");
  if (at == 0) return std::nullopt;
  std::string digits;
  for (std::size_t i = at + 1; i < reply.size() && digits.size() < kMostDigits; ++i) {
    if (!IsDigit(reply[i])) break;
    digits += reply[i];
  }
  if (digits.size() < kFieldDigits) return std::nullopt;
  const std::string withPoint = LeftText(digits, 4) + "." + MiddleText(digits, 5);
  std::string text = WithoutTrailingZeros(WithoutLeadingZeros(withPoint));
  // Whole megahertz are shown and logged as a typed 145 is: 145.0.
  if (text.ends_with('.')) text += '0';
  return HeardFrequency{digits, text, NumberOf(std::string_view(digits).substr(0, kFieldDigits))};
}

// Where a scan holds, from a level report: the four characters after the
// first "RF", a point and the five after those, leading zeros removed
// (RF0145125000 gives 145.12500). A line cut short or garbled on the way
// must not put letters or blanks on the frequency line.
std::optional<HeardFrequency> HeldFrequency(std::string_view reply) {
  const std::size_t at = FindText(reply, "RF");
  if (at == 0) return std::nullopt;
  const std::string_view field = reply.substr(at + 1, kHeldDigits);
  if (field.size() < kHeldDigits || !AllDigits(field)) return std::nullopt;
  const std::string text =
      WithoutLeadingZeros(MiddleText(reply, at + 2, 4) + "." + MiddleText(reply, at + 6, 5));
  return HeardFrequency{text, text, NumberOf(field) * 10};
}

// The value of the field that starts with `tag` after a blank ("ST" gives
// the six digits after " ST"), or empty.
std::string_view FieldAfter(std::string_view line, std::string_view tag) {
  const std::string marker = " " + std::string(tag);
  const std::size_t at = line.find(marker);
  if (at == std::string_view::npos) return {};
  const std::size_t start = at + marker.size();
  const std::size_t end = line.find(' ', start);
  return line.substr(start, end == std::string_view::npos ? end : end - start);
}

std::optional<Mode> ModeOfFields(std::string_view automatic, std::string_view code) {
  if (automatic == "1") return Mode::kAUT;
  if (automatic != "0" || code.size() != 1 || !IsDigit(code[0])) return std::nullopt;
  const ReceiverMode* mode = ModeOfReceiverCode(code[0] - '0');
  if (mode == nullptr) return std::nullopt;
  return mode->mode;
}

bool IsChannelName(std::string_view text) {
  if (text.size() != 3) return false;
  const char bank = text[0];
  const bool letter = (bank >= 'A' && bank <= 'J') || (bank >= 'a' && bank <= 'j');
  return letter && IsDigit(text[1]) && IsDigit(text[2]);
}

}  // namespace

std::optional<std::string> FindKnownAnswer(std::string_view arrived) {
  for (const AnswerKeyword& known : kAnswerKeywords) {
    const auto at = arrived.find(known.keyword);
    if (at != std::string_view::npos) return std::string(arrived.substr(at, known.length));
  }
  // Nothing the panel knows: not an answer.
  return std::nullopt;
}

std::optional<Reception> ParseLevelAnswer(std::string_view answer) {
  if (!IsLevelReport(answer)) return std::nullopt;
  Reception reception;
  reception.squelchOpen = !(answer.size() >= 3 && answer[2] == '%');
  // A garbled answer ("LM 674") must not be drawn as a level the receiver
  // cannot have.
  const long long level = RoundToInteger(NumberFromText(MiddleText(answer, 4, 3)));
  reception.level = static_cast<int>(std::clamp(level, 0LL, static_cast<long long>(kHighestLevel)));
  reception.reportedOnChange = answer.starts_with("LC");
  reception.holdsAt = HeldFrequency(answer);
  return reception;
}

std::optional<std::string> FindReceiveStateLine(std::string_view arrived) {
  std::size_t start = 0;
  while (start < arrived.size()) {
    std::size_t end = arrived.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = arrived.size();
    const std::string line(arrived.substr(start, end - start));
    // A level report ("LC ... RF...") may be on the line too; it says where
    // the squelch opened, not what the receiver answered.
    if (!IsLevelReport(line) && HoldsFrequencyField(line)) return line;
    start = end + 1;
  }
  return std::nullopt;
}

ReceiveState ParseReceiveState(std::string_view line) {
  ReceiveState state;
  state.frequency = FrequencyField(line);
  const std::string_view step = FieldAfter(line, "ST");
  if (step.size() == 6 && AllDigits(step)) state.stepHz = NumberOf(step);
  state.mode = ModeOfFields(FieldAfter(line, "AU"), FieldAfter(line, "MD"));
  const std::string_view attenuator = FieldAfter(line, "AT");
  if (IsSwitch(attenuator)) state.attenuatorOn = attenuator == "1";
  const std::size_t channel = line.find("MX");
  if (channel != std::string_view::npos) state.channel = ParseNamedChannel(line.substr(channel));
  return state;
}

std::optional<std::string> FindChannelLine(std::string_view arrived) {
  const std::size_t start = arrived.find("MX");
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t end = arrived.find_first_of("\r\n", start);
  return std::string(arrived.substr(start, end == std::string_view::npos ? end : end - start));
}

std::optional<MemoryChannel> ParseNamedChannel(std::string_view line) {
  const std::string_view name = line.substr(std::min<std::size_t>(2, line.size()), 3);
  if (!line.starts_with("MX") || !IsChannelName(name)) return std::nullopt;
  MemoryChannel channel = ParseMemoryLine(line, name[0]).value_or(MemoryChannel{});
  channel.empty = false;
  channel.bank = name[0];
  channel.channel = static_cast<int>(NumberOf(name.substr(1)));
  return channel;
}

std::optional<MemoryChannel> ParseMemoryLine(std::string_view line, char bank) {
  MemoryChannel channel;
  channel.bank = bank;
  if (line == "---") {
    channel.empty = true;
    return channel;
  }
  if (line.size() < 5 || line.substr(0, 2) != "MX" || line[2] != bank ||
      !AllDigits(line.substr(3, 2))) {
    return std::nullopt;
  }
  channel.channel = static_cast<int>(NumberOf(line.substr(3, 2)));
  bool hasFrequency = false, hasMode = false;
  std::size_t at = 5;
  while (at < line.size()) {
    if (line[at] != ' ') return std::nullopt;
    while (at < line.size() && line[at] == ' ') ++at;
    if (at == line.size()) break;
    const std::string_view tag = line.substr(at, 2);
    at += tag.size();
    if (tag == "TM") {
      // The name is the rest of the line, blanks and all.
      channel.name = std::string(line.substr(at, kChannelNameLength));
      break;
    }
    const std::size_t end = std::min(line.find(' ', at), line.size());
    const std::string_view value = line.substr(at, end - at);
    at = end;
    if (tag == "RF") {
      // Ten digits of hertz; an eleventh when the frequency has seven decimals.
      if (!AllDigits(value) || value.size() < 10 || value.size() > 11) return std::nullopt;
      channel.hz = NumberOf(value);
      hasFrequency = true;
    } else if (tag == "ST") {
      if (!AllDigits(value) || value.size() > 6) return std::nullopt;
      channel.stepHz = NumberOf(value);
    } else if (tag == "MD") {
      if (value.size() != 1 || value[0] < '0' || value[0] > '8') return std::nullopt;
      channel.receiverModeCode = value[0] - '0';
      hasMode = true;
    } else if (tag == "AU") {
      if (!IsSwitch(value)) return std::nullopt;
      channel.automaticMode = value == "1";
    } else if (tag.size() < 2) {
      return std::nullopt;
    }
    // Other fields (the pass flag, the attenuator) say nothing a bank file keeps.
  }
  if (!hasFrequency || !hasMode) return std::nullopt;
  if (channel.automaticMode) {
    channel.mode = Mode::kAUT;
  } else if (const ReceiverMode* mode = ModeOfReceiverCode(channel.receiverModeCode)) {
    channel.mode = mode->mode;
  }
  return channel;
}

std::optional<BankSize> ParseBankSize(std::string_view answer, char bank) {
  const std::size_t start = answer.find("MW");
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t named = answer.find_first_not_of(' ', start + 2);
  if (named != std::string_view::npos && answer[named] >= 'A' && answer[named] <= 'J' &&
      answer[named] != bank) {
    return std::nullopt;
  }
  const std::string_view size = answer.substr(std::min(start + 5, answer.size()), 2);
  return BankSize{bank, static_cast<int>(NumberFromText(size))};
}

}  // namespace voxrig::receiver
