// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/restore.h"

#include <algorithm>
#include <string>
#include <vector>

#include "link/command_link.h"
#include "link/port_report.h"
#include "link/radio_choice.h"
#include "link/receive_state.h"
#include "link/receiver_commands.h"
#include "memory/memory_scan.h"
#include "poll/poll_status.h"
#include "speech/receiver_modes.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// Pauses the read-back waits for the receive state: the answer comes within
// one at 19200 baud, and a slow line or radio gets a little more.
constexpr int kReadBackPauses = 4;

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

// Sends the command unless the radio cannot carry it; false then.
bool SendIfCarried(Context& ctx, const std::string& command) {
  if (!LinkCarries(ctx, command)) return false;
  ctx.link.commandText = command;
  SendCommand(ctx);
  return true;
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

RestoreStep DoLeaveScans(Context& ctx) {
  LeaveScans(ctx);
  return RestoreStep::kTuneShownFrequency;
}

RestoreStep DoTuneShownFrequency(Context& ctx, Restore& restore) {
  if (!SendIfCarried(ctx, receiver::SetVfo('A', restore.shown.frequencyText))) {
    NoteNotHeld(restore, ReceiverField::kFrequency);
  }
  Pause(ctx);
  return RestoreStep::kSelectShownMode;
}

RestoreStep DoSelectShownMode(Context& ctx, Restore& restore) {
  const ReceiverMode* mode = ModeOfPanelText(restore.shown.modeText);
  const bool sent =
      mode != nullptr && SendIfCarried(ctx, mode->receiverCode == kAutomaticModeCode
                                                ? std::string(receiver::kAutomaticModeOn)
                                                : receiver::SelectMode(mode->receiverCode));
  if (!sent) NoteNotHeld(restore, ReceiverField::kMode);
  Pause(ctx);
  return RestoreStep::kSetShownStep;
}

RestoreStep DoSetShownStep(Context& ctx, Restore& restore) {
  if (!SendIfCarried(ctx, receiver::SetStep(restore.shown.stepText))) {
    NoteNotHeld(restore, ReceiverField::kStep);
  }
  return RestoreStep::kSetShownAttenuator;
}

// A radio without an attenuator has it off, as the connect takes it: only an
// attenuator shown on is missed.
RestoreStep DoSetShownAttenuator(Context& ctx, Restore& restore) {
  const bool on = restore.shown.attenuatorOn;
  if (!SendIfCarried(ctx, receiver::Attenuator(on)) && on) {
    NoteNotHeld(restore, ReceiverField::kAttenuator);
  }
  return RestoreStep::kSetShownNoiseLimiter;
}

RestoreStep DoSetShownNoiseLimiter(Context& ctx, Restore& restore) {
  const bool on = restore.noiseLimiterOn;
  if (!SendIfCarried(ctx, receiver::NoiseLimiter(on)) && on) restore.noiseLimiterNotTaken = true;
  Pause(ctx);
  return RestoreStep::kReadBack;
}

// The receive state, as the connect's first poll would read it; a radio
// without an attenuator reports it off, which is what the panel then means.
RestoreStep DoReadBack(Context& ctx, Restore& restore) {
  ctx.link.commandText = receiver::kReadReceiveState;
  SendCommand(ctx);
  for (int pause = 0; pause < kReadBackPauses && !ctx.link.receiverLost; ++pause) {
    Pause(ctx);
    ReadReceiveStateReply(ctx);
    const auto notHeld = FieldsNotHeld(ctx.link.replyText.str(), restore.shown);
    if (!notHeld) continue;
    restore.readBack = true;
    for (const ReceiverField field : *notHeld) NoteNotHeld(restore, field);
    break;
  }
  return RestoreStep::kTellNotRestored;
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

RestoreStep DoRestoreStep(Context& ctx, RestoreStep step, Restore& restore) {
  // A receiver that goes away again during the restore is told once, and
  // the rest waits for its next return.
  if (ctx.link.receiverLost && step != RestoreStep::kTellNotRestored) return RestoreStep::kDone;
  switch (step) {
    case RestoreStep::kLeaveScans:
      return DoLeaveScans(ctx);
    case RestoreStep::kTuneShownFrequency:
      return DoTuneShownFrequency(ctx, restore);
    case RestoreStep::kSelectShownMode:
      return DoSelectShownMode(ctx, restore);
    case RestoreStep::kSetShownStep:
      return DoSetShownStep(ctx, restore);
    case RestoreStep::kSetShownAttenuator:
      return DoSetShownAttenuator(ctx, restore);
    case RestoreStep::kSetShownNoiseLimiter:
      return DoSetShownNoiseLimiter(ctx, restore);
    case RestoreStep::kReadBack:
      return DoReadBack(ctx, restore);
    case RestoreStep::kTellNotRestored:
      return DoTellNotRestored(ctx, restore);
    case RestoreStep::kDone:
      break;
  }
  return RestoreStep::kDone;
}

}  // namespace

void RestoreShownState(Context& ctx) {
  Restore restore;
  restore.shown = StateOnThePanel(ctx);
  restore.noiseLimiterOn = ctx.tuning.noiseLimiterOn;
  RestoreStep step = RestoreStep::kLeaveScans;
  while (step != RestoreStep::kDone) step = DoRestoreStep(ctx, step, restore);
}

}  // namespace voxrig
