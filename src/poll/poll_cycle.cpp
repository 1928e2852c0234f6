// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/poll_cycle.h"

#include <utility>

#include "link/radio_choice.h"
#include "memory/memory_scan.h"
#include "panel/display_lines.h"
#include "poll/connect.h"
#include "poll/operation.h"
#include "poll/poll_status.h"
#include "poll/receiver_port.h"
#include "poll/restore.h"
#include "poll/search.h"
#include "poll/search_log.h"
#include "speech/speech.h"
#include "tuning/receiver_news.h"

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

// Before each level poll: a receiver that is away gets its port reopened
// every few seconds.
void ReachForReceiver(Context& ctx) {
  LinkState& link = ctx.link;
  if (!link.receiverLost && RadioOpen(ctx)) {
    link.cyclesSinceReopen = 0;
    return;
  }
  if (++link.cyclesSinceReopen < kCyclesBetweenReopens) return;
  link.cyclesSinceReopen = 0;
  ReopenReceiverPort(ctx);
}

// After each level poll: a receiver that has answered before and now leaves
// poll after poll without a level answer (silent, or babbling garbage) has
// gone away.
void CountUnansweredPoll(Context& ctx, bool levelAnswered) {
  LinkState& link = ctx.link;
  if (levelAnswered) {
    link.unansweredPolls = 0;
    return;
  }
  if (link.linkState != ReceiverAnswer::kReceived || link.receiverLost) return;
  if (++link.unansweredPolls >= kUnansweredPollsForLoss) NoticeReceiverLost(ctx);
}

// Ticks a read step waits for a radio driven through Hamlib that has not
// answered yet, before it counts the question unanswered.
constexpr int kMostAnswerWaitTicks = 30;

// A radio whose calls end beside the loop may still be carrying out the
// question: the read waits for it, a tick at a time, a few seconds at most.
bool StillAwaitingRadio(Context& ctx) {
  if (RadioCallsOutstanding(ctx) && ++ctx.poll.answerWaitTicks < kMostAnswerWaitTicks) return true;
  ctx.poll.answerWaitTicks = 0;
  return false;
}

void AskReceiveState(Context& ctx) {
  ToRadio(ctx, [](Receiver& radio) { return radio.AskReceiveState(); });
}

PollStep DoSendLevelPoll(Context& ctx) {
  ReachForReceiver(ctx);
  if (ctx.platform.stopwatch != nullptr) ctx.poll.lastLevelPollMs = ctx.platform.stopwatch->NowMs();
  ToRadio(ctx, [](Receiver& radio) { return radio.AskReception(); });
  return PollStep::kReadLevel;
}

PollStep DoReadLevel(Context& ctx) {
  if (StillAwaitingRadio(ctx)) return PollStep::kReadLevel;
  const auto reception = TakeReception(ctx);
  // A level answer alone ("LM 201") keeps the place that the receiver's own
  // report of this rest gave, which a key's answer may have read first; a
  // closed squelch or no answer forgets it.
  if (!reception || !reception->squelchOpen) {
    ctx.poll.scanHeldAt.reset();
  } else if (reception->holdsAt) {
    ctx.poll.scanHeldAt = reception->holdsAt;
  }
  CountUnansweredPoll(ctx, reception.has_value());
  if (reception) UpdateMeter(ctx, *reception);
  return DecideStatus(ctx);
}

PollStep DoAskWhereSearchStopped(Context& ctx) {
  AskReceiveState(ctx);
  return PollStep::kReadWhereSearchStopped;
}

// The answer to "RX" tells where the search stopped. It is read from the raw
// bytes, so a receiver that answers with another leading keyword during a
// search still gets its hit logged.
PollStep DoReadWhereSearchStopped(Context& ctx) {
  if (StillAwaitingRadio(ctx)) return PollStep::kReadWhereSearchStopped;
  const auto state = TakeReceiveState(ctx);
  const auto& hit = state ? state->frequency : std::nullopt;
  if (hit) {
    ctx.tuning.frequencyDigits = hit->digits;
    ctx.tuning.frequencyText = hit->text;
    ShowFrequency(ctx);
    LogSearchHit(ctx);
    // A search that waits for the listener says where it waits.
    if (ctx.poll.searchStopMode == StopMode::kStop) SpeakFrequency(ctx, ctx.tuning.frequencyText);
    ctx.poll.receiveStateAsks = 0;
    return PollStep::kIdle;
  }
  ctx.poll.receiveStateAsks += 1;
  if (ctx.poll.receiveStateAsks < kMostReceiveStateAsks) return PollStep::kAskWhereSearchStopped;
  // The receiver never said where it stopped: nothing is logged, the listener
  // hears that it did not answer, and the search rules carry on.
  ctx.poll.receiveStateAsks = 0;
  Say(ctx, "rnc");
  return PollStep::kIdle;
}

// One tick for the receiver to settle on the channel its scan holds on.
PollStep DoSettleOnHeldChannel() {
  return PollStep::kShowHeldChannel;
}

// Where a receiver scan holds, from the level answer already read; on the
// first cycle of a rest the receiver is asked for its receive state, whose
// answer during a memory scan ("MS MXA05 ... TM" and the name) names the
// channel it holds (the level answer carries the frequency only).
PollStep DoShowHeldChannel(Context& ctx) {
  const auto& held = ctx.poll.scanHeldAt;
  if (held) {
    ctx.tuning.frequencyText = held->text;
    ctx.tuning.frequencyDigits = held->digits;
    ShowFrequency(ctx);
  }
  if (ctx.poll.heldChannelAsked) return PollStep::kIdle;
  ctx.poll.heldChannelAsked = true;
  AskReceiveState(ctx);
  return PollStep::kReadHeldChannel;
}

// Where the scan rests, its frequency, then the held channel and its name,
// said after "stop" when the scan voice tells the rests.
PollStep DoReadHeldChannel(Context& ctx) {
  if (StillAwaitingRadio(ctx)) return PollStep::kReadHeldChannel;
  ReadHeldChannel(ctx);
  if (!ctx.poll.scanVoice) return PollStep::kIdle;
  SpeakFrequency(ctx, ctx.tuning.frequencyText);
  SpeakHeldChannel(ctx);
  return PollStep::kIdle;
}

PollStep DoPollStep(Context& ctx, PollStep step) {
  switch (step) {
    case PollStep::kIdle:
      return PollStep::kIdle;
    case PollStep::kSendLevelPoll:
      return DoSendLevelPoll(ctx);
    case PollStep::kReadLevel:
      return DoReadLevel(ctx);
    case PollStep::kAskWhereSearchStopped:
      return DoAskWhereSearchStopped(ctx);
    case PollStep::kReadWhereSearchStopped:
      return DoReadWhereSearchStopped(ctx);
    case PollStep::kSettleOnHeldChannel:
      return DoSettleOnHeldChannel();
    case PollStep::kShowHeldChannel:
      return DoShowHeldChannel(ctx);
    case PollStep::kReadHeldChannel:
      return DoReadHeldChannel(ctx);
  }
  return PollStep::kIdle;  // not reached: every step has its case
}

}  // namespace

bool PollReadsAnswerOnArrival(const Context& ctx) {
  const PollState& poll = ctx.poll;
  return poll.pollState == PollStep::kReadLevel && poll.searchState == Search::kOff &&
         poll.scanState == ReceiverScan::kOff && !BankScanRuns(poll.bankScanState);
}

void ReadPollAnswerOnArrival(Context& ctx) {
  RunPollStep(ctx);
  ctx.poll.answerReadAhead = true;
}

bool TakeTickOfAnswerReadAhead(Context& ctx) {
  return std::exchange(ctx.poll.answerReadAhead, false);
}

void NoteReceptionBesideThePoll(Context& ctx, const Reception& reception) {
  if (reception.holdsAt) ctx.poll.scanHeldAt = reception.holdsAt;
}

void RunPollStep(Context& ctx) {
  ctx.poll.pollState = DoPollStep(ctx, ctx.poll.pollState);
  const StateOwed owed = ctx.link.stateOwed;
  if (owed != StateOwed::kNothing && !ctx.link.receiverLost) {
    // The receiver has answered ("connected" has been said): it is given its
    // state before anything else reaches it, the known state on its first
    // answer and the panel's own when it comes back after a loss.
    // It runs step by step, holding the wire, while the loop goes on.
    ctx.link.stateOwed = StateOwed::kNothing;
    if (owed == StateOwed::kKnownState) {
      StartOperation(ctx, PutReceiverInKnownState(ctx));
    } else {
      StartOperation(ctx, RestoreShownState(ctx));
    }
    ctx.poll.pollState = PollStep::kIdle;
  }
  if (ctx.link.receiverLost && ctx.poll.searchState != Search::kOff) {
    // The receiver went away mid-search (noticed by this step or by a key):
    // no more "RX" asks, and the search ends with its hits kept and told.
    EndSearchOnLoss(ctx);
    ctx.poll.pollState = PollStep::kIdle;
  }
}

}  // namespace voxrig
