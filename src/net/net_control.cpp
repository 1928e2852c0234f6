#include "net/net_control.h"

#include <algorithm>
#include <array>
#include <string>

#include "command/interpreter.h"
#include "net/rigctl_protocol.h"
#include "panel/display_lines.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/modes.h"

namespace voxrig {

namespace {

// A few programs at once (a logger, a digital-mode program, an SDR front
// end); further connections are closed as soon as they are taken.
constexpr std::size_t kMaxClients = 4;
// Connections taken per tick, so a storm of them costs the tick little.
constexpr int kAcceptsPerTick = 32;
// Unanswered bytes kept per client: two whole lines. Past this the panel
// stops reading, and the client waits for its answers.
constexpr std::size_t kInputLimit = 2 * rigctl::kMaxLineLength + 2;
// Answers kept for a client that does not take them; past this it is
// dropped, as a client that never reads.
constexpr std::size_t kOutputLimit = 16 * 1024;

rigctl::PanelView ViewOf(const Context& ctx) {
  rigctl::PanelView view;
  // While the listener types a frequency, the receiver is still where it was
  // last tuned.
  view.frequencyText = ctx.command.frequencyEntryFresh == 1 ? ctx.tuning.frequencyText.str()
                                                            : ctx.tuning.tunedText.str();
  view.modeText = ctx.tuning.modeText.str();
  view.signalLevel = ctx.link.signalLevel;
  return view;
}

// A set is refused while the receiver moves by itself, while the listener is
// in the middle of a key sequence (their typing is never overwritten), and
// before the receiver has answered at all.
bool PanelIsBusy(const Context& ctx) {
  return ctx.link.linkState != ReceiverAnswer::kReceived ||
         ctx.tuning.searchState != Search::kOff || ctx.link.scanState != ReceiverScan::kOff ||
         BankScanRuns(ctx.link.bankScanState) ||
         ctx.command.pendingCommand != PendingCommand::kNone ||
         ctx.command.frequencyEntryFresh == 0;
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
void TuneFromNetwork(Context& ctx, NetClient& client, std::string answer, std::int64_t hz) {
  TuningState& tuning = ctx.tuning;
  tuning.frequencyHz = hz;
  HzToText(ctx);
  tuning.frequencyText = tuning.frequencyDigits;
  ClearLowerPanel(ctx);
  TuneToTypedFrequency(ctx);
  // The client has its answer before the listener hears the frequency.
  client.output += answer;
  Flush(client);
  SpeakFrequency(ctx, tuning.frequencyText);
}

// Selects the mode as its function key does: the mode is said, sent and shown.
// A radio that lacks the mode keeps its own, and the client hears so too.
void SelectModeFromNetwork(Context& ctx, NetClient& client, const rigctl::Request& request,
                           const std::string& modeText) {
  // CheckSet named one of the panel's modes.
  SelectMode(ctx, ModeOfPanelText(modeText)->mode);
  DrawModeLine(ctx);
  const bool taken = ctx.tuning.modeText.str() == modeText;
  client.output += rigctl::AnswerSet(request, taken ? rigctl::kOk : rigctl::kNotAvailable);
}

enum class SetOutcome { kAnswered, kWaits, kCarriedOut };

SetOutcome HandleSet(Context& ctx, NetClient& client, const rigctl::Request& request,
                     SetTurn turn) {
  const rigctl::SetOrder order = rigctl::CheckSet(request, ViewOf(ctx));
  int error = order.error;
  if (error == rigctl::kOk && (turn == SetTurn::kRefused || PanelIsBusy(ctx))) {
    error = rigctl::kRejected;
  }
  if (error != rigctl::kOk || order.changesNothing) {
    client.output += rigctl::AnswerSet(request, error);
    return SetOutcome::kAnswered;
  }
  if (turn != SetTurn::kNow) return SetOutcome::kWaits;
  const std::string answer = rigctl::AnswerSet(request, rigctl::kOk);
  if (request.command == rigctl::Command::kSetFrequency) {
    TuneFromNetwork(ctx, client, answer, order.frequencyHz);
  } else {
    SelectModeFromNetwork(ctx, client, request, order.modeText);
  }
  // Like a key, the set is followed by a separator, whose tick reads the
  // receiver's answer.
  PanelState& panel = ctx.panel;
  if (panel.keyQueueCount < PanelState::kQueueSize) panel.keyQueue[panel.keyQueueCount++] = 0;
  ctx.net.pollOwed = true;
  return SetOutcome::kCarriedOut;
}

void ReadInput(NetClient& client) {
  char buffer[kInputLimit];
  while (!client.finished && client.input.size() < kInputLimit) {
    const long count = client.connection->Receive(buffer, kInputLimit - client.input.size());
    // A client that has said all it will say still has its answers.
    if (count < 0) client.finished = true;
    if (count <= 0) return;
    client.input.append(buffer, static_cast<std::size_t>(count));
  }
}

// Answers the complete lines in order; a set that must wait for an idle tick
// holds back the lines after it. Returns true when a set was carried out.
bool AnswerLines(Context& ctx, NetClient& client, SetTurn turn) {
  bool carriedOut = false;
  while (!client.closing && client.output.size() < kOutputLimit) {
    const std::size_t end = client.input.find('\n');
    if (end == std::string::npos) {
      if (client.input.size() > rigctl::kMaxLineLength) {
        // Too long to be a request: refused once, and dropped up to its end.
        if (!client.droppingLine)
          client.output += "RPRT " + std::to_string(rigctl::kInvalidArgument) + "\n";
        client.droppingLine = true;
        client.input.clear();
      }
      return carriedOut;
    }
    if (client.droppingLine) {
      client.droppingLine = false;
      client.input.erase(0, end + 1);
      continue;
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
    } else if (request && request->command == rigctl::Command::kQuit) {
      client.closing = true;
    } else if (request) {
      client.output += rigctl::AnswerRequest(*request, ViewOf(ctx));
    }
    client.input.erase(0, end + 1);
  }
  return carriedOut;
}

void AcceptClients(NetState& net) {
  for (int i = 0; i < kAcceptsPerTick; ++i) {
    std::unique_ptr<NetConnection> connection = net.listener->Accept();
    if (!connection) return;
    // Past the limit the connection is closed at once, unanswered.
    if (net.clients.size() >= kMaxClients) continue;
    NetClient client;
    client.connection = std::move(connection);
    net.clients.push_back(std::move(client));
  }
}

void ServeWhileWaiting(Context& ctx) {
  ServeNetClients(ctx, SetTurn::kRefused);
}

}  // namespace

void StartNetControl(Context& ctx, std::unique_ptr<NetListener> listener) {
  ctx.net.listener = std::move(listener);
  ctx.net.serveWhileWaiting = &ServeWhileWaiting;
}

bool ServeNetClients(Context& ctx, SetTurn turn) {
  NetState& net = ctx.net;
  if (!net.listener || net.serving) return false;
  net.serving = true;
  AcceptClients(net);
  bool carriedOut = false;
  for (NetClient& client : net.clients) {
    ReadInput(client);
    if (AnswerLines(ctx, client, carriedOut ? SetTurn::kLater : turn)) carriedOut = true;
    Flush(client);
    // A client that leaves its answers untaken is not waited for; one that
    // has finished sending leaves once its last whole line is answered.
    if (client.output.size() >= kOutputLimit) client.closing = true;
    if (client.finished && client.output.empty() && client.input.find('\n') == std::string::npos) {
      client.closing = true;
    }
  }
  std::erase_if(net.clients, [](const NetClient& client) { return client.closing; });
  net.serving = false;
  return carriedOut;
}

}  // namespace voxrig
