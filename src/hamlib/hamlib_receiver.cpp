// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlib/hamlib_receiver.h"

#include <hamlib/rig.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "hamlib/hamlib_modes.h"
#include "hamlib/hamlib_vocabulary.h"

namespace voxrig {

namespace {

namespace vocabulary = hamlib_vocabulary;
using hamlib_modes::kModeOfCode;

constexpr char kResumeByte = 0x1E;
// Frequencies the search tries during one level poll before it answers that
// nothing holds it: the AR8600 sweeps a few steps every tenth of a second.
constexpr int kSweepStepsPerPoll = 4;
// Without a carrier detect, a signal holds the search from S1 on, or from the
// radio's own squelch level when that is higher.
constexpr int kOpenLevelFloor = 12;
// The hertz the search steps by when no step was ever given.
constexpr long long kDefaultStepHz = 12500;

// The mode code of "MD" + digit, or -1.
int ModeCodeOf(const std::string& command) {
  if (command.size() != 3 || command[2] < '0' || command[2] > '8') return -1;
  return command[2] - '0';
}

// "LC0" off, "LC1" on change, "LC2" continuous.
bool IsReportingLevel(const std::string& command) {
  return command.size() == 3 && command[2] >= '0' && command[2] <= '2';
}

bool IsSwitch(const std::string& command, const char* name) {
  return command.starts_with(name) && (command.size() == 2 || command == std::string(name) + "0" ||
                                       command == std::string(name) + "1");
}

}  // namespace

HamlibReceiver::HamlibReceiver(s_rig* rig, bool rawIsMeterFigure, int heldDevice)
    : rig_(rig), rawIsMeterFigure_(rawIsMeterFigure), heldDevice_(heldDevice), memories_(rig) {
  freq_t hz = 0;
  if (rig_get_freq(rig_, RIG_VFO_CURR, &hz) == RIG_OK) vfoA_ = vfoB_ = static_cast<long long>(hz);
}

HamlibReceiver::~HamlibReceiver() {
  rig_close(rig_);
  rig_cleanup(rig_);
  if (heldDevice_ >= 0) {
    ioctl(heldDevice_, TIOCNXCL);
    close(heldDevice_);
  }
}

int HamlibReceiver::Write(const char* bytes, int count) {
  if (gone_ || bytes == nullptr) return 0;
  for (int i = 0; i < count && !gone_; ++i) {
    const char c = bytes[i];
    if (c == kResumeByte && pending_.empty()) {
      Resume();
    } else if (c == '\r') {
      Execute(pending_);
      pending_.clear();
    } else if (c != '\n') {
      pending_ += c;
    }
  }
  return gone_ ? 0 : count;
}

int HamlibReceiver::Read(char* buffer, int maximum) {
  if (buffer == nullptr || maximum <= 0) return 0;
  const std::size_t count = std::min(answers_.size(), static_cast<std::size_t>(maximum));
  std::memcpy(buffer, answers_.data(), count);
  answers_.erase(0, count);
  return static_cast<int>(count);
}

bool HamlibReceiver::Carries(const std::string& command) {
  if (command.starts_with("AU")) return false;
  if (vocabulary::IsMemoryCommand(command)) return CarriesMemory(command);
  if (command.starts_with("LC")) return command == "LC" || IsReportingLevel(command);
  if (command.starts_with("MD") && command.size() > 2) {
    const int code = ModeCodeOf(command);
    return code >= 0 && (rig_->state.mode_list & kModeOfCode[static_cast<std::size_t>(code)]) != 0;
  }
  if (IsSwitch(command, "AT")) return HasAttenuator();
  if (IsSwitch(command, "NL")) return NoiseLimiterFunction() != 0;
  return true;
}

bool HamlibReceiver::Check(int result) {
  if (result == RIG_OK) return true;
  const int code = -result;
  if (!RIG_IS_SOFT_ERRCODE(code) || code == RIG_EPOWER) gone_ = true;
  return false;
}

bool HamlibReceiver::HasAttenuator() const {
  return rig_has_set_level(rig_, RIG_LEVEL_ATT) != 0 && rig_->state.attenuator[0] != 0;
}

unsigned long HamlibReceiver::NoiseLimiterFunction() const {
  // The automatic noise limiter where the radio has one, its noise blanker
  // otherwise: both take impulse noise off the signal.
  if (rig_has_set_func(rig_, RIG_FUNC_ANL) != 0) return RIG_FUNC_ANL;
  if (rig_has_set_func(rig_, RIG_FUNC_NB) != 0) return RIG_FUNC_NB;
  return 0;
}

bool HamlibReceiver::Tune(long long hz) {
  return Check(rig_set_freq(rig_, RIG_VFO_CURR, static_cast<freq_t>(hz)));
}

void HamlibReceiver::SetMode(int modeCode) {
  const rmode_t mode = kModeOfCode[static_cast<std::size_t>(modeCode)];
  if (!Check(rig_set_mode(rig_, RIG_VFO_CURR, mode, RIG_PASSBAND_NORMAL))) {
    Answer("?");
    return;
  }
  modeCode_ = modeCode;
  Answer("");
}

void HamlibReceiver::Execute(const std::string& command) {
  if (command.empty()) return;
  if (!Carries(command)) {
    Answer("?");
    return;
  }
  const std::string head = command.substr(0, 2);
  const std::string rest = command.substr(2);
  if (ExecuteMemory(command)) {
    // A memory command, answered there.
  } else if (head == "LC") {
    if (rest.empty()) {
      Answer("LC" + std::to_string(levelReporting_));
    } else {
      levelReporting_ = rest[0] - '0';
      lastReport_.clear();
      Answer("");
    }
  } else if (command == "LM") {
    AnswerLevel();
  } else if (command == "RX") {
    AnswerReceiveState();
  } else if (head == "VA" || head == "VB") {
    ExecuteVfo(head, rest);
  } else if (head == "ST") {
    const auto step = vocabulary::StepHz(rest);
    if (step) stepHz_ = *step;
    Answer(step ? "" : "?");
  } else if (head == "MD") {
    if (rest.empty()) {
      Answer("MD" + std::to_string(modeCode_));
    } else {
      SetMode(ModeCodeOf(command));
    }
  } else if (head == "AT" || head == "NL") {
    ExecuteSwitch(head, rest);
  } else if (command == "VS") {
    sweep_ = Sweep::kSweeping;
    sweepOver_ = SweepOver::kVfo;
    onChannel_.reset();
    sweepAt_ = std::min(vfoA_, vfoB_);
    if (Tune(sweepAt_)) Answer("");
  } else if (command == "VV0") {
    sweep_ = Sweep::kOff;
    Answer("");
  } else if (command == "EX") {
    // Leaving remote control: a radio driven through Hamlib keeps its keys.
  } else {
    Answer("?");
  }
  // A radio that has gone answers nothing, whatever a failed call answered.
  if (gone_) answers_.clear();
}

void HamlibReceiver::ExecuteVfo(const std::string& head, const std::string& rest) {
  onChannel_.reset();
  if (rest.empty()) {
    sweep_ = Sweep::kOff;
    if (Tune(head == "VA" ? vfoA_ : vfoB_)) Answer("");
    return;
  }
  const auto hz = vocabulary::FrequencyHz(rest);
  if (!hz || *hz <= 0) {
    Answer("?");
  } else if (head == "VB") {
    vfoB_ = *hz;
    Answer("");
  } else {
    // Setting VFO A tunes there and ends a search, as the AR8600 does.
    sweep_ = Sweep::kOff;
    vfoA_ = *hz;
    if (Tune(*hz)) Answer("");
  }
}

void HamlibReceiver::ExecuteSwitch(const std::string& head, const std::string& rest) {
  if (rest.empty()) {
    Answer(head + ((head == "AT" ? attenuatorOn_ : noiseLimiterOn_) ? "1" : "0"));
  } else if (head == "AT") {
    value_t value{};
    value.i = rest == "1" ? rig_->state.attenuator[0] : 0;
    if (Check(rig_set_level(rig_, RIG_VFO_CURR, RIG_LEVEL_ATT, value))) {
      attenuatorOn_ = rest == "1";
      Answer("");
    }
  } else if (Check(rig_set_func(rig_, RIG_VFO_CURR, NoiseLimiterFunction(), rest == "1" ? 1 : 0))) {
    noiseLimiterOn_ = rest == "1";
    Answer("");
  }
}

bool HamlibReceiver::Listen(bool& open, int& level) {
  value_t value{};
  if (rawIsMeterFigure_) {
    if (!Check(rig_get_level(rig_, RIG_VFO_CURR, RIG_LEVEL_RAWSTR, &value))) return false;
    level = std::clamp(value.i, 0, 255);
  } else {
    const int result = rig_get_level(rig_, RIG_VFO_CURR, RIG_LEVEL_STRENGTH, &value);
    if (!Check(result) && gone_) return false;
    level = result == RIG_OK ? vocabulary::LevelFromStrength(value.i) : 0;
  }
  dcd_t dcd = RIG_DCD_OFF;
  if (rig_->caps->get_dcd != nullptr) {
    const int result = rig_get_dcd(rig_, RIG_VFO_CURR, &dcd);
    if (result == RIG_OK) {
      open = dcd == RIG_DCD_ON;
      return true;
    }
    if (!Check(result)) {
      if (gone_) return false;
    }
  }
  int openLevel = kOpenLevelFloor;
  value_t squelch{};
  if (rig_has_get_level(rig_, RIG_LEVEL_SQL) != 0 &&
      rig_get_level(rig_, RIG_VFO_CURR, RIG_LEVEL_SQL, &squelch) == RIG_OK) {
    openLevel = std::max(openLevel, static_cast<int>(squelch.f * 255.0f));
  }
  open = level >= openLevel;
  return true;
}

void HamlibReceiver::StepSweep() {
  if (sweepOver_ == SweepOver::kMemories) {
    StepMemoryScan();
    return;
  }
  const long long step = stepHz_ > 0 ? stepHz_ : kDefaultStepHz;
  const long long low = std::min(vfoA_, vfoB_);
  const long long high = std::max(vfoA_, vfoB_);
  sweepAt_ += step;
  if (sweepAt_ > high) sweepAt_ = low;  // the search wraps round at the top
  Tune(sweepAt_);
}

void HamlibReceiver::AnswerLevel() {
  bool open = false;
  int level = 0;
  if (sweep_ == Sweep::kSweeping) {
    for (int i = 0; i < kSweepStepsPerPoll; ++i) {
      if (!Listen(open, level)) return;
      if (open) {
        sweep_ = Sweep::kResting;
        AnswerHeard(true, level);
        return;
      }
      StepSweep();
      if (gone_) return;
    }
    AnswerHeard(false, 0);
    return;
  }
  if (!Listen(open, level)) return;
  if (sweep_ == Sweep::kResting && !open) {
    // The signal has gone: the search goes on by itself.
    sweep_ = Sweep::kSweeping;
    StepSweep();
    if (gone_) return;
  }
  AnswerHeard(open, level);
}

void HamlibReceiver::AnswerHeard(bool open, int level) {
  if (levelReporting_ > 0) {
    // As the receiver reports: where the squelch opened, with the level and
    // the frequency, or that it closed.
    char report[48];
    if (open) {
      // Only a report of an open squelch names the frequency.
      freq_t hz = 0;
      const bool tuned = rig_get_freq(rig_, RIG_VFO_CURR, &hz) == RIG_OK;
      std::snprintf(report, sizeof report, "LC %03d %s RF%010lld", std::clamp(level, 0, 255),
                    SourceTag().c_str(), tuned ? static_cast<long long>(hz) : 0LL);
    } else {
      std::snprintf(report, sizeof report, "LC%%000 %s", SourceTag().c_str());
    }
    if (levelReporting_ == 2 || report != lastReport_) Answer(report);
    lastReport_ = report;
  }
  Answer(vocabulary::LevelAnswer(open, level));
}

void HamlibReceiver::AnswerReceiveState() {
  freq_t hz = 0;
  if (!Check(rig_get_freq(rig_, RIG_VFO_CURR, &hz))) {
    Answer("?");
    return;
  }
  if (onChannel_) {
    const bool scanning = sweep_ != Sweep::kOff && sweepOver_ == SweepOver::kMemories;
    Answer(std::string(scanning ? "MS " : "MR ") +
           vocabulary::ChannelLine(onChannel_->bank, onChannel_->slot, onChannel_->channel));
    return;
  }
  const bool searching = sweep_ != Sweep::kOff;
  Answer(vocabulary::ReceiveStateAnswer(searching ? "VS" : "VA", static_cast<long long>(hz),
                                        stepHz_, modeCode_, attenuatorOn_));
}

void HamlibReceiver::Resume() {
  if (sweep_ == Sweep::kResting) {
    sweep_ = Sweep::kSweeping;
    StepSweep();
    return;
  }
  if (sweep_ == Sweep::kSweeping) return;
  // Nothing rests: the AR8600 steps its frequency up one step.
  freq_t hz = 0;
  if (Check(rig_get_freq(rig_, RIG_VFO_CURR, &hz))) {
    Tune(static_cast<long long>(hz) + (stepHz_ > 0 ? stepHz_ : kDefaultStepHz));
    onChannel_.reset();  // off a recalled channel's frequency: no longer on it
  }
}

}  // namespace voxrig
