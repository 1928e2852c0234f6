// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel.h"

// The receiver's memory: banks A-J and their partners a-j. Each pair shares
// 100 channels, split 10/90 to 90/10 in tens (50/50 from the factory).
namespace ar8600sim {

inline constexpr int kPairChannels = 100;
inline constexpr int kFactorySize = 50;

class MemoryBanks {
 public:
  MemoryBanks() { upperSizes_.fill(kFactorySize); }

  static bool IsBank(char bank);
  static char Partner(char bank);  // 'A' <-> 'a'

  int Size(char bank) const;
  // Gives `bank` `size` channels and its partner the rest; channels that no
  // longer fit are lost. False (and nothing changes) unless size is 10..90 in tens.
  bool Resize(char bank, int size);

  const Channel* Find(char bank, int number) const;
  // False when the number is past the bank's size.
  bool Store(char bank, int number, const Channel& channel);
  void Erase(char bank, int number);
  void Clear(char bank);
  void SetPassed(char bank, int number, bool passed);

  // Stored channel numbers in order; `unpassedOnly` leaves out passed ones.
  std::vector<int> Numbers(char bank, bool unpassedOnly = false) const;
  int StoredInPair(char bank) const;

  bool operator==(const MemoryBanks&) const = default;

 private:
  static int Index(char bank);  // A-J 0-9, a-j 10-19
  std::array<int, 10> upperSizes_{};
  std::array<std::map<int, Channel>, 20> banks_;
};

// The memory file: what a test reads to see what the receiver was given, and
// what can be loaded at start. One line per stored channel, banks A-J then
// a-j, channels in order:
//   A00 0145500000 MD1 ST012500 MP0 TM<12-character name>
// " AU1" and " AT1" stand before " MP" only when switched on. Pairs not split
// 50/50 come first as the receiver's own "MW" answer: "MW A:90 a:10".
// On loading, blank lines and lines starting with '#' are skipped, the
// frequency may also be MHz with a point, and the fields after it take every
// form an "MX" command takes (RF, ST, MD, AU, AT, MP, TM, any order).
std::string FormatMemoryFile(const MemoryBanks& memory);

struct MemoryLoad {
  bool ok = true;
  int line = 0;  // 1-based line of the first error
  std::string error;
};
MemoryLoad LoadMemoryFile(std::string_view text, MemoryBanks& memory);

// "MW A:50 a:50", the asked bank first.
std::string BankSizeLine(const MemoryBanks& memory, char bank);

}  // namespace ar8600sim
