// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/restore.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/receiver_modes.h"
#include "core/text_rules.h"
#include "link/receiver_commands.h"
#include "memory/memory_scan.h"
#include "poll/poll_status.h"
#include "speech/speech.h"
#include "tuning/port_report.h"
#include "tuning/radio_abilities.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// Pauses the read-back waits for the receive state: the answer comes within
// one at 19200 baud, and a slow line or radio gets a little more.
constexpr int kReadBackPauses = 4;

// The receiver's state as the panel shows it, in the panel's own texts: the
// frequency in megahertz ("146.5"), the step in kilohertz ("12.5"), the mode
// line ("USB", "AUT") and the attenuator.
struct ShownState {
  std::string frequencyText;
  std::string stepText;
  std::string modeText;
  bool attenuatorOn = false;
};

// A part of the receive state the receiver reports.
enum class ReceiverField { kFrequency, kMode, kStep, kAttenuator };

// The restore, in the order it runs.
enum class RestoreStep {
  kLeaveScans,
  kTuneShownFrequency,
  kSelectShownMode,
  kSetShownStep,
  kSetShownAttenuator,
  kSetShownNoiseLimiter,
  kReadBack,
  kTellNotRestored,
  kDone,
};

struct Restore {
  ShownState shown;
  bool noiseLimiterOn = false;
  // Parts the receiver did not take, or does not hold when read back.
  std::vector<ReceiverField> notHeld;
  bool noiseLimiterNotTaken = false;
  bool readBack = false;
};

void NoteNotHeld(Restore& restore, ReceiverField field) {
  if (std::find(restore.notHeld.begin(), restore.notHeld.end(), field) == restore.notHeld.end()) {
    restore.notHeld.push_back(field);
  }
}

// Sends the setting when the radio has such a thing (`has`); false when it
// has not, or refused it.
bool SendIfCarried(Context& ctx, bool has, const std::function<RadioResult(Receiver&)>& set) {
  return has && ToRadio(ctx, set) != RadioResult::kNotOnThisRadio;
}

// Hertz of a frequency or step text in megahertz or kilohertz; nothing for
// a text that is no number the receiver could hold.
std::optional<std::int64_t> HertzOf(const std::string& text, double unitHz) {
  const double hz = std::round(NumberFromText(text) * unitHz);
  if (!(hz >= 0 && hz < 1e10)) return std::nullopt;
  return static_cast<std::int64_t>(hz);
}

// The parts of `shown` the receiver does not hold by the state it reported;
// a part it left out counts as not held. Within its 50 Hz the frequency is
// held.
std::vector<ReceiverField> FieldsNotHeld(const ReceiveState& held, const ShownState& shown) {
  std::vector<ReceiverField> notHeld;
  const auto shownHz = HertzOf(shown.frequencyText, 1e6);
  if (!held.frequency || !shownHz ||
      std::llabs(held.frequency->hz - *shownHz) >= receiver::kTuningResolutionHz) {
    notHeld.push_back(ReceiverField::kFrequency);
  }
  const ReceiverMode* mode = ModeOfPanelText(shown.modeText);
  if (mode == nullptr || held.mode != mode->mode) notHeld.push_back(ReceiverField::kMode);
  if (held.stepHz != HertzOf(shown.stepText, 1e3)) notHeld.push_back(ReceiverField::kStep);
  if (held.attenuatorOn != shown.attenuatorOn) notHeld.push_back(ReceiverField::kAttenuator);
  return notHeld;
}

// The state the panel shows. While the listener types a frequency the
// receiver is still where the frequency line stood when the typing began;
// while a step is typed, the step is still the one before.
ShownState StateOnThePanel(const Context& ctx) {
  ShownState shown;
  shown.frequencyText = ctx.command.frequencyEntryFresh ? ctx.tuning.frequencyText.str()
                                                        : ctx.tuning.frequencyBeforeEntry.str();
  shown.stepText = ctx.command.pendingCommand == PendingCommand::kStep
                       ? ctx.command.limitBeforeEntry.str()
                       : ctx.tuning.searchStepText.str();
  shown.modeText = ctx.tuning.modeText.str();
  shown.attenuatorOn = ctx.tuning.attenuatorOn;
  return shown;
}

Steps<RestoreStep> DoLeaveScans(Context& ctx) {
  co_await LeaveScans(ctx);
  co_return RestoreStep::kTuneShownFrequency;
}

Steps<RestoreStep> DoTuneShownFrequency(Context& ctx, Restore& restore) {
  const std::string& frequency = restore.shown.frequencyText;
  if (!SendIfCarried(ctx, true,
                     [&](Receiver& radio) { return radio.SetFrequency(Vfo::kA, frequency); })) {
    NoteNotHeld(restore, ReceiverField::kFrequency);
  }
  co_await Pause(ctx);
  co_return RestoreStep::kSelectShownMode;
}

Steps<RestoreStep> DoSelectShownMode(Context& ctx, Restore& restore) {
  const ReceiverMode* mode = ModeOfPanelText(restore.shown.modeText);
  const bool sent = mode != nullptr &&
                    SendIfCarried(ctx, RadioHasMode(ctx, mode->mode),
                                  [mode](Receiver& radio) { return radio.SelectMode(mode->mode); });
  if (!sent) NoteNotHeld(restore, ReceiverField::kMode);
  co_await Pause(ctx);
  co_return RestoreStep::kSetShownStep;
}

RestoreStep DoSetShownStep(Context& ctx, Restore& restore) {
  const std::string& step = restore.shown.stepText;
  if (!SendIfCarried(ctx, true, [&](Receiver& radio) { return radio.SetStep(step); })) {
    NoteNotHeld(restore, ReceiverField::kStep);
  }
  return RestoreStep::kSetShownAttenuator;
}

// A radio without an attenuator has it off, as the connect takes it: only an
// attenuator shown on is missed.
RestoreStep DoSetShownAttenuator(Context& ctx, Restore& restore) {
  const bool on = restore.shown.attenuatorOn;
  if (!SendIfCarried(ctx, RadioHasAttenuator(ctx),
                     [on](Receiver& radio) { return radio.SetAttenuator(on); }) &&
      on) {
    NoteNotHeld(restore, ReceiverField::kAttenuator);
  }
  return RestoreStep::kSetShownNoiseLimiter;
}

Steps<RestoreStep> DoSetShownNoiseLimiter(Context& ctx, Restore& restore) {
  const bool on = restore.noiseLimiterOn;
  if (!SendIfCarried(ctx, RadioHasNoiseLimiter(ctx),
                     [on](Receiver& radio) { return radio.SetNoiseLimiter(on); }) &&
      on) {
    restore.noiseLimiterNotTaken = true;
  }
  co_await Pause(ctx);
  co_return RestoreStep::kReadBack;
}

// The receive state, as the connect's first poll would read it; a radio
// without an attenuator reports it off, which is what the panel then means.
Steps<RestoreStep> DoReadBack(Context& ctx, Restore& restore) {
  ToRadio(ctx, [](Receiver& radio) { return radio.AskReceiveState(); });
  for (int pause = 0; pause < kReadBackPauses && !ctx.link.receiverLost; ++pause) {
    co_await Pause(ctx);
    const auto held = TakeReceiveState(ctx);
    if (!held) continue;
    restore.readBack = true;
    for (const ReceiverField field : FieldsNotHeld(*held, restore.shown)) {
      NoteNotHeld(restore, field);
    }
    break;
  }
  co_return RestoreStep::kTellNotRestored;
}

// One part not restored: said as the panel says it, and named for the line
// under the panel.
std::string TellPart(Context& ctx, const Restore& restore, ReceiverField field) {
  const ShownState& shown = restore.shown;
  switch (field) {
    case ReceiverField::kFrequency:
      SpeakFrequency(ctx, shown.frequencyText);
      return shown.frequencyText + " MHz";
    case ReceiverField::kMode:
      if (const ReceiverMode* mode = ModeOfPanelText(shown.modeText)) {
        Say(ctx, std::string(mode->keyPrompt));
      }
      return "mode " + shown.modeText;
    case ReceiverField::kStep:
      Say(ctx, "incr");
      SpeakFrequency(ctx, shown.stepText);
      return "step " + shown.stepText + " kHz";
    case ReceiverField::kAttenuator:
      Say(ctx, shown.attenuatorOn ? "atton" : "attoff");
      return shown.attenuatorOn ? "attenuator on" : "attenuator off";
  }
  return {};  // not reached: every part has its case
}

RestoreStep DoTellNotRestored(Context& ctx, Restore& restore) {
  if (ctx.link.receiverLost) return RestoreStep::kDone;  // gone again: "rnc" was said
  std::vector<std::string> parts;
  for (const ReceiverField field : {ReceiverField::kFrequency, ReceiverField::kMode,
                                    ReceiverField::kStep, ReceiverField::kAttenuator}) {
    if (std::find(restore.notHeld.begin(), restore.notHeld.end(), field) != restore.notHeld.end()) {
      parts.push_back(TellPart(ctx, restore, field));
    }
  }
  if (restore.noiseLimiterNotTaken) {
    Say(ctx, "noise");
    Say(ctx, "on");
    parts.emplace_back("noise limiter on");
  }
  if (!parts.empty()) {
    Say(ctx, "notrest");
    std::string named;
    for (const std::string& part : parts) named += (named.empty() ? "" : ", ") + part;
    ReportNotRestored(ctx, "Not restored: " + named);
  } else if (!restore.readBack) {
    Say(ctx, "nochk");
    ReportNotRestored(ctx, "Not checked: the receiver did not report its state");
  }
  return RestoreStep::kDone;
}

Steps<RestoreStep> DoRestoreStep(Context& ctx, RestoreStep step, Restore& restore) {
  // A receiver that goes away again during the restore is told once, and
  // the rest waits for its next return.
  if (ctx.link.receiverLost && step != RestoreStep::kTellNotRestored) {
    co_return RestoreStep::kDone;
  }
  switch (step) {
    case RestoreStep::kLeaveScans:
      co_return co_await DoLeaveScans(ctx);
    case RestoreStep::kTuneShownFrequency:
      co_return co_await DoTuneShownFrequency(ctx, restore);
    case RestoreStep::kSelectShownMode:
      co_return co_await DoSelectShownMode(ctx, restore);
    case RestoreStep::kSetShownStep:
      co_return DoSetShownStep(ctx, restore);
    case RestoreStep::kSetShownAttenuator:
      co_return DoSetShownAttenuator(ctx, restore);
    case RestoreStep::kSetShownNoiseLimiter:
      co_return co_await DoSetShownNoiseLimiter(ctx, restore);
    case RestoreStep::kReadBack:
      co_return co_await DoReadBack(ctx, restore);
    case RestoreStep::kTellNotRestored:
      co_return DoTellNotRestored(ctx, restore);
    case RestoreStep::kDone:
      break;
  }
  co_return RestoreStep::kDone;
}

}  // namespace

Steps<> RestoreShownState(Context& ctx) {
  Restore restore;
  restore.shown = StateOnThePanel(ctx);
  restore.noiseLimiterOn = ctx.tuning.noiseLimiterOn;
  RestoreStep step = RestoreStep::kLeaveScans;
  while (step != RestoreStep::kDone) step = co_await DoRestoreStep(ctx, step, restore);
}

}  // namespace voxrig
