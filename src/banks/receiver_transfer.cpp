#include "banks/receiver_transfer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_names.h"
#include "banks/receiver_check.h"
#include "core/text_rules.h"
#include "link/command_link.h"
#include "link/receiver_commands.h"
#include "link/serial_port.h"
#include "speech/speech.h"

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

void WriteBankToReceiver(Context& ctx) {
  const std::string entry = ctx.command.entryText;
  // Two digits and a letter A to J: a point would name a file with a second
  // dot, and any other key would name no receiver bank.
  if (!banks::IsReceiverTransferArgument(entry)) {
    Say(ctx, "inv");
    return;
  }
  BankState& banks = ctx.banks;
  banks.bankFileName = banks::BankFileName(LeftText(entry, 2));
  ReadBankFile(ctx);
  if (!banks.bankFound) return;  // "bnf" has been said; nothing goes to the receiver
  Say(ctx, "wait");
  for (int i = 0; i < kPausesAfterWait; ++i) Pause(ctx);
  const char receiverBank = entry[2];
  // The bank's real terminator bounds the transfer, whatever bankLastSlot says.
  const banks::BankLayout layout = banks::ReadLayout(banks.bankSlots, BankState::kFileLines);
  const int channels = std::min(static_cast<int>(layout.channels.size()), kLastReceiverChannel + 1);
  int pauses = kPausesBeforeFirstChannel;
  for (int channel = 0; channel < channels; ++channel) {
    for (int i = 0; i < pauses; ++i) Pause(ctx);
    pauses = pauses > 1 ? pauses - 2 : 1;
    const banks::Channel& record = layout.channels[channel];
    ctx.link.commandText = receiver::WriteChannel(receiverBank, channel, record.frequency,
                                                  banks.bankSlots[1], record.tag);
    SendCommand(ctx);
    if (channel == kLastReceiverChannel) break;
    if (banks::ChannelSlot(channel) % kBeepSlotDivisor == 0) Say(ctx, "beep");
  }
  // "ok" only once the receiver is seen to hold what was sent.
  const std::vector<banks::Channel> sent(layout.channels.begin(),
                                         layout.channels.begin() + channels);
  CheckWrittenBank(ctx, entry, sent, banks.bankSlots[1]);
}

void ConfigureReceiverBank(Context& ctx, char letter) {
  Pause(ctx);
  Say(ctx, std::string(1, letter));
  ctx.link.commandText = receiver::SetBankSizeNinety(letter);
  SendCommand(ctx);
  Pause(ctx);
  // A receiver that answered within the first pause has its answer taken by
  // this read; it has answered all the same, and must not be waited for again.
  const bool answeredAtOnce = BytesWaiting(ctx, ctx.link.comPort) > 0;
  ReadReply(ctx);
  for (int cycle = 1; cycle <= kMaxWaitCycles; ++cycle) {
    for (int pause = 1; pause <= kPausesPerWaitCycle; ++pause) {
      Pause(ctx);
      if (pause % kPausesPerBeep == 0) SayAlways(ctx, "beep");
    }
    ctx.link.replyText.clear();
    // Whatever has arrived is left for the next ReadReply.
    if (answeredAtOnce || BytesWaiting(ctx, ctx.link.comPort) > 0) return;
  }
  // The receiver never answered: the listener hears so, and the keyboard
  // comes back with the next bank.
  Say(ctx, "rnc");
}

}  // namespace voxrig
