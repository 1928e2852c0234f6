// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/command_link.h"

#include <array>
#include <string>

#include "link/port_report.h"
#include "link/receiver_commands.h"
#include "link/serial_port.h"
#include "link/timed_exchange.h"
#include "panel/debug_log.h"
#include "panel/display_lines.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// The receiver's answers carry no end mark, so a reply is recognised by its
// keyword and cut to the length that keyword's answer has. The order is the
// order of search: when several answers pile up in the port, the first
// keyword of this table that occurs anywhere decides.
struct ReplyKeyword {
  const char* keyword;
  std::size_t length;
};
constexpr std::array<ReplyKeyword, 4> kReplyKeywords{{
    {"LC", 30},
    {"MW", 13},
    {"VS", 18},
    {"LM", 6},
}};

// One read takes at most this many bytes; the rest waits for the next read.
constexpr int kReadLimit = 255;
// Late answers are dropped a read at a time, a few reads at most: a receiver
// that babbles without end must not hold the panel.
constexpr int kMostDropReads = 8;

// The status line while the receiver is away, as wide as the longest meter
// line so that it wipes the meter.
constexpr const char* kLostStatus = "Receiver not connected";
constexpr int kMeterWidth = 36;

// Whether the write of `bytes` reached the line; a short write or a line
// that has gone means the receiver did not get the command.
bool CheckWrite(Context& ctx, int written, int wanted) {
  LinkState& link = ctx.link;
  ++link.writesToReceiver;
  if (link.receiverLost) link.sentWhileLost = true;
  if (written != wanted || PortLineGone(ctx, link.comPort)) NoticeReceiverLost(ctx);
  return written == wanted;
}

// What the receiver has sent and the port holds, up to one read's worth;
// empty when nothing waits or the read fails.
std::string ReadWaitingBytes(Context& ctx) {
  ctx.link.bytesWaiting = BytesWaiting(ctx, ctx.link.comPort);
  if (ctx.link.bytesWaiting <= 0) return {};
  std::array<char, kReadLimit> buffer{};
  const int count = ReadPort(ctx, ctx.link.comPort, buffer.data(), kReadLimit);
  if (count <= 0) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(count));
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

bool SendCommand(Context& ctx) {
  if (ctx.link.commandText.empty()) return false;
  ctx.panel.logLine = "TX= " + ctx.link.commandText;
  WriteLogLine(ctx);
  // The wire bytes are built apart from commandText so that even a command
  // that fills the whole text variable still goes out with its CR.
  const std::string bytes = ctx.link.commandText.str() + '\r';
  ctx.link.commandText += '\r';
  const int size = static_cast<int>(bytes.size());
  return CheckWrite(ctx, WritePort(ctx, ctx.link.comPort, bytes.data(), size), size);
}

void ReadReply(Context& ctx) {
  ctx.link.replyText.clear();
  if (PortLineGone(ctx, ctx.link.comPort)) {
    NoticeReceiverLost(ctx);
    return;
  }
  const std::string raw = ReadWaitingBytes(ctx);
  for (const ReplyKeyword& reply : kReplyKeywords) {
    const auto at = raw.find(reply.keyword);
    if (at == std::string::npos) continue;
    ctx.link.replyText = raw.substr(at, reply.length);
    EchoReply(ctx);
    return;
  }
  // Nothing the panel knows: not an answer, not logged.
}

void ReadReceiveStateReply(Context& ctx) {
  ctx.link.replyText.clear();
  const std::string raw = ReadWaitingBytes(ctx);
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find_first_of("\r\n", start);
    if (end == std::string::npos) end = raw.size();
    const std::string line = raw.substr(start, end - start);
    // A level report ("LC ... RF...") may be on the line too; it says where
    // the squelch opened, not what the receiver answered.
    const bool levelReport = line.starts_with("LC") || line.starts_with("LM");
    if (!levelReport && HoldsFrequencyField(line)) {
      ctx.link.replyText = line;
      EchoReply(ctx);
      return;
    }
    start = end + 1;
  }
}

void EchoReply(Context& ctx) {
  ctx.panel.logLine = "RX= " + ctx.link.replyText;
  WriteLogLine(ctx);
  // The first answer after a connect, or after the receiver went away, tells
  // the listener the receiver is there; the state changes at once, so it is
  // said only once.
  LinkState& link = ctx.link;
  link.unansweredPolls = 0;
  if (link.statusLine == "Connecting" || link.receiverLost) {
    // A red status (the receiver lost, or not found or silent at start) is
    // wiped.
    const bool wasShownAway = link.receiverLost || link.portReportShown;
    // A first answer is followed by the known state; back after a loss, it
    // holds whatever it started with, and is given what the panel shows.
    link.stateOwed = link.linkState == ReceiverAnswer::kReceived ? StateOwed::kShownState
                                                                 : StateOwed::kKnownState;
    link.linkState = ReceiverAnswer::kReceived;
    link.receiverLost = false;
    Say(ctx, "connected");
    link.statusLine = ">";
    if (wasShownAway) ShowLinkStatus(ctx, link.statusLine.str(), Line::kMeter);
    ClearPortReport(ctx);
  }
}

void SendResumeByte(Context& ctx) {
  const char resume = receiver::kResumeByte;
  CheckWrite(ctx, WritePort(ctx, ctx.link.comPort, &resume, 1), 1);
}

void DropWaitingAnswers(Context& ctx) {
  const int port = ctx.link.comPort;
  std::array<char, kReadLimit> buffer{};
  for (int i = 0; i < kMostDropReads && BytesWaiting(ctx, port) > 0; ++i) {
    if (ReadPort(ctx, port, buffer.data(), kReadLimit) <= 0) break;
  }
  if (PortLineGone(ctx, port)) NoticeReceiverLost(ctx);
}

void ResetLinkState(Context& ctx) {
  LinkState& link = ctx.link;
  link.linkState = ReceiverAnswer::kAwaitingFirst;
  link.receiverLost = false;
  link.stateOwed = StateOwed::kNothing;
  link.unansweredPolls = 0;
  link.cyclesSinceReopen = 0;
  link.portReportShown = false;
}

void NoticeNoFirstAnswer(Context& ctx) {
  LinkState& link = ctx.link;
  if (link.linkState != ReceiverAnswer::kAwaitingFirst || link.receiverLost) return;
  link.receiverLost = true;
  link.statusLine = kLostStatus;
  ReportNoAnswer(ctx);
  Say(ctx, "rnc");
  Say(ctx, "runsetup");
}

void NoticeReceiverLost(Context& ctx) {
  LinkState& link = ctx.link;
  if (PortLineGone(ctx, link.comPort)) {
    // A dead line is let go at once; the poll cycle opens the port again by
    // its name, which finds a replugged receiver's new device.
    ClosePort(ctx, link.comPort);
    link.cyclesSinceReopen = 0;
  }
  if (link.linkState != ReceiverAnswer::kReceived || link.receiverLost) return;
  link.receiverLost = true;
  link.unansweredPolls = 0;
  link.statusLine = kLostStatus;
  ShowLinkStatus(ctx, kLostStatus, Line::kReceiverLost);
  // Said whatever was said before: this is news.
  link.lossSaidThisKey = true;
  Say(ctx, "rnc");
}

bool ReceiverStillThere(Context& ctx) {
  if (PortLineGone(ctx, ctx.link.comPort)) NoticeReceiverLost(ctx);
  return !ctx.link.receiverLost;
}

void SayReceiverLost(Context& ctx) {
  if (ctx.link.lossSaidThisKey) return;
  ctx.link.lossSaidThisKey = true;
  Say(ctx, "rnc");
}

void SayAboutReceiver(Context& ctx, const std::string& prompt) {
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
  } else {
    Say(ctx, prompt);
  }
}

}  // namespace voxrig
