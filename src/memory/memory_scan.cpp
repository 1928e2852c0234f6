// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/memory_scan.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/text_rules.h"
#include "link/ar8600/ar8600_commands.h"
#include "link/radio_choice.h"
#include "memory/receiver_transfer.h"
#include "speech/speech.h"
#include "tuning/radio_abilities.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// How often Z asks one receiver bank for its size before giving up on it. A
// working receiver answers the first or second time; a silent one must not
// hold the keyboard for ever.
constexpr int kBankSizeQueries = 10;

// A memory channel as the receiver names it: "A05", or "a05" in a partner
// bank.
std::string ChannelName(const MemoryChannel& channel) {
  std::string name(1, channel.bank);
  name += static_cast<char>('0' + channel.channel / 10 % 10);
  name += static_cast<char>('0' + channel.channel % 10);
  return name;
}

// A bank of fixed size that cannot take a whole bank file: its letter and
// how many channels it holds. A bank the radio does not have at all is
// passed over, so a radio with one short bank is told in a breath.
void SayFixedBankSize(Context& ctx, char letter, int channels) {
  if (channels <= 0) return;
  Say(ctx, std::string(1, letter));
  SpeakCount(ctx, channels);
}

}  // namespace

Steps<MemoryScanStart> StartMemoryScan(Context& ctx, std::string bank) {
  // A scan the receiver cannot start is neither sent nor shown as running.
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
    co_return MemoryScanStart::kRefused;
  }
  // Level reports on change let the poll cycle see the scan stop and go on.
  ToRadio(ctx, [](Receiver& radio) { return radio.ReportLevelChanges(); });
  co_await Pause(ctx);
  ToRadio(ctx, [&bank](Receiver& radio) { return radio.StartMemoryScan(bank); });
  ctx.memory.heldChannel.clear();
  // With the scan voice on, the poll cycle says "scan" once it sees the scan.
  if (!ctx.poll.scanVoice) Say(ctx, "scan");
  co_return MemoryScanStart::kStarted;
}

Steps<> PassChannel(Context& ctx) {
  MemoryState& scan = ctx.memory;
  if (scan.passCount < 1 || scan.passCount >= MemoryState::kPassSlots) {
    // Every slot holds a passed channel that Enter must give back; a further
    // pass could never be undone.
    Say(ctx, "inv");
    co_return;
  }
  Say(ctx, "pass");
  ToRadio(ctx, [](Receiver& radio) { return radio.AskCurrentChannel(); });
  co_await Pause(ctx);
  const auto channel = TakeCurrentChannel(ctx);
  if (!channel) {
    Say(ctx, "inv");
    co_return;
  }
  scan.passedChannels[static_cast<std::size_t>(scan.passCount)] = ChannelName(*channel);
  ++scan.passCount;
  co_await Pause(ctx);
  ToRadio(ctx, [](Receiver& radio) { return radio.PassChannel(true); });
  co_await Pause(ctx);
  ToRadio(ctx, [](Receiver& radio) { return radio.RestartMemoryScan(); });
}

void ReadHeldChannel(Context& ctx) {
  MemoryState& scan = ctx.memory;
  const auto channel = TakeCurrentChannel(ctx);
  scan.heldChannel = channel ? ChannelName(*channel) : std::string();
  scan.heldChannelName = channel ? channel->name : std::string();
}

void SpeakHeldChannel(Context& ctx) {
  const std::string& channel = ctx.memory.heldChannel.str();
  if (channel.size() != 3) return;
  const int number = (channel[1] - '0') * 10 + (channel[2] - '0');
  SpeakChannel(ctx, std::string(1, channel[0]), number, ctx.memory.heldChannelName.str());
}

Steps<> TakeBackPassedChannels(Context& ctx) {
  MemoryState& scan = ctx.memory;
  // Every channel passed during the scan is recalled and taken back into the
  // scan, in the order it was passed.
  const int passed = std::min(scan.passCount, MemoryState::kPassSlots);
  for (int i = 1; i < passed; ++i) {
    const std::string& channel = scan.passedChannels[static_cast<std::size_t>(i)].str();
    const int number = static_cast<int>(NumberFromText(channel.substr(1)));
    ToRadio(ctx, [&](Receiver& radio) { return radio.RecallChannel(channel[0], number); });
    co_await Pause(ctx);
    ToRadio(ctx, [](Receiver& radio) { return radio.PassChannel(false); });
    co_await Pause(ctx);
  }
  scan.passCount = 1;
  co_await Pause(ctx);
}

Steps<> CheckReceiverBanks(Context& ctx) {
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
    co_return;
  }
  Say(ctx, "ckconfig");
  // A radio whose memories have a fixed size (a radio driven through Hamlib)
  // has its banks told, not resized.
  const bool resizable = RadioDoes(ctx, MemoryWork::kResize);
  for (char letter = 'A'; letter <= 'J'; ++letter) {
    std::optional<BankSize> size;
    for (int attempt = 1; attempt <= kBankSizeQueries && !size; ++attempt) {
      // Whatever came late belongs to an earlier question.
      DropWaitingAnswers(ctx);
      if (ctx.link.receiverLost) co_return;  // "rnc" has been said
      ToRadio(ctx, [letter](Receiver& radio) { return radio.AskBankSize(letter); });
      co_await Pause(ctx);
      size = TakeBankSize(ctx, letter);
      if (ctx.link.receiverLost) co_return;
      if (!size) co_await Pause(ctx);
    }
    if (!size) {
      // A receiver that does not say how one bank is set up will not say it
      // for the others: the keyboard comes back at once, and no "ok".
      SayReceiverLost(ctx);
      co_return;
    }
    if (size->channels == 90) continue;
    if (!resizable) {
      SayFixedBankSize(ctx, letter, size->channels);
      continue;
    }
    const bool configured = co_await ConfigureReceiverBank(ctx, letter);
    if (!configured) co_return;
  }
  SayAboutReceiver(ctx, "ok");
}

void ResetMemoryScanState(Context& ctx) {
  ctx.memory.passCount = 1;
}

}  // namespace voxrig
