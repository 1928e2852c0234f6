// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/receiver_read.h"

#include <algorithm>
#include <optional>
#include <string>

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_names.h"
#include "banks/bank_undo.h"
#include "core/text_rules.h"
#include "memory/memory_bank.h"
#include "speech/speech.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// Ten lines are some 700 bytes: under half a second at 19200 baud, a second
// and a half at 4800. Ten pauses in a row with nothing new (1.5 s with a
// 150 ms "shdel") mean the receiver has stopped answering; forty in all end
// a read that never completes, however it trickles.
constexpr int kIdlePauses = 10;
constexpr int kMostPausesPerRead = 40;
// A pair of banks holds 100 channels, so no bank needs more than ten reads.
constexpr int kMostReads = 10;

// Collects one batch of the bank: its ten channels, or its end. Nothing
// when the receiver stops answering (or trickles on for too long) or its
// line hangs up.
Steps<std::optional<BankBatch>> CollectBatch(Context& ctx, char bank) {
  int idle = 0;
  for (int pause = 0; pause < kMostPausesPerRead && idle < kIdlePauses; ++pause) {
    co_await Pause(ctx);
    // A line that hangs up is heard at once ("rnc" is said), not after ten
    // silent pauses.
    if (!ReceiverStillThere(ctx)) co_return std::nullopt;
    const bool arrived = AnswerWaiting(ctx);
    idle = arrived ? 0 : idle + 1;
    if (auto batch = TakeBankChannels(ctx, bank)) co_return batch;
  }
  co_return std::nullopt;
}

}  // namespace

Steps<ReceiverMemory> ReadReceiverMemory(Context& ctx, char bank) {
  ReceiverMemory memory;
  for (int read = 0; read < kMostReads; ++read) {
    const bool first = read == 0;
    ToRadio(ctx, [bank, first](Receiver& radio) { return radio.AskBankChannels(bank, first); });
    const auto batch = co_await CollectBatch(ctx, bank);
    if (batch && batch->end) {
      memory.outcome = first ? ReceiverMemory::Outcome::kRefused : ReceiverMemory::Outcome::kRead;
      co_return memory;
    }
    if (!batch || batch->garbled) co_return ReceiverMemory{ReceiverMemory::Outcome::kLost, {}};
    for (const MemoryChannel& channel : batch->channels) {
      const int expected = static_cast<int>(memory.lines.size());
      if (!channel.empty && channel.channel != expected) {
        co_return ReceiverMemory{ReceiverMemory::Outcome::kLost, {}};
      }
      memory.lines.push_back(channel);
      memory.lines.back().channel = expected;
    }
    Say(ctx, "beep");
  }
  memory.outcome = ReceiverMemory::Outcome::kRead;
  co_return memory;
}

Steps<ReadBankOutcome> ReadReceiverBank(Context& ctx, std::string argument, bool replaceConfirmed) {
  if (!banks::IsReceiverTransferArgument(argument)) {
    Say(ctx, "inv");
    co_return ReadBankOutcome::kNotRead;
  }
  // Found whatever its letter case, and written back under its own name.
  const std::string fileName = BankFileOnDisk(ctx, banks::BankFileName(LeftText(argument, 2)));
  // A bank file the listener made is only replaced when asked twice.
  if (ctx.platform.files->Exists(fileName) && !replaceConfirmed) {
    Say(ctx, "bexists");
    co_return ReadBankOutcome::kFileExists;
  }
  Say(ctx, "wait");
  const ReceiverMemory memory = co_await ReadReceiverMemory(ctx, argument[2]);
  if (memory.outcome != ReceiverMemory::Outcome::kRead) {
    // Nothing is written: the old bank file, if any, stays as it was.
    if (memory.outcome == ReceiverMemory::Outcome::kRefused) {
      Say(ctx, "inv");
    } else {
      SayReceiverLost(ctx);  // once, also when the loss itself said it
    }
    co_return ReadBankOutcome::kNotRead;
  }
  // A receiver bank without channels gives a bank of the mode and step the
  // panel listens with, as a bank made by P would be.
  banks::BankHeader header{"bank" + LeftText(argument, 2)};
  if (!ctx.tuning.modeText.empty()) header.mode = ctx.tuning.modeText;
  if (!ctx.tuning.searchStepText.empty()) header.step = ctx.tuning.searchStepText;
  const banks::MemoryBank bank = banks::BankFromMemory(memory.lines, header);
  if (bank.severalModes) Say(ctx, "sevmode");
  // U can bring back the bank file this replaced.
  const bool written = ReplaceBankFile(ctx, fileName, BankFileBytes(bank.slots));
  BankState& banks = ctx.banks;
  banks.lastWriteTooLong = false;
  if (written && BankFileOnDisk(ctx, banks.bankFileName.str()) == fileName) {
    // The bank in memory is this file: Up, Down and K must work on what the
    // file now holds, never write the old channels back over it.
    std::copy_n(bank.slots.begin(), BankState::kFileLines, banks.bankSlots.begin());
    banks.bankLastSlot =
        banks::LastChannelSlot(banks::ReadLayout(banks.bankSlots, BankState::kFileLines));
    banks.bankScanIndex = std::min(banks.bankScanIndex, banks.bankLastSlot);
  }
  SayWriteResult(ctx, written);
  co_return ReadBankOutcome::kRead;
}

}  // namespace voxrig
