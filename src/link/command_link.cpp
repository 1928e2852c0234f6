#include "link/command_link.h"

#include <array>
#include <string>

#include "link/receiver_commands.h"
#include "link/serial_port.h"
#include "link/timed_exchange.h"
#include "panel/debug_log.h"
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

}  // namespace

void SendCommand(Context& ctx) {
  if (ctx.link.commandText.empty()) return;
  ctx.panel.logLine = "TX= " + ctx.link.commandText;
  WriteLogLine(ctx);
  // The wire bytes are built apart from commandText so that even a command
  // that fills the whole text variable still goes out with its CR.
  const std::string bytes = ctx.link.commandText.str() + '\r';
  ctx.link.commandText += '\r';
  WritePort(ctx, ctx.link.comPort, bytes.data(), static_cast<int>(bytes.size()));
}

void ReadReply(Context& ctx) {
  ctx.link.replyText.clear();
  ctx.link.bytesWaiting = BytesWaiting(ctx, ctx.link.comPort);
  if (ctx.link.bytesWaiting <= 0) return;

  std::array<char, kReadLimit> buffer{};
  const int count = ReadPort(ctx, ctx.link.comPort, buffer.data(), kReadLimit);
  if (count <= 0) return;
  const std::string raw(buffer.data(), static_cast<std::size_t>(count));

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
  ctx.link.bytesWaiting = BytesWaiting(ctx, ctx.link.comPort);
  if (ctx.link.bytesWaiting <= 0) return;
  std::array<char, kReadLimit> buffer{};
  const int count = ReadPort(ctx, ctx.link.comPort, buffer.data(), kReadLimit);
  if (count <= 0) return;
  const std::string raw(buffer.data(), static_cast<std::size_t>(count));
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
  // The first answer after a connect tells the listener the receiver is there;
  // the status text changes at once, so it is said only once.
  if (ctx.link.statusLine == "Connecting") {
    ctx.link.linkState = 1;
    Say(ctx, "connected");
    ctx.link.statusLine = ">";
  }
}

void SendResumeByte(Context& ctx) {
  const char resume = receiver::kResumeByte;
  WritePort(ctx, ctx.link.comPort, &resume, 1);
}

}  // namespace voxrig
