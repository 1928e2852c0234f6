// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/connect.h"

#include "link/radio_choice.h"
#include "link/receiver_commands.h"
#include "panel/display_lines.h"
#include "poll/poll_cycle.h"
#include "poll/receiver_port.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"

namespace voxrig {

namespace {

// Keys pressed while the start-up speaks wait this many ticks (1.5 s, five
// level polls) for the receiver's first answer before they are handled; a
// receiver still silent then is not there, and the first key says so.
constexpr int kFirstAnswerWaitTicks = 15;

// The connect sequence, in the order it runs. The receiver's answers to the
// commands are left in the port: the first poll read finds them and so
// notices that the receiver is there.
enum class ConnectStep {
  kResetPanel,          // every state the panel keeps back to its start
  kShowConnecting,      // "Connecting" and the search line
  kOpenPort,            // the port and speed of the configuration
  kTuneKnownFrequency,  // 145 MHz, spoken
  kSelectFm,
  kSetKnownStep,  // 12.5 kHz
  kAttenuatorOff,
  kShowMode,
  kSendFirstLevelPoll,
  kDone,
};

ConnectStep DoResetPanel(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kConnectStart);
  display.SetFont(FontOf(Line::kConnectStart));
  ctx.command.pendingCommand = PendingCommand::kNone;
  ctx.link.linkState = ReceiverAnswer::kAwaitingFirst;
  ctx.link.firstAnswerTicks = kFirstAnswerWaitTicks;
  ctx.command.limitEntryFresh = 0;
  ctx.command.frequencyEntryFresh = 1;
  ctx.link.pollState = PollStep::kIdle;
  ctx.link.resumeCountdown = 0;
  ctx.panel.keyQueueCount = 0;
  ctx.banks.bankScanIndex = 0;
  ctx.tuning.searchStopMode = StopMode::kContinue;
  ctx.tuning.searchState = Search::kOff;
  ctx.link.scanState = ReceiverScan::kOff;
  ctx.link.bankScanState = BankScan::kOff;
  ctx.tuning.noiseLimiterOn = 0;
  ctx.command.passCount = 1;
  ctx.link.scanVoice = true;
  ctx.link.receiveStateAsks = 0;
  ctx.link.receiverLost = false;
  ctx.link.restoreOwed = false;
  ctx.link.unansweredPolls = 0;
  ctx.link.cyclesSinceReopen = 0;
  ctx.link.portReportShown = false;
  return ConnectStep::kShowConnecting;
}

ConnectStep DoShowConnecting(Context& ctx) {
  ctx.link.statusLine = "Connecting";
  ctx.tuning.frequencyText = "";
  ctx.link.meterBar = "******************";
  ctx.tuning.searchLowerText = "145";
  ctx.tuning.searchUpperText = "146";
  ctx.tuning.searchStepText = "12.5";
  ShowSearchLine(ctx);
  return ConnectStep::kOpenPort;
}

ConnectStep DoOpenPort(Context& ctx) {
  OpenReceiverPort(ctx);
  return ConnectStep::kTuneKnownFrequency;
}

ConnectStep DoTuneKnownFrequency(Context& ctx) {
  ctx.tuning.frequencyText = "145";
  ctx.tuning.frequencyDigits = "145";
  SetVfoA(ctx);
  SpeakFrequency(ctx, ctx.tuning.frequencyDigits);
  Pause(ctx);
  return ConnectStep::kSelectFm;
}

ConnectStep DoSelectFm(Context& ctx) {
  SelectMode(ctx, Mode::kFM);
  Pause(ctx);
  return ConnectStep::kSetKnownStep;
}

ConnectStep DoSetKnownStep(Context& ctx) {
  SetStep(ctx);
  return ConnectStep::kAttenuatorOff;
}

ConnectStep DoAttenuatorOff(Context& ctx) {
  // A radio without an attenuator has it off; nothing is said about it.
  ctx.tuning.attenuatorOn = 1;
  if (LinkCarries(ctx, receiver::Attenuator(false))) {
    ToggleAttenuator(ctx);
  } else {
    ctx.tuning.attenuatorOn = 0;
  }
  return ConnectStep::kShowMode;
}

ConnectStep DoShowMode(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kMode);
  display.SetFont(FontOf(Line::kMode));
  display.Print(ctx.tuning.modeText + "      ");
  return ConnectStep::kSendFirstLevelPoll;
}

// The first level poll goes out at once, so that the first tick already reads
// its answer (and the answers to the commands before it) and tells the
// listener "connected".
ConnectStep DoSendFirstLevelPoll(Context& ctx) {
  ctx.link.pollState = PollStep::kSendLevelPoll;
  RunPollStep(ctx);
  return ConnectStep::kDone;
}

ConnectStep DoConnectStep(Context& ctx, ConnectStep step) {
  switch (step) {
    case ConnectStep::kResetPanel:
      return DoResetPanel(ctx);
    case ConnectStep::kShowConnecting:
      return DoShowConnecting(ctx);
    case ConnectStep::kOpenPort:
      return DoOpenPort(ctx);
    case ConnectStep::kTuneKnownFrequency:
      return DoTuneKnownFrequency(ctx);
    case ConnectStep::kSelectFm:
      return DoSelectFm(ctx);
    case ConnectStep::kSetKnownStep:
      return DoSetKnownStep(ctx);
    case ConnectStep::kAttenuatorOff:
      return DoAttenuatorOff(ctx);
    case ConnectStep::kShowMode:
      return DoShowMode(ctx);
    case ConnectStep::kSendFirstLevelPoll:
      return DoSendFirstLevelPoll(ctx);
    case ConnectStep::kDone:
      break;
  }
  return ConnectStep::kDone;
}

}  // namespace

void ConnectReceiver(Context& ctx) {
  ConnectStep step = ConnectStep::kResetPanel;
  while (step != ConnectStep::kDone) step = DoConnectStep(ctx, step);
}

}  // namespace voxrig
