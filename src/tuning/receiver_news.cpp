// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/receiver_news.h"

#include <string>

#include "panel/display_lines.h"
#include "speech/speech.h"
#include "tuning/port_report.h"

namespace voxrig {

namespace {

// Wide enough to wipe the longest meter line.
constexpr int kMeterWidth = 36;

// Tells the listener what the link's call just made found out, in the order
// the listener has always heard and seen it.
void TellNews(Context& ctx) {
  LinkState& link = ctx.link;
  switch (link.news) {
    case LinkNews::kNone:
      return;
    case LinkNews::kAnswered:
    case LinkNews::kBack: {
      // A red status (the receiver lost, or not found or silent at start) is
      // wiped.
      const bool wasShownAway = link.news == LinkNews::kBack || link.portReportShown;
      Say(ctx, "connected");
      if (wasShownAway) ShowLinkStatus(ctx, link.statusLine.str(), Line::kMeter);
      ClearPortReport(ctx);
      return;
    }
    case LinkNews::kLost:
      ShowLinkStatus(ctx, kLostStatus, Line::kReceiverLost);
      // Said whatever was said before: this is news.
      link.lossSaidThisKey = true;
      Say(ctx, "rnc");
      return;
    case LinkNews::kNoFirstAnswer:
      ReportNoAnswer(ctx);
      Say(ctx, "rnc");
      Say(ctx, "runsetup");
      return;
  }
}

// The link's call, then its news.
template <typename Result>
Result Told(Context& ctx, Result result) {
  TellNews(ctx);
  return result;
}

}  // namespace

void ShowLinkStatus(Context& ctx, const std::string& status, Line line) {
  Display& display = *ctx.platform.display;
  display.SetColour(ColourOf(line));
  MoveTo(display, line);
  display.SetFont(FontOf(line));
  std::string text = status;
  if (text.size() < kMeterWidth) text.append(kMeterWidth - text.size(), ' ');
  display.Print(text);
  display.SetColour(Colour::kBlack);
}

RadioResult ToRadio(Context& ctx, const std::function<RadioResult(Receiver&)>& call) {
  const RadioResult result = Told(ctx, link::ToRadio(ctx, call));
  ctx.tuning.radioRefused = result == RadioResult::kRefused;
  return result;
}

std::optional<Reception> TakeReception(Context& ctx) {
  return Told(ctx, link::TakeReception(ctx));
}

std::optional<ReceiveState> TakeReceiveState(Context& ctx) {
  return Told(ctx, link::TakeReceiveState(ctx));
}

std::optional<MemoryChannel> TakeCurrentChannel(Context& ctx) {
  return Told(ctx, link::TakeCurrentChannel(ctx));
}

std::optional<BankBatch> TakeBankChannels(Context& ctx, char bank) {
  return Told(ctx, link::TakeBankChannels(ctx, bank));
}

std::optional<BankSize> TakeBankSize(Context& ctx, char bank) {
  return Told(ctx, link::TakeBankSize(ctx, bank));
}

void DropWaitingAnswers(Context& ctx) {
  link::DropWaitingAnswers(ctx);
  TellNews(ctx);
}

bool ReceiverStillThere(Context& ctx) {
  return Told(ctx, link::ReceiverStillThere(ctx));
}

void NoticeNoFirstAnswer(Context& ctx) {
  link::NoticeNoFirstAnswer(ctx);
  TellNews(ctx);
}

void NoticeReceiverLost(Context& ctx) {
  link::NoticeReceiverLost(ctx);
  TellNews(ctx);
}

void SayReceiverLost(Context& ctx) {
  if (ctx.link.lossSaidThisKey) return;
  ctx.link.lossSaidThisKey = true;
  Say(ctx, "rnc");
}

void ForgetRadioRefusal(Context& ctx) {
  ctx.tuning.radioRefused = false;
}

void SayAboutReceiver(Context& ctx, const std::string& prompt) {
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
  } else if (ctx.tuning.radioRefused) {
    Say(ctx, "inv");
  } else {
    Say(ctx, prompt);
  }
}

Steps<RadioResult> UntilRadioHasAnswered(Context& ctx) {
  co_await RadioCallsEnded(ctx);
  const RadioResult outcome = Told(ctx, link::TakeLateOutcome(ctx));
  if (outcome == RadioResult::kRefused) ctx.tuning.radioRefused = true;
  co_return outcome;
}

void TellLateOutcome(Context& ctx) {
  if (!RadioCallsEndBesideTheLoop(ctx) || RadioCallsOutstanding(ctx)) return;
  if (Told(ctx, link::TakeLateOutcome(ctx)) == RadioResult::kRefused) Say(ctx, "inv");
}

}  // namespace voxrig
