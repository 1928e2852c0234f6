// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/receiver_transfer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_names.h"
#include "core/text_rules.h"
#include "link/receiver_commands.h"
#include "memory/receiver_check.h"
#include "speech/speech.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// Pacing of a transfer: the receiver gets ten pauses after "wait", then 7, 5
// and 3 before the first three channels and one before every later channel.
constexpr int kPausesAfterWait = 10;
constexpr int kPausesBeforeFirstChannel = 7;
// A receiver bank holds channels 00 to 90 once it has been given 90 channels.
constexpr int kLastReceiverChannel = 90;
// A "beep" marks progress after every channel whose frequency slot is a
// multiple of 11: channels 09, 20, 31, ... 86.
constexpr int kBeepSlotDivisor = 11;

// One wait cycle is 100 pauses with a "beep" every 25.
constexpr int kPausesPerWaitCycle = 100;
constexpr int kPausesPerBeep = 25;
// Resizing a bank pair takes the receiver seconds, longer when its banks are
// full; four cycles (400 pauses, a minute with a 150 ms "shdel") are far more
// than that, so only a receiver that has gone silent reaches the bound.
constexpr int kMaxWaitCycles = 4;

}  // namespace

namespace {

// What a transfer did: the channels written, those skipped because the
// receiver could not store them, and those past the receiver bank's end.
struct TransferCounts {
  int written = 0;
  int skipped = 0;
  int over = 0;
  // The channels as they went out, in receiver channel order, for the check.
  std::vector<banks::Channel> sent;
};

void SayCount(Context& ctx, const char* prompt, int count) {
  Say(ctx, prompt);
  SpeakCount(ctx, count);
}

// The end of a transfer as the listener hears it: the check of what the
// receiver holds ("ok" only when it holds what was sent), then how many
// channels were left out and why. A receiver that went away mid-transfer has
// had "rnc" said, and the listener hears how many channels it did get.
Steps<> SayTransferEnd(Context& ctx, std::string entry, TransferCounts counts, std::string mode,
                       std::string step, bool lost) {
  if (lost) {
    SayCount(ctx, "written", counts.written);
    co_return;
  }
  co_await CheckWrittenBank(ctx, entry, counts.sent, mode, step);
  if (counts.skipped > 0) SayCount(ctx, "skipped", counts.skipped);
  if (counts.over > 0) SayCount(ctx, "over", counts.over);
}

// Writes the channels of the bank in memory into the emptied receiver bank,
// paced by pauses that shorten after the first channels, with a "beep" now and
// then; a receiver that goes away ends it.
Steps<TransferCounts> SendChannels(Context& ctx, char receiverBank) {
  const BankState& banks = ctx.banks;
  // The bank's real terminator bounds the transfer, whatever bankLastSlot says.
  const banks::BankLayout layout = banks::ReadLayout(banks.bankSlots, BankState::kFileLines);
  TransferCounts counts;
  int pauses = kPausesBeforeFirstChannel;
  for (const banks::Channel& record : layout.channels) {
    if (ctx.link.receiverLost) break;
    const auto frequency = receiver::StorableChannelFrequency(record.frequency);
    if (!frequency) {
      ++counts.skipped;
      continue;
    }
    if (counts.written > kLastReceiverChannel) {
      ++counts.over;
      continue;
    }
    for (int i = 0; i < pauses && ReceiverStillThere(ctx); ++i) co_await Pause(ctx);
    pauses = pauses > 1 ? pauses - 2 : 1;
    // The receiver's answers to earlier channels are not needed; reading them
    // also notices a line that has hung up.
    DropWaitingAnswers(ctx);
    if (ctx.link.receiverLost) break;
    const int channel = counts.written;
    // Every channel keeps the bank's step (a step line the receiver cannot
    // take gives its default 12.5 kHz) and the bank's mode.
    const std::string step = banks.bankSlots[2].str();
    const std::string mode = banks.bankSlots[1].str();
    const std::string name = record.tag.str();
    // A channel the line took counts as written even when the line drops
    // right after it.
    if (ToRadio(ctx, [&](Receiver& radio) {
          return radio.WriteChannel(receiverBank, channel, *frequency, step, mode, name);
        }) == RadioResult::kDone) {
      ++counts.written;
      counts.sent.push_back({*frequency, receiver::StorableChannelName(record.tag.str())});
    }
    if (ctx.link.receiverLost) break;
    if (channel < kLastReceiverChannel && banks::ChannelSlot(channel) % kBeepSlotDivisor == 0) {
      Say(ctx, "beep");
    }
  }
  co_return counts;
}

}  // namespace

Steps<> WriteBankToReceiver(Context& ctx, std::string entry) {
  // Two digits and a letter A to J: a point would name a file with a second
  // dot, and any other key would name no receiver bank.
  if (!banks::IsReceiverTransferArgument(entry)) {
    Say(ctx, "inv");
    co_return;
  }
  // Clearing a receiver bank that cannot be written again would only lose
  // its channels.
  if (ctx.link.receiverLost) {
    SayReceiverLost(ctx);
    co_return;
  }
  BankState& banks = ctx.banks;
  banks.bankFileName = banks::BankFileName(LeftText(entry, 2));
  ReadBankFile(ctx);
  if (!banks.bankFound) co_return;  // "bnf" has been said; nothing goes to the receiver
  Say(ctx, "wait");
  const char receiverBank = entry[2];
  // The receiver bank is emptied only now that its new channels are in hand,
  // and the pauses after "wait" give the receiver the time to clear it.
  ToRadio(ctx, [receiverBank](Receiver& radio) { return radio.ClearBank(receiverBank); });
  for (int i = 0; i < kPausesAfterWait && ReceiverStillThere(ctx); ++i) co_await Pause(ctx);
  const TransferCounts counts = co_await SendChannels(ctx, receiverBank);
  co_await SayTransferEnd(ctx, entry, counts, banks.bankSlots[1], banks.bankSlots[2],
                          ctx.link.receiverLost);
}

Steps<bool> ConfigureReceiverBank(Context& ctx, char letter) {
  co_await Pause(ctx);
  Say(ctx, std::string(1, letter));
  ToRadio(ctx, [letter](Receiver& radio) { return radio.SetBankSizeNinety(letter); });
  co_await Pause(ctx);
  // A receiver that answered within the first pause has its answer taken by
  // this read; it has answered all the same, and must not be waited for again.
  const bool answeredAtOnce = AnswerWaiting(ctx);
  TakeBankSize(ctx, letter);
  for (int cycle = 1; cycle <= kMaxWaitCycles; ++cycle) {
    for (int pause = 1; pause <= kPausesPerWaitCycle; ++pause) {
      co_await Pause(ctx);
      // A receiver switched off or unplugged mid-resize is heard at once, not
      // after a minute of beeps ("rnc" has been said).
      if (!ReceiverStillThere(ctx)) co_return false;
      if (pause % kPausesPerBeep == 0) SayAlways(ctx, "beep");
    }
    // Whatever has arrived is left for the next read.
    if (answeredAtOnce || AnswerWaiting(ctx)) co_return true;
  }
  // The receiver never answered: the listener hears so.
  SayReceiverLost(ctx);
  co_return false;
}

}  // namespace voxrig
