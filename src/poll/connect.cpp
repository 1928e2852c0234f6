// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/connect.h"

#include "banks/bank_channels.h"
#include "link/ar8600/ar8600_commands.h"
#include "link/radio_choice.h"
#include "memory/memory_scan.h"
#include "panel/display_lines.h"
#include "panel/key_queue.h"
#include "poll/poll_cycle.h"
#include "poll/receiver_port.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"
#include "tuning/radio_abilities.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// Keys pressed while the start-up speaks wait this many ticks (1.5 s, five
// level polls) for the receiver's first answer before they are handled; a
// receiver still silent then counts as away until it answers.
constexpr int kFirstAnswerWaitTicks = 15;

// The receiver's known state: tuned, with its mode and step, after its first
// answer.
constexpr const char* kKnownFrequency = "145";
constexpr const char* kKnownStep = "12.5";

// The connect sequence, in the order it runs: the panel is made ready and the
// receiver asked whether it is there. Its first answer, read by the poll
// cycle, brings the known state (PutReceiverInKnownState).
enum class ConnectStep {
  kResetPanel,      // every state the panel keeps back to its start
  kShowConnecting,  // "Connecting" and the search line
  kOpenPort,        // the port and speed of the configuration
  kSendFirstLevelPoll,
  kDone,
};

// The known state, in the order it is given: each part is said as it goes
// out, paced as the receiver takes it.
enum class KnownStep {
  kTuneKnownFrequency,  // 145 MHz, spoken
  kSelectFm,
  kSetKnownStep,  // 12.5 kHz
  kAttenuatorOff,
  kShowMode,
  kDone,
};

// The poll's own state: no cycle, scan or search under way, keys held for the
// first answer, and the scan's "scan" and "stop" said again.
void ResetPollState(Context& ctx) {
  ctx.poll.firstAnswerTicks = kFirstAnswerWaitTicks;
  ctx.poll.pollState = PollStep::kIdle;
  ctx.poll.resumeCountdown = 0;
  ctx.poll.searchStopMode = StopMode::kContinue;
  ctx.poll.searchState = Search::kOff;
  ctx.poll.scanState = ReceiverScan::kOff;
  ctx.poll.bankScanState = BankScan::kOff;
  ctx.poll.scanVoice = true;
  ctx.poll.receiveStateAsks = 0;
}

// Each floor below the poll resets its own part; the command floor, above,
// resets its part itself before it asks for the connect.
ConnectStep DoResetPanel(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kConnectStart);
  display.SetFont(FontOf(Line::kConnectStart));
  ResetKeyQueue(ctx);
  ResetLinkState(ctx);
  ResetTuningState(ctx);
  ResetBankScanPlace(ctx);
  ResetMemoryScanState(ctx);
  ResetPollState(ctx);
  return ConnectStep::kShowConnecting;
}

ConnectStep DoShowConnecting(Context& ctx) {
  ctx.link.statusLine = "Connecting";
  ctx.tuning.frequencyText = "";
  ctx.poll.meterBar = "******************";
  ctx.tuning.searchLowerText = kKnownFrequency;
  ctx.tuning.searchUpperText = "146";
  ctx.tuning.searchStepText = kKnownStep;
  ShowSearchLine(ctx);
  return ConnectStep::kOpenPort;
}

ConnectStep DoOpenPort(Context& ctx) {
  OpenReceiverPort(ctx);
  return ConnectStep::kSendFirstLevelPoll;
}

// A frequency the listener is typing when the receiver first answers stays
// on the line, to be entered or given up as usual: the receiver's 145 MHz is
// then where the line goes back to.
Steps<KnownStep> DoTuneKnownFrequency(Context& ctx) {
  TuningState& tuning = ctx.tuning;
  CommandState& command = ctx.command;
  const bool typing = !command.frequencyEntryFresh;
  const BoundedText typed = tuning.frequencyText;
  tuning.frequencyText = kKnownFrequency;
  tuning.frequencyDigits = kKnownFrequency;
  SetVfoA(ctx);
  if (typing) {
    tuning.frequencyBeforeEntry = tuning.frequencyText;
    tuning.frequencyDigitsBeforeEntry = tuning.frequencyDigits;
    tuning.frequencyText = typed;
    ShowFrequency(ctx);
  }
  SpeakFrequency(ctx, kKnownFrequency);
  co_await Pause(ctx);
  co_return KnownStep::kSelectFm;
}

Steps<KnownStep> DoSelectFm(Context& ctx) {
  SelectMode(ctx, Mode::kFM);
  co_await Pause(ctx);
  co_return KnownStep::kSetKnownStep;
}

// A step the listener is typing is not the receiver's yet: the known one
// goes out.
KnownStep DoSetKnownStep(Context& ctx) {
  ToRadio(ctx, [](Receiver& radio) { return radio.SetStep(kKnownStep); });
  return KnownStep::kAttenuatorOff;
}

KnownStep DoAttenuatorOff(Context& ctx) {
  // A radio without an attenuator has it off; nothing is said about it.
  ctx.tuning.attenuatorOn = true;
  if (RadioHasAttenuator(ctx)) {
    ToggleAttenuator(ctx);
  } else {
    ctx.tuning.attenuatorOn = false;
  }
  return KnownStep::kShowMode;
}

KnownStep DoShowMode(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kMode);
  display.SetFont(FontOf(Line::kMode));
  display.Print(ctx.tuning.modeText + "      ");
  return KnownStep::kDone;
}

Steps<KnownStep> DoKnownStep(Context& ctx, KnownStep step) {
  // A receiver that goes away again meanwhile is told once ("rnc").
  if (ctx.link.receiverLost) co_return KnownStep::kDone;
  switch (step) {
    case KnownStep::kTuneKnownFrequency:
      co_return co_await DoTuneKnownFrequency(ctx);
    case KnownStep::kSelectFm:
      co_return co_await DoSelectFm(ctx);
    case KnownStep::kSetKnownStep:
      co_return DoSetKnownStep(ctx);
    case KnownStep::kAttenuatorOff:
      co_return DoAttenuatorOff(ctx);
    case KnownStep::kShowMode:
      co_return DoShowMode(ctx);
    case KnownStep::kDone:
      break;
  }
  co_return KnownStep::kDone;
}

// The first level poll goes out at once, so that the first tick already reads
// its answer and tells the listener "connected".
ConnectStep DoSendFirstLevelPoll(Context& ctx) {
  ctx.poll.pollState = PollStep::kSendLevelPoll;
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

Steps<> PutReceiverInKnownState(Context& ctx) {
  KnownStep step = KnownStep::kTuneKnownFrequency;
  while (step != KnownStep::kDone) step = co_await DoKnownStep(ctx, step);
  // Gone before it held the known state: it is waited for as at the start,
  // and its next answer brings the known state again.
  if (ctx.link.receiverLost) ctx.link.linkState = ReceiverAnswer::kAwaitingFirst;
}

}  // namespace voxrig
