// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/memory_scan.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/text_rules.h"
#include "link/command_link.h"
#include "link/memory_lines.h"
#include "link/radio_choice.h"
#include "link/receiver_commands.h"
#include "link/serial_port.h"
#include "memory/receiver_transfer.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// How often Z asks one receiver bank for its size before giving up on it. A
// working receiver answers the first or second time; a silent one must not
// hold the keyboard for ever.
constexpr int kBankSizeQueries = 10;

// The reply is read into a buffer of this size, as every reply is.
constexpr int kReadSize = 255;

void Send(Context& ctx, const std::string& command) {
  ctx.link.commandText = command;
  SendCommand(ctx);
}

// Whatever the receiver has sent so far, read straight from the port.
std::string ReadWaitingBytes(Context& ctx) {
  const int port = ctx.link.comPort;
  ctx.link.bytesWaiting = BytesWaiting(ctx, port);
  if (ctx.link.bytesWaiting <= 0) return {};
  std::array<char, kReadSize> buffer{};
  const int count = ReadPort(ctx, port, buffer.data(), kReadSize);
  return std::string(buffer.data(), static_cast<std::size_t>(std::max(count, 0)));
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A channel as the receiver names it: a bank letter (A to J, or a to j for
// the partner banks) and two digits, such as A05.
bool IsChannelName(const std::string& text) {
  if (text.size() != 3) return false;
  const char bank = text[0];
  const bool letter = (bank >= 'A' && bank <= 'J') || (bank >= 'a' && bank <= 'j');
  return letter && IsDigit(text[1]) && IsDigit(text[2]);
}

// The receiver answers a bare "MR" with the channel's whole description, such
// as "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TM" and its name, and "RX"
// during a memory scan with the same after "MS ". It holds
// none of the keywords that ReadReply frames, so the answer is read here as it
// arrived. Returns the channel after "MX", or nothing; the line from "MX" is
// accepted as the reply (and logged as such).
std::string ReadCurrentChannel(Context& ctx) {
  ctx.link.replyText.clear();
  const std::string raw = ReadWaitingBytes(ctx);
  const std::size_t start = raw.find("MX");
  if (start == std::string::npos) return {};
  const std::size_t lineEnd = raw.find_first_of("\r\n", start);
  ctx.link.replyText = raw.substr(start, lineEnd == std::string::npos ? lineEnd : lineEnd - start);
  EchoReply(ctx);
  const std::string channel = raw.substr(start + 2, 3);
  return IsChannelName(channel) ? channel : std::string();
}

// The share of its pair that a receiver bank reports, from the answer to
// "MW" + letter (for example "MW A:90 a:10" gives 90); nothing when no answer
// with "MW" has arrived, or when the answer names another bank (a late
// answer to an earlier question).
bool ReadBankSizeAnswer(Context& ctx, char letter, std::string& size) {
  const std::string& reply = ctx.link.replyText;
  const std::size_t start = reply.find("MW");
  if (start == std::string::npos) return false;
  const std::size_t named = reply.find_first_not_of(' ', start + 2);
  if (named != std::string::npos && reply[named] >= 'A' && reply[named] <= 'J' &&
      reply[named] != letter) {
    return false;
  }
  size = reply.substr(std::min(start + 5, reply.size()), 2);
  return true;
}

// A bank of fixed size that cannot take a whole bank file: its letter and
// how many channels it holds. A bank the radio does not have at all is
// passed over, so a radio with one short bank is told in a breath.
void SayFixedBankSize(Context& ctx, char letter, const std::string& size) {
  const int channels = static_cast<int>(NumberFromText(size));
  if (channels <= 0) return;
  Say(ctx, std::string(1, letter));
  SpeakCount(ctx, channels);
}

}  // namespace

MemoryScanStart StartMemoryScan(Context& ctx, const std::string& bank) {
  // A scan the receiver cannot start is neither sent nor shown as running.
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
    return MemoryScanStart::kRefused;
  }
  // Level reports on change let the poll cycle see the scan stop and go on.
  Send(ctx, receiver::kLevelReportingOnChange);
  Pause(ctx);
  Send(ctx, receiver::StartMemoryScan(bank));
  ctx.memory.heldChannel.clear();
  // With the scan voice on, the poll cycle says "scan" once it sees the scan.
  if (!ctx.poll.scanVoice) Say(ctx, "scan");
  return MemoryScanStart::kStarted;
}

void PassChannel(Context& ctx) {
  MemoryState& scan = ctx.memory;
  if (scan.passCount < 1 || scan.passCount >= MemoryState::kPassSlots) {
    // Every slot holds a passed channel that Enter must give back; a further
    // pass could never be undone.
    Say(ctx, "inv");
    return;
  }
  Say(ctx, "pass");
  Send(ctx, receiver::kReadMemoryChannel);
  Pause(ctx);
  const std::string channel = ReadCurrentChannel(ctx);
  if (channel.empty()) {
    Say(ctx, "inv");
    return;
  }
  scan.passedChannels[static_cast<std::size_t>(scan.passCount)] = channel;
  ++scan.passCount;
  Pause(ctx);
  Send(ctx, receiver::PassChannel(true));
  Pause(ctx);
  Send(ctx, receiver::kRestartMemoryScan);
}

void ReadHeldChannel(Context& ctx) {
  MemoryState& scan = ctx.memory;
  scan.heldChannel = ReadCurrentChannel(ctx);
  scan.heldChannelName.clear();
  if (scan.heldChannel.empty()) return;
  const auto line = receiver::ParseMemoryLine(ctx.link.replyText.str(), scan.heldChannel.str()[0]);
  if (line) scan.heldChannelName = line->name;
}

void SpeakHeldChannel(Context& ctx) {
  const std::string& channel = ctx.memory.heldChannel.str();
  if (channel.size() != 3) return;
  const int number = (channel[1] - '0') * 10 + (channel[2] - '0');
  SpeakChannel(ctx, std::string(1, channel[0]), number, ctx.memory.heldChannelName.str());
}

void TakeBackPassedChannels(Context& ctx) {
  MemoryState& scan = ctx.memory;
  // Every channel passed during the scan is recalled and taken back into the
  // scan, in the order it was passed.
  const int passed = std::min(scan.passCount, MemoryState::kPassSlots);
  for (int i = 1; i < passed; ++i) {
    Send(ctx, receiver::RecallChannel(scan.passedChannels[static_cast<std::size_t>(i)]));
    Pause(ctx);
    Send(ctx, receiver::PassChannel(false));
    Pause(ctx);
  }
  scan.passCount = 1;
  Pause(ctx);
}

void CheckReceiverBanks(Context& ctx) {
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
    return;
  }
  Say(ctx, "ckconfig");
  // A radio driven through Hamlib has memories of a fixed size: its banks are
  // told, not resized.
  const bool resizable = LinkCarries(ctx, receiver::SetBankSizeNinety('A'));
  for (char letter = 'A'; letter <= 'J'; ++letter) {
    std::string size;
    bool answered = false;
    for (int attempt = 1; attempt <= kBankSizeQueries && !answered; ++attempt) {
      // Whatever came late belongs to an earlier question.
      DropWaitingAnswers(ctx);
      if (ctx.link.receiverLost) return;  // "rnc" has been said
      Send(ctx, receiver::ReadBankSize(letter));
      Pause(ctx);
      ReadReply(ctx);
      answered = ReadBankSizeAnswer(ctx, letter, size);
      if (ctx.link.receiverLost) return;
      if (!answered) Pause(ctx);
    }
    if (!answered) {
      // A receiver that does not say how one bank is set up will not say it
      // for the others: the keyboard comes back at once, and no "ok".
      SayReceiverLost(ctx);
      return;
    }
    if (size == "90") continue;
    if (!resizable) {
      SayFixedBankSize(ctx, letter, size);
    } else if (!ConfigureReceiverBank(ctx, letter)) {
      return;
    }
  }
  SayAboutReceiver(ctx, "ok");
}

void ResetMemoryScanState(Context& ctx) {
  ctx.memory.passCount = 1;
}

}  // namespace voxrig
