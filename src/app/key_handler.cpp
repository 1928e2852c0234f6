// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_handler.h"

#include "command/interpreter.h"
#include "link/command_link.h"
#include "net/net_control.h"
#include "panel/key_queue.h"
#include "poll/channel_line.h"
#include "poll/operation.h"
#include "poll/poll_cycle.h"
#include "poll/wire_turns.h"
#include "speech/speech.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// Until the receiver first answers, and for at most the first-answer wait,
// keys wait: a key pressed during the start-up is handled once the receiver
// is known to be there, or once the panel has said that it is not.
bool AwaitingFirstAnswer(const Context& ctx) {
  return ctx.link.linkState == ReceiverAnswer::kAwaitingFirst && ctx.poll.firstAnswerTicks > 0;
}

// While a long operation runs, keys wait in the queue: they are taken in
// order once it has ended.
bool KeysMayRun(const Context& ctx) {
  return QueuedEntries(ctx) > 0 && !AwaitingFirstAnswer(ctx) && !OperationRunning(ctx);
}

// A key that wrote nothing to the receiver has no answer for its separator
// to wait for: the next key is taken at once.
void DropSeparatorOfSilentKey(Context& ctx) {
  if (ctx.link.writesToReceiver == ctx.app.writesBeforeKey && QueuedEntries(ctx) > 0 &&
      NextQueuedEntry(ctx) == 0) {
    DropQueuedEntry(ctx);
  }
}

// Keys and the poll cycle never interleave on the wire, but a key is taken as
// soon as the wire allows, not on the next tick: at once when no exchange is
// on the wire (a poll cycle that has sent nothing yet gives way), and at once
// also during a poll's exchange when the key writes nothing to the receiver
// (a typed digit, F, M). A key that wrote something has its answer read on
// the next tick, and the keys behind it wait for that; a key that wrote
// nothing has no answer to wait for.
void TakeKeys(Context& ctx) {
  LinkState& link = ctx.link;
  while (KeysMayRun(ctx)) {
    LetWaitingQuitIn(ctx);
    const int key = NextQueuedEntry(ctx);
    if (key == 0) return;  // an answer is owed: the next tick reads it
    const bool exchangeOnWire =
        ctx.poll.pollState != PollStep::kIdle && ctx.poll.pollState != PollStep::kSendLevelPoll;
    if (exchangeOnWire && !KeyLeavesTheWireAlone(key)) return;
    GiveUnsentPollWay(ctx);
    ctx.app.writesBeforeKey = link.writesToReceiver;
    if (InterpretKey(ctx) == KeyOutcome::kQuit) ctx.app.programRunning = false;
    if (!ctx.app.programRunning) return;  // Q: nothing more is done
    // A key whose work goes on step by step has its separator looked at
    // when the work ends.
    if (OperationRunning(ctx)) return;
    DropSeparatorOfSilentKey(ctx);
  }
}

// While a long operation holds the wire, a key that sends the receiver
// nothing (a typed digit, F, M, V, Escape, BackSpace) is heard at once, in
// the order pressed; the first key that needs the wire, and every key behind
// it, waits for the operation's end. Only a key's work that reads nothing
// the typing changes (W, X, Z) takes keys beside it.
void TakeKeysBesideOperation(Context& ctx) {
  const long long writesBeforeOperationKey = ctx.app.writesBeforeKey;
  while (OperationRunning(ctx) && ctx.command.keysBesideWork && !AwaitingFirstAnswer(ctx)) {
    const int front = NextQueuedEntry(ctx);
    const int key = front != 0 ? front : KeyBehindSeparator(ctx);
    if (key == 0 || !KeyLeavesTheWireAlone(key)) break;
    if (front == 0) TakeKeyBeforeSeparator(ctx);
    ctx.app.writesBeforeKey = ctx.link.writesToReceiver;
    InterpretKey(ctx);
    DropSeparatorOfSilentKey(ctx);
  }
  ctx.app.writesBeforeKey = writesBeforeOperationKey;
}

// Once this tick's keys and answers are done and the wire is free, a set from
// the network that has waited takes it at once; the level poll a set owes
// starts at once too. So a program that sets one frequency after another
// waits two ticks for each, not five, and the poll still follows every set.
void UseTheFreeWire(Context& ctx) {
  if (ctx.poll.pollState != PollStep::kIdle || QueuedEntries(ctx) != 0) return;
  if (ctx.net.pollOwed) {
    ctx.net.pollOwed = false;
    BeginPollCycle(ctx);
    RunPollStep(ctx);
    return;
  }
  ServeNetClients(ctx, SetTurnNow(ctx));
}

void ResumeOperation(Context& ctx);

// A set from the network is carried out on an idle tick, as a key would be,
// and then one poll cycle runs before the next. The tick that reads a poll
// cycle's last answer, or a key's answer, goes straight on to the keys.
void OnTick(Context& ctx) {
  if (OperationRunning(ctx)) {
    // The operation holds the wire: clients are answered, their sets
    // refused, and a window that cannot wake the loop has the operation's
    // step run on the tick.
    ServeNetClients(ctx, SetTurnNow(ctx));
    ResumeOperation(ctx);
    TakeKeysBesideOperation(ctx);
    return;
  }
  StartSpeechUnit(ctx);
  NoteQueueCaughtUp(ctx);
  TellLateOutcome(ctx);
  LetWaitingQuitIn(ctx);
  LinkState& link = ctx.link;
  if (link.linkState == ReceiverAnswer::kAwaitingFirst && FirstAnswerWaitEndsNow(ctx)) {
    // The wait is over without a word from the receiver: the listener hears
    // it, and the keys that waited meet a receiver that is away.
    NoticeNoFirstAnswer(ctx);
  }
  const bool idle = ctx.poll.pollState == PollStep::kIdle && QueuedEntries(ctx) == 0;
  const bool answerReadAhead = TakeTickOfAnswerReadAhead(ctx);
  if (ServeNetClients(ctx, SetTurnNow(ctx))) return;
  if (idle) ctx.net.pollOwed = false;
  if (KeysMayRun(ctx)) GiveUnsentPollWay(ctx);
  if (answerReadAhead) {
    // The level answer this tick would read has been read as it came.
  } else if (ctx.poll.pollState != PollStep::kIdle) {
    RunPollStep(ctx);
  } else if (!KeysMayRun(ctx)) {
    // This tick sends nothing; the next starts the cycle.
    BeginPollCycle(ctx);
    return;
  }
  // A radio driven through Hamlib that is still carrying out the key's
  // calls has not answered yet: its answer is read when they end.
  if (ctx.poll.pollState == PollStep::kIdle && KeysMayRun(ctx) && NextQueuedEntry(ctx) == 0 &&
      !RadioCallsOutstanding(ctx)) {
    InterpretKey(ctx);  // the answer to the key before
  }
  TakeKeys(ctx);
  UseTheFreeWire(ctx);
}

// The receiver has sent something. A whole answer that the wire waits for
// is read at once rather than on the next tick: a key's or a network set's,
// and the level poll's outside scans and searches; the keys and sets that
// waited then take the wire. A long operation reads its own answers after
// its pauses, and what nobody waits for is left for the next read.
void OnRadioActivity(Context& ctx) {
  if (OperationRunning(ctx)) return;
  // A radio driven through Hamlib whose driver found its line gone is told
  // at once, not at the next poll.
  if (ctx.link.receiver && ctx.link.receiver->LineGone() && !ctx.link.receiverLost) {
    ReceiverStillThere(ctx);
    return;
  }
  const bool keysAnswerOwed =
      ctx.poll.pollState == PollStep::kIdle && KeysMayRun(ctx) && NextQueuedEntry(ctx) == 0;
  TellLateOutcome(ctx);
  if (!keysAnswerOwed && !PollReadsAnswerOnArrival(ctx)) return;
  if (!WholeAnswerWaiting(ctx)) return;
  if (keysAnswerOwed) {
    InterpretKey(ctx);  // the answer to the key before
  } else {
    ReadPollAnswerOnArrival(ctx);
  }
  TakeKeys(ctx);
  UseTheFreeWire(ctx);
}

// A long operation's wait is over: its next step runs; once it has ended, the
// keys that waited are taken and the wire is free for the rest. The
// operation has read the answers it asked for: the separator of the key
// that started it reads nothing more, so a report the receiver sends by
// itself just then (where a memory scan stopped, perhaps still arriving) is
// left whole for the poll.
void ResumeOperation(Context& ctx) {
  if (!RunDueOperationStep(ctx)) return;
  TellLateOutcome(ctx);
  if (QueuedEntries(ctx) > 0 && NextQueuedEntry(ctx) == 0) DropQueuedEntry(ctx);
  TakeKeys(ctx);
  UseTheFreeWire(ctx);
}

}  // namespace

int OnWindowEvent(Context& ctx, const WindowEvent& event) {
  switch (event.kind) {
    case EventKind::kCloseRequest:
      // The shutdown sequence closes the window once the message loop ends.
      ctx.app.programRunning = false;
      break;
    case EventKind::kKeyDown:
      QueueKeyPress(ctx, event);
      TakeKeys(ctx);
      TakeKeysBesideOperation(ctx);
      ShowChannelLine(ctx);
      break;
    case EventKind::kKeyUp:
      ReleaseCurrentKey(ctx);
      break;
    case EventKind::kTimerTick:
      OnTick(ctx);
      ShowChannelLine(ctx);
      break;
    case EventKind::kWake:
      ResumeOperation(ctx);
      ShowChannelLine(ctx);
      break;
    case EventKind::kRadioActivity:
      OnRadioActivity(ctx);
      ShowChannelLine(ctx);
      break;
    case EventKind::kNetworkActivity:
      // Gets are answered at once; a set only when the wire is free, else on
      // a later tick.
      ServeNetClients(ctx, SetTurnNow(ctx));
      break;
  }
  return 0;
}

}  // namespace voxrig
