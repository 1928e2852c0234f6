#include "poll/poll_status.h"

#include <algorithm>
#include <string>

#include "core/text_rules.h"
#include "link/command_link.h"
#include "panel/display_lines.h"
#include "poll/bank_scan.h"
#include "speech/speech.h"
#include "tuning/frequency.h"

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
constexpr const char* kSearchActive = "Search Mode Active";

bool IsLevelReply(const std::string& reply) {
  return reply.starts_with("LM") || reply.starts_with("LC");
}

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
  if (ctx.link.scanVoice == 1) Say(ctx, prompt);
}

void ResumeSearch(Context& ctx) {
  SayAlways(ctx, "shdel");
  SendResumeByte(ctx);
}

}  // namespace

void UpdateMeter(Context& ctx) {
  const std::string& reply = ctx.link.replyText;
  if (!IsLevelReply(reply)) return;

  Display& display = *ctx.platform.display;
  ctx.link.commandText.clear();
  display.SetColour(ColourOf(Line::kMeter));
  MoveTo(display, Line::kMeter);
  ctx.link.squelchClosed = reply.size() >= 3 && reply[2] == '%' ? 1 : 0;
  long long level = RoundToInteger(NumberFromText(MiddleText(reply, 4, 3)));
  // The receiver's level runs from 0 to 255; a garbled answer ("LM 674") must
  // not be spoken or drawn as a level it cannot have.
  level = std::clamp(level, 0LL, kHighestLevel);
  if (reply.starts_with("LC")) level += 10;
  ctx.link.rawLevel = static_cast<int>(std::min(level, kHighestLevel));
  ctx.link.signalLevel = static_cast<int>(level / kLevelPerAsterisk);
  display.SetFont(FontOf(Line::kMeter));
  if (ctx.link.squelchClosed == 1) {
    ctx.link.signalLevel = 0;
    display.Print(kSquelchOnlyMeter);
  } else {
    ctx.link.statusLine = LeftText(ctx.link.meterBar.str(), ctx.link.signalLevel) + kMeterTail;
    display.Print(ctx.link.statusLine);
  }
  display.SetColour(Colour::kBlack);
}

void DecideStatus(Context& ctx) {
  LinkState& link = ctx.link;
  TuningState& tuning = ctx.tuning;
  const bool quiet = link.squelchClosed == 1;
  const bool heard = link.squelchClosed == 0;

  // 1. The receiver's memory scan moves on.
  if (link.scanState > 0 && quiet) {
    if (link.scanState == 3) link.scanState = 1;
    ShowStatus(ctx, kScanningLine);
    if (link.scanState == 1) SayIfScanVoice(ctx, "scan");
    link.scanState = 2;
    link.pollState = 0;
    return;
  }
  // 2. The program's bank scan hears nothing: on to the next channel.
  if (link.bankScanState > 1 && quiet) {
    StepBankScan(ctx);
    link.pollState = 0;
    if (link.bankScanState != 3) {
      ShowStatus(ctx, kScanningLine);
      SayIfScanVoice(ctx, "scan");
      link.bankScanState = 3;
    }
    return;
  }
  // 3. The receiver's memory scan holds on a signal: tell where, two ticks on.
  if (link.scanState > 0 && heard) {
    ShowStatus(ctx, kStoppedLine);
    if (link.scanState < 3) SayIfScanVoice(ctx, "stop");
    link.scanState = 3;
    link.pollState = 5;
    return;
  }
  // 4. The bank scan holds on a signal.
  if (link.bankScanState > 1 && heard) {
    PlaceStatusLine(ctx);
    if (link.bankScanState < 4) {
      ctx.platform.display->Print(kStoppedLine);
      SayIfScanVoice(ctx, "stop");
      link.bankScanState = 4;
    }
    link.pollState = 0;
    return;
  }
  // 5. A continuing search rests on a signal: count down, then let it go on.
  if (tuning.searchState == 2 && tuning.searchStopMode != 1) {
    if (link.resumeCountdown == 0) link.resumeCountdown = kResumeCycles;
    link.resumeCountdown -= 1;
    if (link.resumeCountdown == 0) {
      ResumeSearch(ctx);
      link.pollState = 0;
      return;
    }
  }
  // 6. The search has just stopped on a signal: ask where.
  if (tuning.searchState == 1 && heard) {
    ShowStatus(ctx, kStoppedLine);
    if (tuning.searchStopMode == 1) Say(ctx, "stop");
    tuning.searchState = 2;
    link.receiveStateAsks = 0;
    link.pollState = 3;
    return;
  }
  // 7. The signal has gone: the search sweeps again.
  if (tuning.searchState == 2 && quiet) {
    Display& display = *ctx.platform.display;
    MoveTo(display, Line::kSearchActive);
    display.SetColour(ColourOf(Line::kSearchActive));
    display.Print(kSearchActive);
    tuning.searchState = 1;
    link.pollState = 0;
    return;
  }
  // 8. Nothing to tell.
  link.pollState = 0;
}

}  // namespace voxrig
