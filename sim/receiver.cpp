// SPDX-License-Identifier: GPL-3.0-or-later
#include "receiver.h"

#include <algorithm>

#include "frequency_text.h"

namespace ar8600sim {

Receiver::Receiver(std::vector<Signal> signals, MemoryBanks memory, double motionIntervalMs)
    : signals_(std::move(signals)),
      memory_(std::move(memory)),
      motionIntervalMs_(motionIntervalMs) {}

Answer Receiver::Execute(std::string_view command, double nowMs) {
  const Answer refused{"?"};
  if (command.size() < 2) return refused;
  const std::string_view head = command.substr(0, 2);
  const std::string_view argument = command.substr(2);
  if (head == "LM") return argument.empty() ? Answer{LevelLine(nowMs)} : refused;
  if (head == "RX") return argument.empty() ? Answer{StateLine()} : refused;
  if (head == "LC") return LevelReportingCommand(argument);
  if (head == "VA") return VfoCommand(0, argument);
  if (head == "VB") return VfoCommand(1, argument);
  if (head == "RF") return FrequencyCommand(argument);
  if (head == "ST") return StepCommand(argument);
  if (head == "MD") return ModeCommand(argument);
  if (head == "AU") return SwitchCommand(head, argument, settings_.automaticMode);
  if (head == "AT") return SwitchCommand(head, argument, settings_.attenuator);
  if (head == "NL") return SwitchCommand(head, argument, noiseLimiter_);
  if (head == "VS" || head == "VV") return SearchCommand(head, argument, nowMs);
  if (head == "MS") return ScanCommand(argument, nowMs);
  if (head == "MR") return RecallCommand(argument);
  if (head == "MP") return PassCommand(argument);
  if (head == "MQ") return DeleteCommand(argument);
  if (head == "MW") return SplitCommand(argument);
  if (head == "MX") return WriteCommand(argument);
  if (head == "MA") return ReadBankCommand(argument);
  // EX hands the keys back to the listener; the line is still served.
  if (head == "EX" && argument.empty()) return {};
  return refused;
}

void Receiver::GoOn(double nowMs) {
  switch (place_) {
    case Place::kSearch:
    case Place::kMemoryScan:
      MoveOn(nowMs);
      break;
    case Place::kVfo:
      if (FrequencyInRange(vfoHz_[vfo_] + settings_.stepHz)) vfoHz_[vfo_] += settings_.stepHz;
      break;
    case Place::kMemory: {
      // On a memory channel the receiver's up key moves to the next stored one.
      const std::vector<int> numbers = memory_.Numbers(bank_);
      const auto next = std::upper_bound(numbers.begin(), numbers.end(), channel_);
      if (!numbers.empty()) Recall(bank_, next == numbers.end() ? numbers.front() : *next);
      break;
    }
  }
}

std::optional<double> Receiver::NextEventMs() const {
  std::optional<double> next = NextSignalChange(signals_, lastEventMs_);
  if (Moving() && !resting_ && (!next || nextMotionMs_ < *next)) next = nextMotionMs_;
  return next;
}

void Receiver::RunEventsAt(double nowMs) {
  const auto change = NextSignalChange(signals_, lastEventMs_);
  const bool signalsChanged = change && *change <= nowMs;
  lastEventMs_ = std::max(lastEventMs_, nowMs);
  if (!Moving()) return;
  if (resting_) {
    // The signal has gone: the receiver moves on by itself.
    if (!Heard(nowMs).squelchOpen) {
      resting_ = false;
      nextMotionMs_ = nowMs + motionIntervalMs_;
    }
    return;
  }
  if (nextMotionMs_ <= nowMs) {
    MoveOn(nowMs);
    return;
  }
  // A signal that comes up where the receiver is listening stops it there.
  if (signalsChanged && Heard(nowMs).squelchOpen) resting_ = true;
}

Reception Receiver::Heard(double nowMs) const {
  return Receive(signals_, TunedHz(), settings_.stepHz, nowMs);
}

std::int64_t Receiver::TunedHz() const {
  switch (place_) {
    case Place::kSearch:
      return searchHz_;
    case Place::kMemory:
    case Place::kMemoryScan:
      return CurrentChannel().hz;
    case Place::kVfo:
      break;
  }
  return vfoHz_[vfo_];
}

std::string Receiver::SourceTag() const {
  if (OnMemory()) return "M" + ChannelLabel(bank_, channel_);
  if (place_ == Place::kSearch) return "VA";  // the search runs in VFO A
  return vfo_ == 0 ? "VA" : "VB";
}

const Channel& Receiver::CurrentChannel() const {
  // A memory place always has its channel: every path that deletes one leaves it first.
  return *memory_.Find(bank_, channel_);
}

int Receiver::ModeInUse() const {
  return settings_.automaticMode ? AutomaticModeFor(TunedHz()) : settings_.mode;
}

std::string Receiver::LevelLine(double nowMs) const {
  const Reception reception = Heard(nowMs);
  if (!reception.squelchOpen) return "LM%000";
  return "LM " + PaddedDigits(reception.level, 3);
}

std::string Receiver::MemoryLine() const {
  return MemoryReadLine(bank_, channel_, CurrentChannel(), settings_, ModeInUse());
}

std::string Receiver::StateLine() const {
  switch (place_) {
    case Place::kMemory:
      return "MR " + MemoryLine();
    case Place::kMemoryScan:
      return "MS " + MemoryLine();
    case Place::kSearch:
      return searchKeyword_ + " RF" + TenDigitHz(searchHz_) +
             SettingsFields(settings_, ModeInUse());
    case Place::kVfo:
      break;
  }
  return std::string(vfo_ == 0 ? "VA" : "VB") + " RF" + TenDigitHz(vfoHz_[vfo_]) +
         SettingsFields(settings_, ModeInUse());
}

void Receiver::Recall(char bank, int number) {
  place_ = Place::kMemory;
  bank_ = bank;
  channel_ = number;
  settings_ = SettingsOf(CurrentChannel());
  resting_ = false;
}

void Receiver::LeaveToVfo() {
  place_ = Place::kVfo;
  resting_ = false;
}

void Receiver::MoveOn(double nowMs) {
  if (place_ == Place::kSearch) {
    StepSearch();
  } else {
    StepScan();
  }
  // A scan with nothing left to visit has stopped.
  if (Moving()) StartMoving(nowMs);
}

void Receiver::StartMoving(double nowMs) {
  resting_ = Heard(nowMs).squelchOpen;
  nextMotionMs_ = nowMs + motionIntervalMs_;
}

void Receiver::StepSearch() {
  const std::int64_t from = vfoHz_[0];
  const std::int64_t towards = vfoHz_[1];
  // From VFO A towards VFO B; past B it starts again at A.
  if (from <= towards) {
    searchHz_ += settings_.stepHz;
    if (searchHz_ > towards) searchHz_ = from;
  } else {
    searchHz_ -= settings_.stepHz;
    if (searchHz_ < towards) searchHz_ = from;
  }
}

void Receiver::StepScan() {
  const std::vector<int> numbers = memory_.Numbers(bank_, true);
  if (numbers.empty()) {
    // Nothing left to visit: the scan ends where it stands.
    memory_.Find(bank_, channel_) != nullptr ? Recall(bank_, channel_) : LeaveToVfo();
    return;
  }
  const auto next = std::upper_bound(numbers.begin(), numbers.end(), channel_);
  Recall(bank_, next == numbers.end() ? numbers.front() : *next);
  place_ = Place::kMemoryScan;
}

}  // namespace ar8600sim
