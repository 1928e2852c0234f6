// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_handler.h"

#include "command/interpreter.h"
#include "command/key_codes.h"
#include "link/command_link.h"
#include "net/net_control.h"
#include "poll/channel_line.h"
#include "poll/poll_cycle.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// A key press takes two entries: its code and the 0 separator after which the
// interpreter reads the receiver's answer to what the key sent. Every key
// pressed is queued, also while another is still held (a fast typist's keys
// overlap); only the keyboard's auto-repeat of a held key is not.
bool HasRoomForAKey(const PanelState& panel) {
  return panel.keyQueueCount <= PanelState::kQueueSize - 2;
}

void AppendKey(PanelState& panel, int key) {
  panel.keyQueue[panel.keyQueueCount] = key;
  panel.keyQueue[panel.keyQueueCount + 1] = 0;
  panel.keyQueueCount += 2;
}

// Q that found the queue full goes in, behind the keys queued before it, as
// soon as there is room.
void LetWaitingQuitIn(PanelState& panel) {
  if (!panel.quitWaiting || !HasRoomForAKey(panel)) return;
  panel.quitWaiting = false;
  AppendKey(panel, keys::Letter('Q'));
}

// A key that finds the queue full is refused aloud, so the listener knows to
// press it again; but a burst of keys (a paste, a macro, a key struck over
// and over) is told once, not once a key: "invalid" is an outcome, heard to
// its end, and a hundred of them would hold up every other prompt for
// minutes. The run of refusals lasts until the panel has caught up with the
// keys it took. Q is never refused: the panel ends once the keys queued
// before it are done, and keys pressed after it are not taken.
void QueueKey(Context& ctx, const WindowEvent& event) {
  if (event.repeat) return;
  PanelState& panel = ctx.panel;
  if (panel.keyQueueCount == 0) panel.refusalTold = false;
  if (panel.quitWaiting) return;
  if (HasRoomForAKey(panel)) {
    AppendKey(panel, event.key);
    return;
  }
  if (event.key == keys::Letter('Q')) {
    panel.quitWaiting = true;
    return;
  }
  if (panel.refusalTold) return;
  panel.refusalTold = true;
  Say(ctx, "inv");
}

void DropFirstEntry(PanelState& panel) {
  for (int i = 1; i < panel.keyQueueCount; ++i) panel.keyQueue[i - 1] = panel.keyQueue[i];
  panel.keyQueue[--panel.keyQueueCount] = 0;
}

// Until the receiver first answers, and for at most the first-answer wait,
// keys wait: a key pressed during the start-up is handled once the receiver
// is known to be there, or once the panel has said that it is not.
bool AwaitingFirstAnswer(const Context& ctx) {
  return ctx.link.linkState == ReceiverAnswer::kAwaitingFirst && ctx.link.firstAnswerTicks > 0;
}

bool KeysMayRun(const Context& ctx) {
  return ctx.panel.keyQueueCount > 0 && !AwaitingFirstAnswer(ctx);
}

// Keys and the poll cycle never interleave on the wire, but a key is taken as
// soon as the wire allows, not on the next tick: at once when no exchange is
// on the wire (a poll cycle that has sent nothing yet gives way), and at once
// also during a poll's exchange when the key writes nothing to the receiver
// (a typed digit, F, M). A key that wrote something has its answer read on
// the next tick, and the keys behind it wait for that; a key that wrote
// nothing has no answer to wait for.
void TakeKeys(Context& ctx) {
  PanelState& panel = ctx.panel;
  LinkState& link = ctx.link;
  while (KeysMayRun(ctx)) {
    LetWaitingQuitIn(panel);
    const int key = panel.keyQueue[0];
    if (key == 0) return;  // an answer is owed: the next tick reads it
    const bool exchangeOnWire =
        link.pollState != PollStep::kIdle && link.pollState != PollStep::kSendLevelPoll;
    if (exchangeOnWire && !KeyLeavesTheWireAlone(key)) return;
    if (link.pollState == PollStep::kSendLevelPoll)
      link.pollState = PollStep::kIdle;  // nothing sent yet
    const long long writesBefore = link.writesToReceiver;
    if (InterpretKey(ctx) == KeyOutcome::kQuit) ctx.app.programRunning = false;
    if (!ctx.app.programRunning) return;  // Q: nothing more is done
    if (link.writesToReceiver == writesBefore && panel.keyQueueCount > 0 &&
        panel.keyQueue[0] == 0) {
      DropFirstEntry(panel);
    }
  }
}

// Once this tick's keys and answers are done and the wire is free, a set from
// the network that has waited takes it at once; the level poll a set owes
// starts at once too. So a program that sets one frequency after another
// waits two ticks for each, not five, and the poll still follows every set.
void UseTheFreeWire(Context& ctx) {
  if (ctx.link.pollState != PollStep::kIdle || ctx.panel.keyQueueCount != 0) return;
  if (ctx.net.pollOwed) {
    ctx.net.pollOwed = false;
    ctx.link.pollState = PollStep::kSendLevelPoll;
    RunPollStep(ctx);
    return;
  }
  ServeNetClients(ctx, SetTurnNow(ctx));
}

// A set from the network is carried out on an idle tick, as a key would be,
// and then one poll cycle runs before the next. The tick that reads a poll
// cycle's last answer, or a key's answer, goes straight on to the keys.
void OnTick(Context& ctx) {
  StartSpeechUnit(ctx);
  // The panel has caught up with the keys it took: a run of refusals is over.
  if (ctx.panel.keyQueueCount == 0) ctx.panel.refusalTold = false;
  LetWaitingQuitIn(ctx.panel);
  LinkState& link = ctx.link;
  if (link.linkState == ReceiverAnswer::kAwaitingFirst && link.firstAnswerTicks > 0 &&
      --link.firstAnswerTicks == 0) {
    // The wait is over without a word from the receiver: the listener hears
    // it, and the keys that waited meet a receiver that is away.
    NoticeNoFirstAnswer(ctx);
  }
  const bool idle = link.pollState == PollStep::kIdle && ctx.panel.keyQueueCount == 0;
  if (ServeNetClients(ctx, SetTurnNow(ctx))) return;
  if (idle) ctx.net.pollOwed = false;
  if (link.pollState == PollStep::kSendLevelPoll && KeysMayRun(ctx)) {
    link.pollState = PollStep::kIdle;  // nothing sent yet
  }
  if (link.pollState != PollStep::kIdle) {
    RunPollStep(ctx);
  } else if (!KeysMayRun(ctx)) {
    // This tick sends nothing; the next starts the cycle.
    link.pollState = PollStep::kSendLevelPoll;
    return;
  }
  if (link.pollState == PollStep::kIdle && KeysMayRun(ctx) && ctx.panel.keyQueue[0] == 0) {
    InterpretKey(ctx);  // the answer to the key before
  }
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
      QueueKey(ctx, event);
      TakeKeys(ctx);
      ShowChannelLine(ctx);
      break;
    case EventKind::kKeyUp:
      ctx.panel.currentKey = PanelState::kNoKey;
      break;
    case EventKind::kTimerTick:
      OnTick(ctx);
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
