// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver's answer to each command family.
#include <algorithm>

#include "frequency_text.h"
#include "receiver.h"

namespace ar8600sim {

namespace {

const Answer kRefused{"?"};
const Answer kDone{""};

std::optional<bool> SwitchDigit(std::string_view argument) {
  if (argument == "0") return false;
  if (argument == "1") return true;
  return std::nullopt;
}

// A bank letter and two digits ("A05"), as MR and MX take them.
bool ChannelAddress(std::string_view text, char& bank, int& number) {
  if (text.size() < 3 || !MemoryBanks::IsBank(text[0]) || !AllDigits(text.substr(1, 2))) {
    return false;
  }
  bank = text[0];
  number = (text[1] - '0') * 10 + (text[2] - '0');
  return true;
}

}  // namespace

Answer Receiver::LevelReportingCommand(std::string_view argument) {
  if (argument.empty()) return {"LC" + std::to_string(levelReporting_)};
  if (argument.size() != 1 || argument[0] < '0' || argument[0] > '2') return kRefused;
  levelReporting_ = argument[0] - '0';
  return kDone;
}

Answer Receiver::VfoCommand(int vfo, std::string_view argument) {
  if (!argument.empty()) {
    const auto hz = ParseFrequencyHz(argument);
    if (!hz || !FrequencyInRange(*hz)) return kRefused;
    vfoHz_[vfo] = *hz;
  }
  vfo_ = vfo;
  LeaveToVfo();
  return kDone;
}

Answer Receiver::FrequencyCommand(std::string_view argument) {
  if (argument.empty()) return {"RF" + TenDigitHz(TunedHz())};
  const auto hz = ParseFrequencyHz(argument);
  if (!hz || !FrequencyInRange(*hz)) return kRefused;
  // Tuning by frequency leaves memory, search and scan for the VFO last used.
  vfoHz_[vfo_] = *hz;
  LeaveToVfo();
  return kDone;
}

Answer Receiver::StepCommand(std::string_view argument) {
  if (argument.empty()) return {"ST" + SixDigitStep(settings_.stepHz)};
  const auto stepHz = ParseStepHz(argument);
  if (!stepHz) return kRefused;
  settings_.stepHz = *stepHz;
  return kDone;
}

Answer Receiver::ModeCommand(std::string_view argument) {
  if (argument.empty()) return {"MD" + std::to_string(ModeInUse())};
  if (argument.size() != 1 || argument[0] < '0' || argument[0] > '8') return kRefused;
  settings_.mode = argument[0] - '0';
  settings_.automaticMode = false;
  return kDone;
}

Answer Receiver::SwitchCommand(std::string_view head, std::string_view argument, bool& value) {
  if (argument.empty()) return {std::string(head) + (value ? "1" : "0")};
  const auto on = SwitchDigit(argument);
  if (!on) return kRefused;
  value = *on;
  return kDone;
}

Answer Receiver::SearchCommand(std::string_view head, std::string_view argument, double nowMs) {
  if (head == "VV") {
    if (argument != "0") return kRefused;
    // The search stops where it is; VFO A takes that frequency.
    if (place_ == Place::kSearch) {
      vfoHz_[0] = searchHz_;
      vfo_ = 0;
      LeaveToVfo();
    }
    return kDone;
  }
  if (!argument.empty()) return kRefused;
  place_ = Place::kSearch;
  searchHz_ = vfoHz_[0];
  StartMoving(nowMs);
  return kDone;
}

Answer Receiver::ScanCommand(std::string_view argument, double nowMs) {
  char bank = bank_;
  if (argument.size() == 1 && MemoryBanks::IsBank(argument[0])) {
    bank = argument[0];
  } else if (!argument.empty()) {
    return kRefused;
  }
  const std::vector<int> numbers = memory_.Numbers(bank, true);
  if (numbers.empty()) return kRefused;
  // Start on the present channel when it is in this bank, else at the bank's first.
  int first = numbers.front();
  if (OnMemory() && bank == bank_) {
    const auto here = std::lower_bound(numbers.begin(), numbers.end(), channel_);
    if (here != numbers.end()) first = *here;
  }
  Recall(bank, first);
  place_ = Place::kMemoryScan;
  StartMoving(nowMs);
  return kDone;
}

Answer Receiver::RecallCommand(std::string_view argument) {
  if (argument.empty()) {
    if (!OnMemory()) return kRefused;
    // Reading the channel ends a memory scan on it.
    place_ = Place::kMemory;
    resting_ = false;
    return {MemoryLine()};
  }
  char bank = 0;
  int number = 0;
  if (argument.size() != 3 || !ChannelAddress(argument, bank, number)) return kRefused;
  if (memory_.Find(bank, number) == nullptr) return kRefused;
  Recall(bank, number);
  return kDone;
}

Answer Receiver::PassCommand(std::string_view argument) {
  if (!OnMemory()) return kRefused;
  if (argument.empty()) return {std::string("MP") + (CurrentChannel().passed ? "1" : "0")};
  const auto passed = SwitchDigit(argument);
  if (!passed) return kRefused;
  memory_.SetPassed(bank_, channel_, *passed);
  return kDone;
}

Answer Receiver::DeleteCommand(std::string_view argument) {
  if (argument.size() == 3 && MemoryBanks::IsBank(argument[0]) && argument.substr(1) == "%%") {
    // "MQ" + bank + "%%" clears the whole bank: the AOR family's delete.
    memory_.Clear(argument[0]);
    if (OnMemory() && bank_ == argument[0]) LeaveToVfo();
    return kDone;
  }
  if (argument.empty()) {
    if (!OnMemory()) return kRefused;
    memory_.Erase(bank_, channel_);
    LeaveToVfo();
    return kDone;
  }
  if (argument.size() != 2 || !AllDigits(argument)) return kRefused;
  const int number = (argument[0] - '0') * 10 + (argument[1] - '0');
  memory_.Erase(bank_, number);
  if (OnMemory() && channel_ == number) LeaveToVfo();
  return kDone;
}

Answer Receiver::SplitCommand(std::string_view argument) {
  if (argument.empty() || !MemoryBanks::IsBank(argument[0])) return kRefused;
  const char bank = argument[0];
  if (argument.size() == 1) return {BankSizeLine(memory_, bank)};
  const std::string_view size = argument.substr(1);
  if (size.size() != 2 || !AllDigits(size)) return kRefused;
  Answer answer{"", true, memory_.StoredInPair(bank)};
  if (!memory_.Resize(bank, (size[0] - '0') * 10 + (size[1] - '0'))) return kRefused;
  if (OnMemory() && memory_.Find(bank_, channel_) == nullptr) LeaveToVfo();
  return answer;
}

Answer Receiver::WriteCommand(std::string_view argument) {
  char bank = 0;
  int number = 0;
  if (!ChannelAddress(argument, bank, number)) return kRefused;
  if (number >= memory_.Size(bank)) return kRefused;
  const auto fields = ParseChannelFields(argument.substr(3));
  if (!fields) return kRefused;
  const Channel* stored = memory_.Find(bank, number);
  const Channel channel = WithFields(stored != nullptr ? *stored : Channel{}, *fields);
  // An empty channel cannot be written without its frequency.
  if (channel.hz == 0) return kRefused;
  memory_.Store(bank, number, channel);
  return kDone;
}

Answer Receiver::ReadBankCommand(std::string_view argument) {
  constexpr int kChannelsPerRead = 10;
  if (argument.size() == 1 && MemoryBanks::IsBank(argument[0])) {
    readingBank_ = argument[0];
    nextToRead_ = 0;
  } else if (!argument.empty() || !readingBank_) {
    return kRefused;
  }
  const char bank = *readingBank_;
  // Banks hold whole tens, so every read but one past the end is a full ten.
  // Past the end the read is over: "MA" alone is refused until the next
  // "MA" + bank.
  if (nextToRead_ >= memory_.Size(bank)) {
    readingBank_.reset();
    return kRefused;
  }
  std::string lines;
  for (int number = nextToRead_; number < nextToRead_ + kChannelsPerRead; ++number) {
    if (!lines.empty()) lines += "\r\n";
    // Read as "MR" would answer it, but nothing is recalled: the receiver
    // stays where it listens.
    const Channel* channel = memory_.Find(bank, number);
    if (channel == nullptr) {
      lines += "---";
    } else {
      const int mode = channel->automaticMode ? AutomaticModeFor(channel->hz) : channel->mode;
      lines += MemoryReadLine(bank, number, *channel, SettingsOf(*channel), mode);
    }
  }
  nextToRead_ += kChannelsPerRead;
  return {lines};
}

}  // namespace ar8600sim
