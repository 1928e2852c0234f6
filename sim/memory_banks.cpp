// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory_banks.h"

#include "data_lines.h"
#include "frequency_text.h"

namespace ar8600sim {

bool MemoryBanks::IsBank(char bank) {
  return (bank >= 'A' && bank <= 'J') || (bank >= 'a' && bank <= 'j');
}

char MemoryBanks::Partner(char bank) {
  return bank <= 'Z' ? static_cast<char>(bank - 'A' + 'a') : static_cast<char>(bank - 'a' + 'A');
}

int MemoryBanks::Index(char bank) {
  return bank <= 'Z' ? bank - 'A' : 10 + (bank - 'a');
}

int MemoryBanks::Size(char bank) const {
  const int upper = upperSizes_[Index(bank) % 10];
  return bank <= 'Z' ? upper : kPairChannels - upper;
}

bool MemoryBanks::Resize(char bank, int size) {
  if (size < 10 || size > 90 || size % 10 != 0) return false;
  upperSizes_[Index(bank) % 10] = bank <= 'Z' ? size : kPairChannels - size;
  for (char member : {bank, Partner(bank)}) {
    auto& channels = banks_[Index(member)];
    channels.erase(channels.lower_bound(Size(member)), channels.end());
  }
  return true;
}

const Channel* MemoryBanks::Find(char bank, int number) const {
  const auto& channels = banks_[Index(bank)];
  const auto found = channels.find(number);
  return found == channels.end() ? nullptr : &found->second;
}

bool MemoryBanks::Store(char bank, int number, const Channel& channel) {
  if (number < 0 || number >= Size(bank)) return false;
  banks_[Index(bank)][number] = channel;
  return true;
}

void MemoryBanks::Erase(char bank, int number) {
  banks_[Index(bank)].erase(number);
}

void MemoryBanks::Clear(char bank) {
  banks_[Index(bank)].clear();
}

void MemoryBanks::SetPassed(char bank, int number, bool passed) {
  auto& channels = banks_[Index(bank)];
  const auto found = channels.find(number);
  if (found != channels.end()) found->second.passed = passed;
}

std::vector<int> MemoryBanks::Numbers(char bank, bool unpassedOnly) const {
  std::vector<int> numbers;
  for (const auto& [number, channel] : banks_[Index(bank)]) {
    if (!unpassedOnly || !channel.passed) numbers.push_back(number);
  }
  return numbers;
}

int MemoryBanks::StoredInPair(char bank) const {
  return static_cast<int>(banks_[Index(bank)].size() + banks_[Index(Partner(bank))].size());
}

std::string BankSizeLine(const MemoryBanks& memory, char bank) {
  const char partner = MemoryBanks::Partner(bank);
  return "MW " + std::string(1, bank) + ":" + std::to_string(memory.Size(bank)) + " " +
         std::string(1, partner) + ":" + std::to_string(memory.Size(partner));
}

std::string FormatMemoryFile(const MemoryBanks& memory) {
  std::string text;
  for (char bank = 'A'; bank <= 'J'; ++bank) {
    if (memory.Size(bank) != kFactorySize) text += BankSizeLine(memory, bank) + "\n";
  }
  for (const char* letters : {"ABCDEFGHIJ", "abcdefghij"}) {
    for (const char* bank = letters; *bank != '\0'; ++bank) {
      for (int number : memory.Numbers(*bank)) {
        const Channel& channel = *memory.Find(*bank, number);
        text += ChannelLabel(*bank, number) + " " + TenDigitHz(channel.hz) + " MD" +
                std::to_string(channel.mode) + " ST" + SixDigitStep(channel.stepHz) +
                (channel.automaticMode ? " AU1" : "") + (channel.attenuator ? " AT1" : "") + " MP" +
                (channel.passed ? "1" : "0") + " TM" + channel.name + "\n";
      }
    }
  }
  return text;
}

namespace {

// "MW A:90 a:10": the split of one pair.
bool LoadSplitLine(std::string_view line, MemoryBanks& memory) {
  if (line.size() < 7 || line.substr(0, 3) != "MW " || line[4] != ':') return false;
  const char bank = line[3];
  if (!MemoryBanks::IsBank(bank)) return false;
  const std::size_t blank = line.find(' ', 5);
  const std::string_view size = line.substr(5, blank == std::string_view::npos ? blank : blank - 5);
  if (size.empty() || size.size() > 2 || !AllDigits(size)) return false;
  return memory.Resize(bank, std::stoi(std::string(size)));
}

std::string LoadChannelLine(std::string_view line, MemoryBanks& memory) {
  if (line.size() < 3 || !MemoryBanks::IsBank(line[0]) || !AllDigits(line.substr(1, 2))) {
    return "expected a bank letter and two digits, like A00";
  }
  const char bank = line[0];
  const int number = (line[1] - '0') * 10 + (line[2] - '0');
  if (line.size() < 4 || line[3] != ' ')
    return "expected a blank and a frequency after the channel";
  const std::string_view rest = line.substr(4);
  const std::size_t blank = std::min(rest.find(' '), rest.size());
  const auto fields = ParseChannelFields(" RF" + std::string(rest.substr(0, blank)) +
                                         std::string(rest.substr(blank)));
  if (!fields) return "malformed frequency or field";
  if (!memory.Store(bank, number, WithFields(Channel{}, *fields))) {
    return "channel past the bank's size";
  }
  return {};
}

}  // namespace

MemoryLoad LoadMemoryFile(std::string_view text, MemoryBanks& memory) {
  MemoryLoad result;
  result.line = ForEachDataLine(text, result.error, [&memory](std::string_view line) {
    if (line.substr(0, 2) == "MW") {
      return LoadSplitLine(line, memory) ? std::string()
                                         : std::string("expected a split like MW A:90 a:10");
    }
    return LoadChannelLine(line, memory);
  });
  result.ok = result.line == 0;
  return result;
}

}  // namespace ar8600sim
