// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlib/hamlib_radio.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

#include "hamlib/hamlib_capabilities.h"
#include "hamlib/hamlib_numbers.h"

namespace voxrig {

namespace {

// Frequencies the search tries during one level question before it answers
// that nothing holds it: the AR8600 sweeps a few steps every tenth of a
// second.
constexpr int kSweepStepsPerQuestion = 4;
// Without a carrier detect, a signal holds the search from S1 on, or from the
// radio's own squelch level when that is higher.
constexpr int kOpenLevelFloor = 12;
// The hertz the search steps by when no step was ever given.
constexpr std::int64_t kDefaultStepHz = 12500;

// The meter's figure (0 to 255, twelve to an S unit, so that S9 reads 108)
// from Hamlib's strength in dB relative to S9 (S0 is -54 dB).
int LevelFromStrength(int decibelsOverS9) {
  return std::clamp((decibelsOverS9 + 54) * 2, 0, 255);
}

const char* ResultName(RadioResult result) {
  switch (result) {
    case RadioResult::kDone:
      return "done";
    case RadioResult::kRefused:
      return "refused";
    case RadioResult::kNotOnThisRadio:
      return "not on this radio";
    case RadioResult::kNoAnswer:
      return "no answer";
    case RadioResult::kLineGone:
      return "line gone";
  }
  return "";
}

}  // namespace

HamlibRadio::HamlibRadio(s_rig* rig, ReceiverCapabilities capabilities, int heldDevice)
    : rig_(rig),
      capabilities_(std::move(capabilities)),
      heldDevice_(heldDevice),
      rawIsMeterFigure_(RawLevelIsMeterFigure(*rig->caps)),
      noiseLimiter_(capabilities_.noiseLimiter ? NoiseLimiterFunction(*rig->caps) : 0),
      attenuatorDecibels_(capabilities_.attenuator ? AttenuatorDecibels(*rig->caps) : 0),
      memories_(rig) {
  freq_t hz = 0;
  if (rig_get_freq(rig_, RIG_VFO_CURR, &hz) == RIG_OK)
    vfoA_ = vfoB_ = static_cast<std::int64_t>(hz);
}

HamlibRadio::~HamlibRadio() {
  rig_close(rig_);
  rig_cleanup(rig_);
  if (heldDevice_ >= 0) {
    ioctl(heldDevice_, TIOCNXCL);
    close(heldDevice_);
  }
}

RadioResult HamlibRadio::Check(int result) {
  if (result == RIG_OK) return RadioResult::kDone;
  const int code = -result;
  if (!RIG_IS_SOFT_ERRCODE(code) || code == RIG_EPOWER) gone_ = true;
  return gone_ ? RadioResult::kLineGone : RadioResult::kRefused;
}

RadioResult HamlibRadio::CheckChannelCall(int result) {
  if (result == RIG_OK) return RadioResult::kDone;
  if (RIG_IS_SOFT_ERRCODE(-result)) return RadioResult::kRefused;
  // Some drivers' channel calls fail on a radio that is there and answers
  // (a command form the radio does not take): the channel is refused, and
  // the radio counts as gone only when it no longer tells its frequency.
  freq_t hz = 0;
  return Check(rig_get_freq(rig_, RIG_VFO_CURR, &hz)) == RadioResult::kLineGone
             ? RadioResult::kLineGone
             : RadioResult::kRefused;
}

void HamlibRadio::LogCall(const std::string& call, RadioResult result) {
  if (wireLog_ == nullptr) return;
  wireLog_->Write("TX= " + call + "\r\n");
  wireLog_->Write(std::string("RX= ") + ResultName(result) + "\r\n");
  // Hamlib reads errno after each byte without clearing it: what writing the
  // log left there must not make its next read sleep.
  errno = 0;
}

RadioResult HamlibRadio::Tune(std::int64_t hz) {
  const RadioResult result = Check(rig_set_freq(rig_, RIG_VFO_CURR, static_cast<freq_t>(hz)));
  LogCall("set_freq " + std::to_string(hz), result);
  return result;
}

RadioResult HamlibRadio::SetFrequency(Vfo vfo, const std::string& megahertz) {
  if (gone_) return RadioResult::kLineGone;
  const auto hz = ScaledDecimal(megahertz, 6);
  if (!hz || *hz <= 0) return RadioResult::kRefused;
  onChannel_.reset();
  if (vfo == Vfo::kB) {
    vfoB_ = *hz;
    return RadioResult::kDone;
  }
  // Setting VFO A tunes there and ends a search, as the AR8600 does.
  StopRadiosSearch();
  vfoA_ = *hz;
  return Tune(*hz);
}

RadioResult HamlibRadio::SetStep(const std::string& kilohertz) {
  const auto hz = ScaledDecimal(kilohertz, 3);
  if (!hz || *hz <= 0) return RadioResult::kRefused;
  stepHz_ = *hz;
  return gone_ ? RadioResult::kLineGone : RadioResult::kDone;
}

RadioResult HamlibRadio::SelectMode(Mode mode) {
  if (gone_) return RadioResult::kLineGone;
  if (!capabilities_.HasMode(mode)) return RadioResult::kNotOnThisRadio;
  const RadioResult result =
      Check(rig_set_mode(rig_, RIG_VFO_CURR, HamlibModeOf(mode), RIG_PASSBAND_NORMAL));
  LogCall("set_mode " + std::string(rig_strrmode(HamlibModeOf(mode))), result);
  if (result == RadioResult::kDone) mode_ = mode;
  return result;
}

RadioResult HamlibRadio::SetAttenuator(bool on) {
  if (gone_) return RadioResult::kLineGone;
  if (!capabilities_.attenuator) return RadioResult::kNotOnThisRadio;
  value_t value{};
  value.i = on ? attenuatorDecibels_ : 0;
  const RadioResult result = Check(rig_set_level(rig_, RIG_VFO_CURR, RIG_LEVEL_ATT, value));
  LogCall("set_level ATT " + std::to_string(value.i), result);
  if (result == RadioResult::kDone) attenuatorOn_ = on;
  return result;
}

RadioResult HamlibRadio::SetNoiseLimiter(bool on) {
  if (gone_) return RadioResult::kLineGone;
  if (noiseLimiter_ == 0) return RadioResult::kNotOnThisRadio;
  const RadioResult result = Check(rig_set_func(rig_, RIG_VFO_CURR, noiseLimiter_, on ? 1 : 0));
  LogCall(std::string("set_func ") + rig_strfunc(noiseLimiter_) + (on ? " 1" : " 0"), result);
  return result;
}

RadioResult HamlibRadio::Listen(bool& open, int& level) {
  value_t value{};
  if (rawIsMeterFigure_) {
    const RadioResult result = Check(rig_get_level(rig_, RIG_VFO_CURR, RIG_LEVEL_RAWSTR, &value));
    if (result != RadioResult::kDone) return result;
    level = std::clamp(value.i, 0, 255);
  } else {
    const int result = rig_get_level(rig_, RIG_VFO_CURR, RIG_LEVEL_STRENGTH, &value);
    if (Check(result) == RadioResult::kLineGone) return RadioResult::kLineGone;
    level = result == RIG_OK ? LevelFromStrength(value.i) : 0;
  }
  if (rig_->caps->get_dcd != nullptr) {
    dcd_t dcd = RIG_DCD_OFF;
    const int result = rig_get_dcd(rig_, RIG_VFO_CURR, &dcd);
    if (result == RIG_OK) {
      open = dcd == RIG_DCD_ON;
      return RadioResult::kDone;
    }
    if (Check(result) == RadioResult::kLineGone) return RadioResult::kLineGone;
  }
  int openLevel = kOpenLevelFloor;
  value_t squelch{};
  if (rig_has_get_level(rig_, RIG_LEVEL_SQL) != 0 &&
      rig_get_level(rig_, RIG_VFO_CURR, RIG_LEVEL_SQL, &squelch) == RIG_OK) {
    openLevel = std::max(openLevel, static_cast<int>(squelch.f * 255.0f));
  }
  open = level >= openLevel;
  return RadioResult::kDone;
}

RadioResult HamlibRadio::StepSweep() {
  if (sweepOver_ == SweepOver::kMemories) return StepMemoryScan();
  const std::int64_t step = stepHz_ > 0 ? stepHz_ : kDefaultStepHz;
  const std::int64_t low = std::min(vfoA_, vfoB_);
  const std::int64_t high = std::max(vfoA_, vfoB_);
  sweepAt_ += step;
  if (sweepAt_ > high) sweepAt_ = low;  // the search wraps round at the top
  return Tune(sweepAt_);
}

void HamlibRadio::StopRadiosSearch() {
  if (sweep_ == Sweep::kRadiosOwn) {
    LogCall("scan STOP", Check(rig_scan(rig_, RIG_VFO_CURR, RIG_SCAN_STOP, 0)));
  }
  sweep_ = Sweep::kOff;
}

std::optional<HeardFrequency> HamlibRadio::TunedFrequency() {
  freq_t hz = 0;
  if (Check(rig_get_freq(rig_, RIG_VFO_CURR, &hz)) != RadioResult::kDone) return std::nullopt;
  return HeardFrequencyOf(static_cast<std::int64_t>(hz));
}

RadioResult HamlibRadio::AskReception() {
  if (gone_) return RadioResult::kLineGone;
  reception_.reset();
  bool open = false;
  int level = 0;
  RadioResult result = RadioResult::kDone;
  if (sweep_ == Sweep::kStepping) {
    for (int i = 0; i < kSweepStepsPerQuestion; ++i) {
      result = Listen(open, level);
      if (result != RadioResult::kDone) return result;
      if (open) {
        sweep_ = Sweep::kResting;
        break;
      }
      // Stepped between the questions: the question only listens.
      if (steppedBeside_) break;
      result = StepSweep();
      if (gone_) return RadioResult::kLineGone;
    }
    if (!open) level = 0;
  } else {
    result = Listen(open, level);
    if (result != RadioResult::kDone) return result;
    if (sweep_ == Sweep::kResting && !open) {
      // The signal has gone: the search goes on by itself.
      sweep_ = Sweep::kStepping;
      if (StepSweep() == RadioResult::kLineGone) return RadioResult::kLineGone;
    }
  }
  Reception reception{open, std::clamp(level, 0, 255), std::nullopt};
  // As the receiver reports once asked to: where the squelch opened.
  if (reportLevelChanges_ && open) reception.holdsAt = TunedFrequency();
  if (gone_) return RadioResult::kLineGone;
  reception_ = reception;
  return RadioResult::kDone;
}

std::optional<Reception> HamlibRadio::TakeReception() {
  return std::exchange(reception_, std::nullopt);
}

RadioResult HamlibRadio::AskReceiveState() {
  if (gone_) return RadioResult::kLineGone;
  receiveState_.reset();
  freq_t hz = 0;
  const RadioResult result = Check(rig_get_freq(rig_, RIG_VFO_CURR, &hz));
  if (result != RadioResult::kDone) return result;
  ReceiveState state;
  state.frequency = HeardFrequencyOf(static_cast<std::int64_t>(hz));
  state.stepHz = stepHz_;
  rmode_t mode = RIG_MODE_NONE;
  pbwidth_t width = 0;
  const int modeResult = rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width);
  if (Check(modeResult) == RadioResult::kLineGone) return RadioResult::kLineGone;
  state.mode = modeResult == RIG_OK ? PanelModeOf(mode) : mode_;
  if (capabilities_.attenuator) state.attenuatorOn = attenuatorOn_;
  if (onChannel_ && onChannel_->slot >= 0) {
    state.channel = ChannelOf(onChannel_->bank, onChannel_->slot, onChannel_->channel);
  }
  receiveState_ = state;
  return RadioResult::kDone;
}

std::optional<ReceiveState> HamlibRadio::TakeReceiveState() {
  return std::exchange(receiveState_, std::nullopt);
}

RadioResult HamlibRadio::ReportLevelChanges() {
  if (gone_) return RadioResult::kLineGone;
  reportLevelChanges_ = true;
  return RadioResult::kDone;
}

RadioResult HamlibRadio::StartSearch() {
  if (gone_) return RadioResult::kLineGone;
  onChannel_.reset();
  sweepOver_ = SweepOver::kVfo;
  const std::int64_t low = std::min(vfoA_, vfoB_);
  const std::int64_t high = std::max(vfoA_, vfoB_);
  if (capabilities_.searchesByItself) {
    // The radio's own search, between the limits set on its two VFOs.
    RadioResult result = Check(rig_set_freq(rig_, RIG_VFO_B, static_cast<freq_t>(high)));
    if (result == RadioResult::kDone) {
      result = Check(rig_set_freq(rig_, RIG_VFO_A, static_cast<freq_t>(low)));
    }
    if (result == RadioResult::kDone) result = Check(rig_scan(rig_, RIG_VFO_CURR, RIG_SCAN_VFO, 0));
    LogCall("scan VFO " + std::to_string(low) + " " + std::to_string(high), result);
    sweep_ = result == RadioResult::kDone ? Sweep::kRadiosOwn : Sweep::kOff;
    return result;
  }
  sweep_ = Sweep::kStepping;
  sweepAt_ = low;
  return Tune(sweepAt_);
}

RadioResult HamlibRadio::GoOn() {
  if (gone_) return RadioResult::kLineGone;
  switch (sweep_) {
    case Sweep::kResting:
      sweep_ = Sweep::kStepping;
      return StepSweep();
    case Sweep::kStepping:
      return RadioResult::kDone;
    case Sweep::kRadiosOwn: {
      // Asked again, the radio's search goes on from where it holds.
      const RadioResult result = Check(rig_scan(rig_, RIG_VFO_CURR, RIG_SCAN_VFO, 0));
      LogCall("scan VFO", result);
      return result;
    }
    case Sweep::kOff:
      break;
  }
  // Nothing rests: the frequency steps up one step, as on the AR8600.
  freq_t hz = 0;
  const RadioResult result = Check(rig_get_freq(rig_, RIG_VFO_CURR, &hz));
  if (result != RadioResult::kDone) return result;
  onChannel_.reset();  // off a recalled channel's frequency: no longer on it
  return Tune(static_cast<std::int64_t>(hz) + (stepHz_ > 0 ? stepHz_ : kDefaultStepHz));
}

bool HamlibRadio::SweepAStep() {
  if (gone_ || sweep_ != Sweep::kStepping) return false;
  steppedBeside_ = true;
  bool open = false;
  int level = 0;
  if (Listen(open, level) != RadioResult::kDone) return false;
  if (open) {
    sweep_ = Sweep::kResting;
    return false;
  }
  return StepSweep() == RadioResult::kDone;
}

bool HamlibRadio::AnswerWaiting() {
  return reception_ || receiveState_ || currentChannel_ || bankBatch_ || bankSize_;
}

void HamlibRadio::DropLateAnswers() {
  reception_.reset();
  receiveState_.reset();
  currentChannel_.reset();
  bankBatch_.reset();
  bankSize_.reset();
}

RadioResult HamlibRadio::ExitRemote() {
  // A radio driven through Hamlib keeps its own keys: nothing to hand back.
  return gone_ ? RadioResult::kLineGone : RadioResult::kDone;
}

}  // namespace voxrig
