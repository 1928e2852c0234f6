#include "app/key_handler.h"

#include "command/interpreter.h"
#include "link/port_report.h"
#include "net/net_control.h"
#include "poll/poll_cycle.h"

namespace voxrig {

namespace {

// A key press takes two entries: its code and the 0 separator after which the
// interpreter reads the receiver's answer to what the key sent.
void QueueKey(PanelState& panel, int key) {
  if (panel.keyHeld == 1) return;  // auto-repeat, or a second key pressed meanwhile
  // The latch is set even when the queue is full, so that the key's own
  // auto-repeat cannot slip into the queue once it has room again: a key the
  // listener pressed while ten others waited is lost as a whole.
  panel.keyHeld = 1;
  if (panel.keyQueueCount > PanelState::kQueueSize - 2) return;
  panel.keyQueue[panel.keyQueueCount] = key;
  panel.keyQueue[panel.keyQueueCount + 1] = 0;
  panel.keyQueueCount += 2;
}

// Keys and the poll cycle never interleave: a queued key waits for a running
// poll cycle to end, and no cycle starts while keys wait. The wait is kept
// short, because the listener hears nothing until the key is taken: a cycle
// that has sent nothing yet gives way to a waiting key, and the tick that
// reads a cycle's last answer goes straight on to the key. Until the receiver
// first answers, and for at most the first-answer wait, keys wait while the
// poll cycle runs: a key pressed during the start-up prompts is handled once
// the receiver is known to be there, not taken as proof that it is not. A set
// from the network is carried out on an idle tick, as a key would be, and
// then one poll cycle runs before the next.
bool KeysMayRun(const Context& ctx) {
  const LinkState& link = ctx.link;
  const bool awaitingFirstAnswer =
      link.linkState == ReceiverAnswer::kAwaitingFirst && link.firstAnswerTicks > 0;
  return ctx.panel.keyQueueCount > 0 && !awaitingFirstAnswer;
}

void OnTick(Context& ctx) {
  LinkState& link = ctx.link;
  if (link.linkState == ReceiverAnswer::kAwaitingFirst && link.firstAnswerTicks > 0 &&
      --link.firstAnswerTicks == 0) {
    // The wait is over without a word from the receiver: the listener at a
    // terminal reads where the panel looked, before any key ends it.
    ReportNoAnswer(ctx);
  }
  const bool idle = link.pollState == PollStep::kIdle && ctx.panel.keyQueueCount == 0;
  if (ServeNetClients(ctx, SetTurnNow(ctx))) return;
  if (idle) ctx.net.pollOwed = false;
  if (link.pollState == PollStep::kSendLevelPoll && KeysMayRun(ctx)) {
    link.pollState = PollStep::kIdle;  // nothing sent yet
  }
  if (link.pollState != PollStep::kIdle) {
    RunPollStep(ctx);
    if (link.pollState != PollStep::kIdle || !KeysMayRun(ctx)) return;
  } else if (!KeysMayRun(ctx)) {
    // This tick sends nothing; the next starts the cycle.
    link.pollState = PollStep::kSendLevelPoll;
    return;
  }
  InterpretKey(ctx);
}

}  // namespace

int OnWindowEvent(Context& ctx, const WindowEvent& event) {
  switch (event.kind) {
    case EventKind::kCloseRequest:
      // The shutdown sequence closes the window once the message loop ends.
      ctx.app.programRunning = 0;
      break;
    case EventKind::kKeyDown:
      QueueKey(ctx.panel, event.key);
      break;
    case EventKind::kKeyUp:
      ctx.panel.keyHeld = 0;
      ctx.panel.currentKey = PanelState::kNoKey;
      break;
    case EventKind::kTimerTick:
      OnTick(ctx);
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
