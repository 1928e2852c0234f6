// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel.h"
#include "memory_banks.h"
#include "signals.h"

// The AR8600 itself: what it is tuned to, its memory, its search and scan, and
// its answer to each command. It knows nothing of bytes, pace or the line:
// it is given whole commands and the time, and answers with text.
namespace ar8600sim {

enum class Place {
  kVfo,         // VFO A or B, whichever was selected last
  kMemory,      // resting on a recalled memory channel
  kMemoryScan,  // the memory scan ("MS")
  kSearch,      // the VFO search ("VS") from VFO A towards VFO B
};

struct Answer {
  std::optional<std::string> line;  // the answer without its CR LF; none: nothing is sent
  bool resizing = false;            // "MW" + size: the answer waits until the resize is done
  int channelsMoved = 0;            // channels stored in the pair being resized
};

class Receiver {
 public:
  Receiver(std::vector<Signal> signals, MemoryBanks memory, double motionIntervalMs);

  // One command, its CR taken off. `nowMs` is when it arrived.
  Answer Execute(std::string_view command, double nowMs);
  // The byte 30: a resting search or scan goes on; otherwise one step up.
  void GoOn(double nowMs);

  // The next time something moves by itself (a search or scan step, a signal
  // coming or going), for RunEventsAt.
  std::optional<double> NextEventMs() const;
  void RunEventsAt(double nowMs);

  Reception Heard(double nowMs) const;
  std::int64_t TunedHz() const;
  // Where the receiver listens, as the LC lines name it: VA, VB or MA05.
  std::string SourceTag() const;
  int LevelReporting() const { return levelReporting_; }
  Place place() const { return place_; }
  const MemoryBanks& memory() const { return memory_; }
  // The leading keyword of the RX answer during a VFO search: "VS" here; a
  // related AOR receiver says "SS", and a real AR8600 may too.
  void SetSearchKeyword(std::string keyword) { searchKeyword_ = std::move(keyword); }
  std::int64_t VfoHz(int vfo) const { return vfoHz_[vfo]; }

 private:
  Answer LevelReportingCommand(std::string_view argument);
  Answer VfoCommand(int vfo, std::string_view argument);
  Answer FrequencyCommand(std::string_view argument);
  Answer StepCommand(std::string_view argument);
  Answer ModeCommand(std::string_view argument);
  Answer SwitchCommand(std::string_view head, std::string_view argument, bool& value);
  Answer SearchCommand(std::string_view head, std::string_view argument, double nowMs);
  Answer ScanCommand(std::string_view argument, double nowMs);
  Answer RecallCommand(std::string_view argument);
  Answer PassCommand(std::string_view argument);
  Answer DeleteCommand(std::string_view argument);
  Answer SplitCommand(std::string_view argument);
  Answer WriteCommand(std::string_view argument);
  Answer ReadBankCommand(std::string_view argument);

  std::string LevelLine(double nowMs) const;
  std::string StateLine() const;
  std::string MemoryLine() const;
  int ModeInUse() const;
  bool OnMemory() const { return place_ == Place::kMemory || place_ == Place::kMemoryScan; }
  bool Moving() const { return place_ == Place::kSearch || place_ == Place::kMemoryScan; }
  const Channel& CurrentChannel() const;

  void Recall(char bank, int number);
  void LeaveToVfo();
  void StepSearch();
  void StepScan();
  // One search or scan step now, then the next one an interval later.
  void MoveOn(double nowMs);
  // Rests at once on an open squelch; otherwise steps again an interval later.
  void StartMoving(double nowMs);

  std::vector<Signal> signals_;
  MemoryBanks memory_;
  double motionIntervalMs_;

  std::array<std::int64_t, 2> vfoHz_{145'000'000, 146'000'000};
  int vfo_ = 0;  // the VFO selected last: 0 A, 1 B
  Place place_ = Place::kVfo;
  char bank_ = 'A';  // the memory bank in use, also for "MS" alone
  int channel_ = 0;  // the channel in use while on memory
  Settings settings_;
  bool noiseLimiter_ = false;
  int levelReporting_ = 0;  // LC0, LC1, LC2

  std::string searchKeyword_ = "VS";
  // "MA" + bank reads a bank ten channels at a time; "MA" alone goes on here.
  std::optional<char> readingBank_;
  int nextToRead_ = 0;

  std::int64_t searchHz_ = 0;
  bool resting_ = false;  // the search or scan holds on an open squelch
  double nextMotionMs_ = 0;
  double lastEventMs_ = 0;
};

}  // namespace ar8600sim
