#include "poll/connect_poll.h"

#include "core/text_rules.h"
#include "link/command_link.h"
#include "link/receiver_commands.h"
#include "link/reply_frequency.h"
#include "link/serial_port.h"
#include "panel/display_lines.h"
#include "poll/poll_status.h"
#include "poll/search.h"
#include "poll/search_log.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"

namespace voxrig {

namespace {

// The receiver is asked where its search stopped this many times; a receiver
// that never answers with a frequency then lets the keyboard back (keys wait
// while the poll asks) instead of holding the panel for ever. A working
// receiver answers the first or second ask.
constexpr int kMostReceiveStateAsks = 20;
// Level polls in a row without a level answer after which the receiver counts
// as gone: ten cycles of 300 ms, about three seconds.
constexpr int kUnansweredPollsForLoss = 10;
// While the receiver is away (or its port would not open), the port is opened
// again by its name every ten poll cycles, about three seconds: a receiver
// switched on again or plugged back in answers the next poll.
constexpr int kCyclesBetweenReopens = 10;

// The configured speed as the port takes it: rounded to whole baud, and only
// if an int holds it. Anything else (4294986496 would wrap round to 19200)
// gives 0, which no port accepts.
int BaudRateFrom(const BoundedText& speedSetting) {
  const double speed = NumberFromText(speedSetting.str());
  if (!(speed >= 1 && speed <= 2147483647.0)) return 0;
  return static_cast<int>(RoundToInteger(speed));
}

// Keys pressed while the start-up speaks wait this many ticks (1.5 s, five
// level polls) for the receiver's first answer before they are handled; a
// receiver still silent then is not there, and the first key says so.
constexpr int kFirstAnswerWaitTicks = 15;

void ResetSharedState(Context& ctx) {
  ctx.command.pendingCommand = 0;
  ctx.link.linkState = -1;
  ctx.link.firstAnswerTicks = kFirstAnswerWaitTicks;
  ctx.command.limitEntryFresh = 0;
  ctx.command.frequencyEntryFresh = 1;
  ctx.link.pollState = 0;
  ctx.link.resumeCountdown = 0;
  ctx.panel.keyQueueCount = 0;
  ctx.banks.bankScanIndex = 0;
  ctx.tuning.searchStopMode = 0;
  ctx.tuning.searchState = 0;
  ctx.link.scanState = 0;
  ctx.link.bankScanState = 0;
  ctx.tuning.noiseLimiterOn = 0;
  ctx.command.passCount = 1;
  ctx.link.scanVoice = 1;
  ctx.link.receiveStateAsks = 0;
  ctx.link.receiverLost = false;
  ctx.link.unansweredPolls = 0;
  ctx.link.cyclesSinceReopen = 0;
}

void ReopenPort(Context& ctx);
void RunStep(Context& ctx);

void OpenReceiverPort(Context& ctx) {
  LinkState& link = ctx.link;
  const std::string& port = ctx.app.portSetting.str();
  // "PORT=/dev/serial/by-id/usb-..." names the device itself, used as it
  // stands, on port 1; "PORT=COM3" names port 3 by its last character.
  if (port.starts_with("/")) {
    link.devicePath = port;
    link.comPort = 1;
  } else {
    link.devicePath.clear();
    link.comPort = static_cast<int>(RoundToInteger(NumberFromText(RightText(port, 1))));
  }
  link.baudRate = BaudRateFrom(ctx.app.speedSetting);
  link.dataBits = 8;
  link.parityCode = 0;
  link.stopBitsCode = 2;
  ReopenPort(ctx);
}

// Opens the port again by its name (a replugged receiver's adapter may be a
// new device behind the same name), with the panel's read and line settings.
void ReopenPort(Context& ctx) {
  LinkState& link = ctx.link;
  ClosePort(ctx, link.comPort);
  if (link.baudRate <= 0) return;  // a speed no port takes: nothing is opened
  OpenPort(ctx, link.comPort, link.baudRate);
  SetReadTimeouts(ctx, link.comPort, -1);
  SetLineFormat(ctx, link.comPort, link.dataBits, link.parityCode, link.stopBitsCode);
}

// Before each level poll: a receiver that is away gets its port reopened
// every few seconds.
void ReachForReceiver(Context& ctx) {
  LinkState& link = ctx.link;
  if (!link.receiverLost && PortOpen(ctx, link.comPort)) {
    link.cyclesSinceReopen = 0;
    return;
  }
  if (++link.cyclesSinceReopen < kCyclesBetweenReopens) return;
  link.cyclesSinceReopen = 0;
  ReopenPort(ctx);
}

// After each level poll: a receiver that has answered before and now leaves
// poll after poll without a level answer (silent, or babbling garbage) has
// gone away.
void CountUnansweredPoll(Context& ctx) {
  LinkState& link = ctx.link;
  const std::string& reply = link.replyText;
  if (reply.starts_with("LM") || reply.starts_with("LC")) {
    link.unansweredPolls = 0;
    return;
  }
  if (link.linkState != 1 || link.receiverLost) return;
  if (++link.unansweredPolls >= kUnansweredPollsForLoss) NoticeReceiverLost(ctx);
}

void SendPollCommand(Context& ctx, const char* command, int nextStep) {
  ctx.link.commandText = command;
  SendCommand(ctx);
  ctx.link.pollState = nextStep;
}

// Step 4: the answer to "RX" tells where the search stopped. It is read from
// the raw bytes, so a receiver that answers with another leading keyword
// during a search still gets its hit logged.
void ReadSearchHit(Context& ctx) {
  ReadReceiveStateReply(ctx);
  const auto hit = SearchHitFrequency(ctx.link.replyText.str());
  if (hit) {
    ctx.tuning.frequencyDigits = hit->digits;
    ctx.tuning.frequencyText = hit->text;
    ShowFrequency(ctx);
    LogSearchHit(ctx);
    ctx.link.receiveStateAsks = 0;
    ctx.link.pollState = 0;
    return;
  }
  ctx.link.receiveStateAsks += 1;
  if (ctx.link.receiveStateAsks < kMostReceiveStateAsks) {
    ctx.link.pollState = 3;
    return;
  }
  // The receiver never said where it stopped: nothing is logged, the listener
  // hears that it did not answer, and the search rules carry on.
  ctx.link.receiveStateAsks = 0;
  Say(ctx, "rnc");
  ctx.link.pollState = 0;
}

// Step 6: where a receiver scan holds, from the level answer already read.
void ShowHeldFrequency(Context& ctx) {
  const auto held = HeldScanFrequency(ctx.link.replyText.str());
  if (held) {
    ctx.tuning.frequencyText = held->text;
    ctx.tuning.frequencyDigits = held->digits;
    ShowFrequency(ctx);
  }
  ctx.link.pollState = 0;
}

}  // namespace

void ConnectReceiver(Context& ctx) {
  Display& display = *ctx.platform.display;
  display.SetTextPosition(0, 0);
  display.SetFont(ArielBold(50));
  ResetSharedState(ctx);

  ctx.link.statusLine = "Connecting";
  ctx.tuning.frequencyText = "";
  ctx.link.meterBar = "******************";
  ctx.tuning.searchLowerText = "145";
  ctx.tuning.searchUpperText = "146";
  ctx.tuning.searchStepText = "12.5";
  ShowSearchLine(ctx);

  OpenReceiverPort(ctx);

  // The known state: 145 MHz, FM, 12.5 kHz steps, attenuator off. The
  // answers are left in the port; the first poll read finds them and so
  // notices that the receiver is there.
  ctx.tuning.frequencyText = "145";
  ctx.tuning.frequencyDigits = "145";
  SetVfoA(ctx);
  SpeakFrequency(ctx);
  Pause(ctx);
  SelectMode(ctx, Mode::kFM);
  Pause(ctx);
  SetStep(ctx);
  ctx.tuning.attenuatorOn = 1;
  ToggleAttenuator(ctx);

  display.SetTextPosition(370, 80);
  display.SetFont(ArielBold(50));
  display.Print(ctx.tuning.modeText + "      ");
  // The first level poll goes out at once, so that the first tick already
  // reads its answer (and the answers to the commands above) and tells the
  // listener "connected".
  ctx.link.pollState = 1;
  RunPollStep(ctx);
}

void RunPollStep(Context& ctx) {
  RunStep(ctx);
  if (ctx.link.receiverLost && ctx.tuning.searchState > 0) {
    // The receiver went away mid-search (noticed by this step or by a key):
    // no more "RX" asks, and the search ends with its hits kept and told.
    EndSearchOnLoss(ctx);
    ctx.link.pollState = 0;
  }
}

namespace {

void RunStep(Context& ctx) {
  switch (ctx.link.pollState) {
    case 1:
      ReachForReceiver(ctx);
      SendPollCommand(ctx, receiver::kReadLevel, 2);
      return;
    case 2:
      ReadReply(ctx);
      CountUnansweredPoll(ctx);
      UpdateMeter(ctx);
      DecideStatus(ctx);
      return;
    case 3:
      SendPollCommand(ctx, receiver::kReadReceiveState, 4);
      return;
    case 4:
      ReadSearchHit(ctx);
      return;
    case 5:
      ctx.link.pollState = 6;  // one tick for the receiver to settle
      return;
    case 6:
      ShowHeldFrequency(ctx);
      return;
    default:
      // Idle (the tick moves 0 to 1) or a state no step knows: start afresh.
      ctx.link.pollState = 0;
      return;
  }
}

}  // namespace

}  // namespace voxrig
