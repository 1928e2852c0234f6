// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/net_control.h"

#include <algorithm>
#include <string>

#include "command/interpreter.h"
#include "link/radio_capabilities.h"
#include "net/rigctl_protocol.h"
#include "panel/display_lines.h"
#include "panel/key_queue.h"
#include "poll/operation.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// A few programs at once (a logger, a digital-mode program, an SDR front
// end); further connections are closed as soon as they are taken.
constexpr std::size_t kMaxClients = 4;
// Connections taken per serving, so a storm of them costs the panel little.
constexpr int kAcceptsPerServe = 64;
// Unanswered bytes kept per client: many whole lines. Past this the panel
// stops reading, and the client waits for its answers.
constexpr std::size_t kInputLimit = 64 * 1024;
// Bytes of an over-long line thrown away per serving: a client that sends
// megabytes is read as fast as it sends, but cannot hold the panel.
constexpr std::size_t kDiscardPerServe = 4 * 1024 * 1024;
// Answers kept for a client that does not take them; past this it is
// dropped, as a client that never reads.
constexpr std::size_t kOutputLimit = 16 * 1024;

double NowMs(const NetState& net) {
  return net.stopwatch != nullptr ? net.stopwatch->NowMs() : 0;
}

rigctl::PanelView ViewOf(const Context& ctx, const NetClient& client) {
  rigctl::PanelView view;
  // While the listener types a frequency, the receiver is still where the
  // frequency line stood when the typing began.
  view.frequencyText = ctx.command.frequencyEntryFresh ? ctx.tuning.frequencyText.str()
                                                       : ctx.tuning.frequencyBeforeEntry.str();
  view.modeText = ctx.tuning.modeText.str();
  view.stepText = ctx.tuning.searchStepText.str();
  view.signalLevel = ctx.poll.signalLevel;
  view.rawLevel = ctx.poll.rawLevel;
  view.squelchOpen = !ctx.poll.squelchClosed;
  view.attenuatorOn = ctx.tuning.attenuatorOn;
  view.checkedVfo = client.checkedVfo;
  view.radio = &RadioCapabilities(ctx);
  return view;
}

bool ReceiverAway(const Context& ctx) {
  return ctx.link.linkState != ReceiverAnswer::kReceived || ctx.link.receiverLost;
}

// A set is refused while the receiver moves by itself and while the listener
// is in the middle of a key sequence (their typing is never overwritten).
bool PanelIsBusy(const Context& ctx) {
  return ctx.poll.searchState != Search::kOff || ctx.poll.scanState != ReceiverScan::kOff ||
         BankScanRuns(ctx.poll.bankScanState) ||
         ctx.command.pendingCommand != PendingCommand::kNone || !ctx.command.frequencyEntryFresh;
}

void Flush(NetClient& client) {
  while (!client.output.empty() && !client.closing) {
    const long sent = client.connection->Send(client.output.data(), client.output.size());
    if (sent < 0) client.closing = true;
    if (sent <= 0) return;
    client.output.erase(0, static_cast<std::size_t>(sent));
  }
}

// Tunes as Enter after a typed frequency does, and says the new frequency.
// A receiver found gone by the tuning command gets the frequency it had back
// on the panel: it was never tuned, and the listener hears "receiver not
// connected" instead.
int TuneFromNetwork(Context& ctx, NetClient& client, const rigctl::Request& request,
                    std::int64_t hz) {
  TuningState& tuning = ctx.tuning;
  const BoundedText shown = tuning.frequencyText;
  tuning.frequencyHz = hz;
  HzToText(ctx);
  tuning.frequencyText = tuning.frequencyDigits;
  ClearLowerPanel(ctx);
  TuneToTypedFrequency(ctx);
  if (ctx.link.receiverLost || tuning.radioRefused) {
    tuning.frequencyText = shown;
    tuning.frequencyDigits = shown;
    ShowFrequency(ctx);
    if (ctx.link.receiverLost) return rigctl::kTimedOut;
    Say(ctx, "inv");
    return rigctl::kRejected;
  }
  // The client has its answer before the listener hears the frequency.
  client.output += rigctl::AnswerSet(request, rigctl::kOk);
  Flush(client);
  SpeakFrequency(ctx, tuning.frequencyText);
  return rigctl::kOk;
}

// Selects the mode as its function key does: the mode is said, sent and shown.
// A receiver found gone by the command keeps the mode it had on the panel. A
// radio that lacks the mode keeps its own, and the client hears so too.
int SelectModeFromNetwork(Context& ctx, const std::string& modeText) {
  const BoundedText before = ctx.tuning.modeText;
  // CheckSet named one of the panel's modes.
  if (const ReceiverMode* mode = ModeOfPanelText(modeText)) SelectMode(ctx, mode->mode);
  const bool lost = ctx.link.receiverLost;
  if (lost) ctx.tuning.modeText = before;
  DrawModeLine(ctx);
  if (lost) return rigctl::kTimedOut;
  return ctx.tuning.modeText.str() == modeText ? rigctl::kOk : rigctl::kNotAvailable;
}

// As the A key: said, sent, and the switch kept on the panel, unless the
// receiver was found gone. A radio without an attenuator keeps it off.
int SwitchAttenuatorFromNetwork(Context& ctx) {
  const bool before = ctx.tuning.attenuatorOn;
  ToggleAttenuator(ctx);
  if (ctx.link.receiverLost) {
    ctx.tuning.attenuatorOn = before;
    return rigctl::kTimedOut;
  }
  return ctx.tuning.attenuatorOn == before ? rigctl::kNotAvailable : rigctl::kOk;
}

// The level poll's own pace: one every three ticks.
constexpr double kLevelPollPeriodMs = 300;

bool PolledLately(const Context& ctx) {
  const double now = ctx.platform.stopwatch != nullptr ? ctx.platform.stopwatch->NowMs() : 0;
  return now - ctx.poll.lastLevelPollMs < kLevelPollPeriodMs;
}

enum class SetOutcome { kAnswered, kWaits, kCarriedOut };

SetOutcome HandleSet(Context& ctx, NetClient& client, const rigctl::Request& request,
                     SetTurn turn) {
  const rigctl::SetOrder order = rigctl::CheckSet(request, ViewOf(ctx, client));
  int error = order.error;
  // Nothing is confirmed to a receiver that does not answer, not even a set
  // that would change nothing: the panel cannot know what it holds.
  if (error == rigctl::kOk && ReceiverAway(ctx)) error = rigctl::kTimedOut;
  if (error == rigctl::kOk && order.action != rigctl::SetAction::kNone &&
      (turn == SetTurn::kRefused || PanelIsBusy(ctx))) {
    error = rigctl::kRejected;
  }
  if (error != rigctl::kOk || order.action == rigctl::SetAction::kNone) {
    client.output += rigctl::AnswerSet(request, error);
    return SetOutcome::kAnswered;
  }
  if (turn != SetTurn::kNow) return SetOutcome::kWaits;
  ctx.link.lossSaidThisKey = false;
  ForgetRadioRefusal(ctx);
  ctx.net.carryingOut = &client;
  switch (order.action) {
    case rigctl::SetAction::kTune:
      error = TuneFromNetwork(ctx, client, request, order.frequencyHz);
      if (error == rigctl::kOk) break;
      client.output += rigctl::AnswerSet(request, error);
      break;
    case rigctl::SetAction::kSelectMode:
      client.output += rigctl::AnswerSet(request, SelectModeFromNetwork(ctx, order.modeText));
      break;
    case rigctl::SetAction::kSwitchAttenuator:
      client.output += rigctl::AnswerSet(request, SwitchAttenuatorFromNetwork(ctx));
      break;
    case rigctl::SetAction::kNone:
      break;
  }
  ctx.net.carryingOut = nullptr;
  // Like a key, the set is followed by a separator, whose tick reads the
  // receiver's answer. The level poll follows it, so a program that sets one
  // frequency after another still sees the meter move; a radio whose calls
  // end beside the loop (through Hamlib, tens of milliseconds a question) is
  // asked no more often than the poll's own pace.
  QueueSeparator(ctx);
  ctx.net.pollOwed = !(RadioCallsOutstanding(ctx) && PolledLately(ctx));
  return SetOutcome::kCarriedOut;
}

// The rest of an over-long line is thrown away as it arrives, up to its line
// end, without being kept.
bool DiscardLongLine(NetClient& client, const char* bytes, std::size_t count) {
  const char* end = std::find(bytes, bytes + count, '\n');
  if (end == bytes + count) return false;
  client.droppingLine = false;
  client.input.append(end + 1, bytes + count);
  return true;
}

void ReadInput(NetState& net, NetClient& client) {
  char buffer[16 * 1024];
  std::size_t discarded = 0;
  while (!client.finished && client.input.size() < kInputLimit && discarded < kDiscardPerServe) {
    const std::size_t room = client.droppingLine
                                 ? sizeof buffer
                                 : std::min(sizeof buffer, kInputLimit - client.input.size());
    const long count = client.connection->Receive(buffer, room);
    // A client that has said all it will say still has its answers.
    if (count < 0) client.finished = true;
    if (count <= 0) return;
    client.lastHeardMs = NowMs(net);
    const auto size = static_cast<std::size_t>(count);
    if (client.droppingLine) {
      if (!DiscardLongLine(client, buffer, size)) discarded += size;
      continue;
    }
    client.input.append(buffer, size);
  }
}

// Answers the complete lines in order; a set that must wait for the wire
// holds back the lines after it. Returns true when a set was carried out.
bool AnswerLines(Context& ctx, NetClient& client, SetTurn turn) {
  bool carriedOut = false;
  while (!client.closing && !client.quitting && client.output.size() < kOutputLimit) {
    const std::size_t end = client.input.find('\n');
    if (end == std::string::npos) {
      if (client.input.size() > rigctl::kMaxLineLength) {
        // Too long to be a request: refused at once, and dropped up to its
        // end as it arrives.
        client.output += rigctl::AnswerSet(rigctl::Request{}, rigctl::kInvalidArgument);
        client.droppingLine = true;
        client.input.clear();
      }
      return carriedOut;
    }
    const std::optional<rigctl::Request> request =
        rigctl::ParseRequest(std::string_view(client.input).substr(0, end));
    if (request && rigctl::IsSet(*request)) {
      const SetOutcome outcome = HandleSet(ctx, client, *request, turn);
      if (outcome == SetOutcome::kWaits) return carriedOut;
      if (outcome == SetOutcome::kCarriedOut) {
        carriedOut = true;
        turn = SetTurn::kLater;
      }
    } else if (request) {
      client.output += rigctl::AnswerRequest(*request, ViewOf(ctx, client));
      if (request->command == rigctl::Command::kCheckVfo) client.checkedVfo = true;
      if (request->command == rigctl::Command::kQuit) client.quitting = true;
    }
    client.input.erase(0, end + 1);
  }
  return carriedOut;
}

// A client gone, silent too long, asked to quit and answered, or done
// sending with every whole line answered is closed.
void DecideClosing(const NetState& net, NetClient& client) {
  if (client.output.size() >= kOutputLimit) client.closing = true;
  const bool answered = client.output.empty();
  if (client.quitting && answered) client.closing = true;
  if (client.finished && answered && client.input.find('\n') == std::string::npos) {
    client.closing = true;
  }
  if (NowMs(net) - client.lastHeardMs >= kNetIdleTimeoutMs) client.closing = true;
}

// Takes waiting connections. Each is read at once, so one that was aborted
// before it was taken is let go without holding a place; past the limit a
// live one is closed unanswered.
void AcceptClients(NetState& net) {
  for (int i = 0; i < kAcceptsPerServe; ++i) {
    std::unique_ptr<NetConnection> connection = net.listener->Accept();
    if (!connection) return;
    NetClient client;
    client.connection = std::move(connection);
    client.lastHeardMs = NowMs(net);
    ReadInput(net, client);
    if (client.finished && client.input.empty()) continue;
    if (net.clients.size() >= kMaxClients) continue;
    net.clients.push_back(std::move(client));
  }
}

}  // namespace

void StartNetControl(Context& ctx, std::unique_ptr<NetListener> listener, Stopwatch& stopwatch) {
  ctx.net.listener = std::move(listener);
  ctx.net.stopwatch = &stopwatch;
}

SetTurn SetTurnNow(const Context& ctx) {
  // W, Z and the like hold the wire to their end: clients are answered
  // meanwhile, and their sets refused.
  if (OperationRunning(ctx)) return SetTurn::kRefused;
  const bool idle = ctx.poll.pollState == PollStep::kIdle && QueuedEntries(ctx) == 0;
  return idle && !ctx.net.pollOwed ? SetTurn::kNow : SetTurn::kLater;
}

bool ServeNetClients(Context& ctx, SetTurn turn) {
  NetState& net = ctx.net;
  if (!net.listener) return false;
  // While a set is carried out (and its outcome spoken), the others are
  // served too, new ones taken, and their sets wait; no client goes until the
  // set is done.
  const bool nested = net.serving;
  if (nested) turn = SetTurn::kLater;
  net.serving = true;
  // The clients there already are read first, so those that have gone free
  // their places for the connections waiting.
  for (NetClient& client : net.clients) ReadInput(net, client);
  if (!nested) {
    std::erase_if(net.clients, [](const NetClient& client) {
      return client.finished && client.output.empty() &&
             client.input.find('\n') == std::string::npos;
    });
  }
  AcceptClients(net);
  bool carriedOut = false;
  for (std::size_t i = 0; i < net.clients.size(); ++i) {
    NetClient& client = net.clients[i];
    if (&client == net.carryingOut) continue;
    if (AnswerLines(ctx, client, carriedOut ? SetTurn::kLater : turn)) carriedOut = true;
    Flush(client);
    DecideClosing(net, client);
  }
  if (!nested) {
    std::erase_if(net.clients, [](const NetClient& client) { return client.closing; });
    net.serving = false;
  }
  return carriedOut;
}

}  // namespace voxrig
