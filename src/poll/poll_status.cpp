// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/poll_status.h"

#include <algorithm>
#include <optional>
#include <string>

#include "banks/bank_channels.h"
#include "core/text_rules.h"
#include "memory/memory_scan.h"
#include "panel/display_lines.h"
#include "poll/bank_scan.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// One asterisk of the meter stands for this many steps of the receiver's
// 0-255 level.
constexpr int kLevelPerAsterisk = 12;
constexpr long long kHighestLevel = 255;
// Poll cycles a continuing search rests on a signal before it goes on.
constexpr int kResumeCycles = 5;
constexpr const char* kSquelchOnlyMeter = ">                          ";
constexpr const char* kMeterTail = ">                 ";
constexpr const char* kScanningLine = "      *** SCANNING ***  ";
constexpr const char* kStoppedLine = "      *** STOPPED ***  ";
// As wide as the SCANNING and STOPPED lines it replaces, so none of their
// asterisks is left beside it.
constexpr const char* kSearchActive = "Search Mode Active      ";

void PlaceStatusLine(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kScanStatus);
  display.SetFont(FontOf(Line::kScanStatus));
  display.SetColour(ColourOf(Line::kScanStatus));
}

void ShowStatus(Context& ctx, const char* text) {
  PlaceStatusLine(ctx);
  ctx.platform.display->Print(text);
}

void SayIfScanVoice(Context& ctx, const char* prompt) {
  if (ctx.poll.scanVoice) Say(ctx, prompt);
}

void ResumeSearch(Context& ctx) {
  SayAlways(ctx, "shdel");
  ToRadio(ctx, [](Receiver& radio) { return radio.GoOn(); });
}

// The receiver's memory scan moves on: the SCANNING line, and "scan" when it
// starts or goes on after a stop.
PollStep ShowReceiverScanning(Context& ctx) {
  ReceiverScan& scan = ctx.poll.scanState;
  ShowStatus(ctx, kScanningLine);
  if (scan != ReceiverScan::kScanning) SayIfScanVoice(ctx, "scan");
  scan = ReceiverScan::kScanning;
  // The next rest is asked for its channel afresh.
  ctx.poll.heldChannelAsked = false;
  ctx.memory.heldChannel.clear();
  ctx.memory.heldChannelName.clear();
  return PollStep::kIdle;
}

// The receiver's memory scan holds on a signal: the STOPPED line on every
// cycle, "stop" once, and where it holds two ticks on.
PollStep ShowReceiverScanStopped(Context& ctx) {
  ReceiverScan& scan = ctx.poll.scanState;
  ShowStatus(ctx, kStoppedLine);
  if (scan != ReceiverScan::kStopped) SayIfScanVoice(ctx, "stop");
  scan = ReceiverScan::kStopped;
  return PollStep::kSettleOnHeldChannel;
}

// The bank scan hears nothing: on to the next channel.
PollStep TuneNextBankChannel(Context& ctx) {
  StepBankScan(ctx);
  if (ctx.poll.bankScanState != BankScan::kScanning) {
    ShowStatus(ctx, kScanningLine);
    SayIfScanVoice(ctx, "scan");
    ctx.poll.bankScanState = BankScan::kScanning;
  }
  return PollStep::kIdle;
}

// The bank scan holds on a signal: the STOPPED line and "stop" once.
PollStep ShowBankScanStopped(Context& ctx) {
  PlaceStatusLine(ctx);
  if (ctx.poll.bankScanState != BankScan::kStopped) {
    ctx.platform.display->Print(kStoppedLine);
    SayIfScanVoice(ctx, "stop");
    // Where it rests, when the scan voice tells the rests at all.
    if (ctx.poll.scanVoice) SpeakWhereTuned(ctx);
    ctx.poll.bankScanState = BankScan::kStopped;
  }
  return PollStep::kIdle;
}

// A continuing search rests on a signal for a few cycles; true when the rest
// is over. The count is not reset when the signal goes: the next stop rests
// only for what was left.
bool SearchRestIsOver(PollState& poll) {
  if (poll.resumeCountdown == 0) poll.resumeCountdown = kResumeCycles;
  poll.resumeCountdown -= 1;
  return poll.resumeCountdown == 0;
}

// The search has just stopped on a signal: ask where.
PollStep NoticeSearchStopped(Context& ctx) {
  ShowStatus(ctx, kStoppedLine);
  if (ctx.poll.searchStopMode == StopMode::kStop) Say(ctx, "stop");
  ctx.poll.searchState = Search::kStopped;
  ctx.poll.receiveStateAsks = 0;
  return PollStep::kAskWhereSearchStopped;
}

// The signal has gone: the search sweeps again.
PollStep NoticeSearchGoesOn(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kSearchActive);
  display.SetColour(ColourOf(Line::kSearchActive));
  display.Print(kSearchActive);
  ctx.poll.searchState = Search::kSearching;
  return PollStep::kIdle;
}

PollStep DecideSearchStatus(Context& ctx, bool quiet) {
  switch (ctx.poll.searchState) {
    case Search::kOff:
      return PollStep::kIdle;
    case Search::kSearching:
      return quiet ? PollStep::kIdle : NoticeSearchStopped(ctx);
    case Search::kStopped:
      if (ctx.poll.searchStopMode == StopMode::kContinue && SearchRestIsOver(ctx.poll)) {
        ResumeSearch(ctx);
        return PollStep::kIdle;
      }
      return quiet ? NoticeSearchGoesOn(ctx) : PollStep::kIdle;
  }
  return PollStep::kIdle;  // not reached: every search state has its case
}

}  // namespace

void UpdateMeter(Context& ctx, const Reception& reception) {
  Display& display = *ctx.platform.display;
  display.SetColour(ColourOf(Line::kMeter));
  MoveTo(display, Line::kMeter);
  ctx.poll.squelchClosed = !reception.squelchOpen;
  long long level = reception.level;
  if (reception.reportedOnChange) level += 10;
  ctx.poll.rawLevel = static_cast<int>(std::min(level, kHighestLevel));
  ctx.poll.signalLevel = static_cast<int>(level / kLevelPerAsterisk);
  display.SetFont(FontOf(Line::kMeter));
  if (ctx.poll.squelchClosed) {
    ctx.poll.signalLevel = 0;
    display.Print(kSquelchOnlyMeter);
  } else {
    ctx.link.statusLine = LeftText(ctx.poll.meterBar.str(), ctx.poll.signalLevel) + kMeterTail;
    display.Print(ctx.link.statusLine);
  }
  display.SetColour(Colour::kBlack);
}

PollStep DecideStatus(Context& ctx) {
  const bool quiet = ctx.poll.squelchClosed;
  // A receiver scan that the interpreter left on wins over a bank scan.
  if (ctx.poll.scanState != ReceiverScan::kOff) {
    return quiet ? ShowReceiverScanning(ctx) : ShowReceiverScanStopped(ctx);
  }
  if (BankScanRuns(ctx.poll.bankScanState)) {
    return quiet ? TuneNextBankChannel(ctx) : ShowBankScanStopped(ctx);
  }
  return DecideSearchStatus(ctx, quiet);
}

void NoteMemoryScanStarted(Context& ctx) {
  ctx.poll.scanState = ReceiverScan::kStarted;
  ctx.poll.heldChannelAsked = false;
}

Steps<> LeaveScans(Context& ctx) {
  PollState& poll = ctx.poll;
  if (poll.scanState == ReceiverScan::kOff && !BankScanRuns(poll.bankScanState)) co_return;

  Say(ctx, "exitscan");
  poll.scanState = ReceiverScan::kOff;
  poll.bankScanState = BankScan::kOff;
  co_await TakeBackPassedChannels(ctx);
}

}  // namespace voxrig
