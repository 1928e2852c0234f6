// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/command_link.h"

#include "link/ar8600/ar8600_receiver.h"

namespace voxrig {

namespace {

// The radio with the debug log as its wire log while debugging (the log is
// looked up afresh each time: it closes before the last command goes out).
Receiver& Wired(Context& ctx, Receiver& radio) {
  OutputFile* log = ctx.app.debugEnabled ? ctx.panel.debugFile.get() : nullptr;
  radio.SetWireLog(log);
  return radio;
}

// The first answer after a connect, or after the receiver went away, is news
// that the receiver is there; the state changes at once, so it is news only
// once.
void NoticeAnswer(Context& ctx) {
  LinkState& link = ctx.link;
  link.unansweredPolls = 0;
  if (link.statusLine == "Connecting" || link.receiverLost) {
    link.news = link.receiverLost ? LinkNews::kBack : LinkNews::kAnswered;
    // A first answer is followed by the known state; back after a loss, it
    // holds whatever it started with, and is given what the panel shows.
    link.stateOwed = link.linkState == ReceiverAnswer::kReceived ? StateOwed::kShownState
                                                                 : StateOwed::kKnownState;
    link.linkState = ReceiverAnswer::kReceived;
    link.receiverLost = false;
    link.statusLine = ">";
  }
}

// Takes an answer from the radio, if a line is open; whatever the radio
// answered, even to another question, tells that it is there.
template <typename Answer>
std::optional<Answer> Take(Context& ctx,
                           const std::function<std::optional<Answer>(Receiver&)>& take) {
  if (!ctx.link.receiver) return std::nullopt;
  Receiver& radio = Wired(ctx, *ctx.link.receiver);
  std::optional<Answer> taken = take(radio);
  const bool answered = radio.Answered();
  if (taken || answered) NoticeAnswer(ctx);
  return taken;
}

// A hung-up line is noticed before a read, and nothing is read from it.
bool LineHungUp(Context& ctx) {
  if (!ctx.link.receiver || !ctx.link.receiver->LineGone()) return false;
  link::NoticeReceiverLost(ctx);
  return true;
}

// Each call of the link starts with no news.
void NoNewsYet(Context& ctx) {
  ctx.link.news = LinkNews::kNone;
}

}  // namespace

namespace link {

RadioResult ToRadio(Context& ctx, const std::function<RadioResult(Receiver&)>& call) {
  NoNewsYet(ctx);
  LinkState& link = ctx.link;
  RadioResult result = RadioResult::kLineGone;
  if (link.receiver) {
    result = call(Wired(ctx, *link.receiver));
  } else if (link.hamlibModel == 0) {
    // No line to the AR8600: its command is logged all the same, and goes
    // nowhere. A radio driven through Hamlib has no command text to log.
    Ar8600Receiver noLine(nullptr);
    result = call(Wired(ctx, noLine));
  }
  if (result == RadioResult::kNotOnThisRadio) return result;
  ++link.writesToReceiver;
  if (link.receiverLost) link.sentWhileLost = true;
  // A radio that refused or left a question unanswered is still there; only
  // a line that has gone loses it.
  if (result == RadioResult::kLineGone || (link.receiver && link.receiver->LineGone())) {
    NoticeReceiverLost(ctx);
  }
  return result;
}

std::optional<Reception> TakeReception(Context& ctx) {
  NoNewsYet(ctx);
  if (LineHungUp(ctx)) return std::nullopt;
  return Take<Reception>(ctx, [](Receiver& radio) { return radio.TakeReception(); });
}

std::optional<ReceiveState> TakeReceiveState(Context& ctx) {
  NoNewsYet(ctx);
  return Take<ReceiveState>(ctx, [](Receiver& radio) { return radio.TakeReceiveState(); });
}

std::optional<MemoryChannel> TakeCurrentChannel(Context& ctx) {
  NoNewsYet(ctx);
  return Take<MemoryChannel>(ctx, [](Receiver& radio) { return radio.TakeCurrentChannel(); });
}

std::optional<BankBatch> TakeBankChannels(Context& ctx, char bank) {
  NoNewsYet(ctx);
  return Take<BankBatch>(ctx, [bank](Receiver& radio) { return radio.TakeBankChannels(bank); });
}

std::optional<BankSize> TakeBankSize(Context& ctx, char bank) {
  NoNewsYet(ctx);
  if (LineHungUp(ctx)) return std::nullopt;
  return Take<BankSize>(ctx, [bank](Receiver& radio) { return radio.TakeBankSize(bank); });
}

void DropWaitingAnswers(Context& ctx) {
  NoNewsYet(ctx);
  if (!ctx.link.receiver) return;
  ctx.link.receiver->DropLateAnswers();
  if (ctx.link.receiver->LineGone()) NoticeReceiverLost(ctx);
}

void NoticeNoFirstAnswer(Context& ctx) {
  NoNewsYet(ctx);
  LinkState& link = ctx.link;
  if (link.linkState != ReceiverAnswer::kAwaitingFirst || link.receiverLost) return;
  link.receiverLost = true;
  link.statusLine = kLostStatus;
  link.news = LinkNews::kNoFirstAnswer;
}

void NoticeReceiverLost(Context& ctx) {
  NoNewsYet(ctx);
  LinkState& link = ctx.link;
  if (link.receiver && link.receiver->LineGone()) {
    // A dead line is let go at once; the poll cycle opens the port again by
    // its name, which finds a replugged receiver's new device.
    link.receiver.reset();
    link.cyclesSinceReopen = 0;
  }
  if (link.linkState != ReceiverAnswer::kReceived || link.receiverLost) return;
  link.receiverLost = true;
  link.unansweredPolls = 0;
  link.statusLine = kLostStatus;
  link.news = LinkNews::kLost;
}

RadioResult TakeLateOutcome(Context& ctx) {
  NoNewsYet(ctx);
  if (!ctx.link.receiver) return RadioResult::kDone;
  if (ctx.link.receiver->LineGone()) {
    NoticeReceiverLost(ctx);
    return RadioResult::kLineGone;
  }
  return ctx.link.receiver->LateRefusal() ? RadioResult::kRefused : RadioResult::kDone;
}

bool ReceiverStillThere(Context& ctx) {
  NoNewsYet(ctx);
  if (ctx.link.receiver && ctx.link.receiver->LineGone()) NoticeReceiverLost(ctx);
  return !ctx.link.receiverLost;
}

}  // namespace link

bool AnswerWaiting(Context& ctx) {
  return ctx.link.receiver && ctx.link.receiver->AnswerWaiting();
}

bool WholeAnswerWaiting(Context& ctx) {
  return ctx.link.receiver && ctx.link.receiver->WholeAnswerWaiting();
}

bool RadioCallsEndBesideTheLoop(const Context& ctx) {
  return ctx.link.receiver && ctx.link.receiver->CallsEndBesideTheLoop();
}

bool RadioCallsOutstanding(Context& ctx) {
  return ctx.link.receiver && ctx.link.receiver->CallsOutstanding();
}

Steps<> RadioCallsEnded(Context& ctx) {
  for (int waited = 0; RadioCallsOutstanding(ctx) && waited < kMostRadioWaitMs;
       waited += kRadioCheckMs) {
    co_await WaitFor{kRadioCheckMs};
  }
}

void ResetLinkState(Context& ctx) {
  LinkState& link = ctx.link;
  link.linkState = ReceiverAnswer::kAwaitingFirst;
  link.news = LinkNews::kNone;
  link.receiverLost = false;
  link.stateOwed = StateOwed::kNothing;
  link.unansweredPolls = 0;
  link.cyclesSinceReopen = 0;
  link.portReportShown = false;
}

}  // namespace voxrig
