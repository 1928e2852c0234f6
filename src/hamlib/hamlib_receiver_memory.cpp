// SPDX-License-Identifier: GPL-3.0-or-later
// The AR8600's memory commands, carried out on a radio's memory channels
// through Hamlib's channel calls.
#include <hamlib/rig.h>

#include <algorithm>
#include <cstdio>

#include "hamlib/hamlib_modes.h"
#include "hamlib/hamlib_receiver.h"
#include "hamlib/hamlib_vocabulary.h"

namespace voxrig {

namespace {

namespace vocabulary = hamlib_vocabulary;

// "MA" gives ten channels at a time, as the receiver does.
constexpr int kChannelsPerRead = 10;

// "MW" + bank + digits: resizing a bank pair, which a radio's fixed memories
// cannot do.
bool IsResize(const std::string& command) {
  return command.starts_with("MW") && command.size() > 3;
}

bool IsBankOrNothing(const std::string& command) {
  return command.size() == 2 || (command.size() == 3 && vocabulary::IsBankLetter(command[2]));
}

// A channel in the receiver's own terms, read from and written to the radio.
int ReadAsReceiver(HamlibMemories& memories, char bank, int slot,
                   vocabulary::MemoryChannel& channel) {
  StoredChannel stored;
  const int result = memories.Read(bank, slot, stored);
  channel = {};
  if (result != RIG_OK || stored.empty) return result;
  channel.empty = false;
  channel.hz = stored.hz;
  channel.stepHz = stored.stepHz;
  const int code = hamlib_modes::CodeOfMode(stored.mode);
  // A mode the receiver has no code for is heard as the radio's own choice.
  channel.automaticMode = code < 0;
  channel.modeCode = code < 0 ? 1 : code;
  channel.passed = stored.passed;
  channel.name = stored.name;
  return RIG_OK;
}

int WriteAsReceiver(HamlibMemories& memories, char bank, int slot,
                    const vocabulary::MemoryChannel& channel) {
  StoredChannel stored;
  stored.empty = channel.empty;
  stored.hz = channel.hz;
  stored.stepHz = channel.stepHz;
  // A channel left to pick its mode by band keeps none of its own.
  stored.mode = channel.automaticMode
                    ? RIG_MODE_NONE
                    : hamlib_modes::kModeOfCode[static_cast<std::size_t>(channel.modeCode)];
  stored.passed = channel.passed;
  stored.name = channel.name;
  return memories.Write(bank, slot, stored);
}

}  // namespace

bool HamlibReceiver::CheckChannelCall(int result) {
  if (result == RIG_OK) return true;
  if (RIG_IS_SOFT_ERRCODE(-result)) return false;
  // Some drivers' channel calls fail on a radio that is there and answers
  // (a command form the radio does not take): the channel is refused, and
  // the radio counts as gone only when it no longer tells its frequency.
  freq_t hz = 0;
  Check(rig_get_freq(rig_, RIG_VFO_CURR, &hz));
  return false;
}

bool HamlibReceiver::CarriesMemory(const std::string& command) const {
  if (!memories_.Readable() || IsResize(command)) return false;
  if (command.starts_with("MX")) return memories_.Writable();
  // Only the clearing of a whole bank the radio has: the panel deletes no
  // single channel.
  if (command.starts_with("MQ")) {
    return memories_.Writable() && command.size() == 5 && command.ends_with("%%") &&
           memories_.ChannelsIn(command[2]) > 0;
  }
  if (command == "MP1" || command == "MP0") return memories_.Writable();
  return true;
}

bool HamlibReceiver::ExecuteMemory(const std::string& command) {
  const std::string head = command.substr(0, 2);
  if (head == "MA" && IsBankOrNothing(command)) {
    if (command.size() == 3) {
      readBank_ = command[2];
      readNext_ = 0;
    }
    AnswerChannelBatch();
  } else if (head == "MX") {
    const auto write = vocabulary::ParseChannelWrite(command);
    const bool stored =
        write && write->slot < memories_.ChannelsIn(write->bank) &&
        CheckChannelCall(WriteAsReceiver(memories_, write->bank, write->slot, write->channel));
    Answer(stored ? "" : "?");
  } else if (head == "MQ" && command.size() == 5) {
    ClearBank(command[2]);
  } else if (head == "MW" && command.size() == 3 && vocabulary::IsBankLetter(command[2])) {
    // The bank's size in the receiver's own answer, a full bank as 90; the
    // partner bank has none.
    char answer[24];
    std::snprintf(answer, sizeof answer, "MW %c:%02d %c:00", command[2],
                  std::min(memories_.ChannelsIn(command[2]), 90), command[2] - 'A' + 'a');
    Answer(answer);
  } else if (const auto slot = vocabulary::TwoDigits(command, 3);
             head == "MR" && command.size() == 5 && slot) {
    RecallChannel(command[2], *slot);
  } else if (command == "MR") {
    Answer(onChannel_
               ? vocabulary::ChannelLine(onChannel_->bank, onChannel_->slot, onChannel_->channel)
               : "?");
  } else if (command == "MP") {
    Answer(onChannel_ ? std::string("MP") + (onChannel_->channel.passed ? "1" : "0") : "?");
  } else if (command == "MP1" || command == "MP0") {
    SetPassFlag(command == "MP1");
  } else if (head == "MS" && IsBankOrNothing(command)) {
    // "MS" alone goes on with the bank the scan or the last recall was in,
    // from the channel after the one it was on.
    const char bank = command.size() == 3 ? command[2] : (onChannel_ ? onChannel_->bank : 0);
    StartMemoryScan(bank, command.size() == 3 || !onChannel_ ? -1 : onChannel_->slot);
  } else if (vocabulary::IsMemoryCommand(command)) {
    Answer("?");  // a form of a memory command the receiver would refuse
  } else {
    return false;
  }
  return true;
}

void HamlibReceiver::AnswerChannelBatch() {
  const int size = memories_.ChannelsIn(readBank_);
  if (readNext_ >= size) {
    Answer("?");
    return;
  }
  // Some drivers read a channel by selecting it: the radio goes back to
  // where the listener had it.
  freq_t listeningAt = 0;
  if (!Check(rig_get_freq(rig_, RIG_VFO_CURR, &listeningAt))) return;
  // Always ten lines, as the receiver's banks come in tens: past a bank that
  // ends within them, the lines say the channels there are empty.
  const int end = readNext_ + kChannelsPerRead;
  for (; readNext_ < end; ++readNext_) {
    vocabulary::MemoryChannel channel;
    // A channel that cannot be read ends the answer short: the panel then
    // writes no bank file rather than one with a channel missing.
    if (readNext_ < size &&
        !CheckChannelCall(ReadAsReceiver(memories_, readBank_, readNext_, channel)))
      break;
    Answer(vocabulary::ChannelLine(readBank_, readNext_, channel));
  }
  freq_t now = 0;
  if (!gone_ && Check(rig_get_freq(rig_, RIG_VFO_CURR, &now)) && now != listeningAt) {
    Tune(static_cast<long long>(listeningAt));
  }
}

void HamlibReceiver::ClearBank(char bank) {
  const int size = memories_.ChannelsIn(bank);
  if (size == 0) {
    Answer("?");
    return;
  }
  for (int slot = 0; slot < size; ++slot) {
    if (!CheckChannelCall(WriteAsReceiver(memories_, bank, slot, vocabulary::MemoryChannel{}))) {
      // A radio that refuses to empty a channel leaves the rest as they are;
      // the check after W tells the listener what the bank holds.
      Answer("?");
      return;
    }
  }
  Answer("");
}

bool HamlibReceiver::TuneToChannel(const MemoryPlace& place) {
  if (!Tune(place.channel.hz)) return false;
  // A channel of the radio's own choosing keeps the mode the radio is in.
  if (!place.channel.automaticMode && place.channel.modeCode != modeCode_) {
    const rmode_t mode =
        hamlib_modes::kModeOfCode[static_cast<std::size_t>(place.channel.modeCode)];
    if (Check(rig_set_mode(rig_, RIG_VFO_CURR, mode, RIG_PASSBAND_NORMAL))) {
      modeCode_ = place.channel.modeCode;
    }
  }
  onChannel_ = place;
  return !gone_;
}

void HamlibReceiver::RecallChannel(char bank, int slot) {
  MemoryPlace place{bank, slot, {}};
  if (slot >= memories_.ChannelsIn(bank) ||
      !CheckChannelCall(ReadAsReceiver(memories_, bank, slot, place.channel))) {
    Answer("?");
    return;
  }
  if (place.channel.empty) {
    Answer("?");
    return;
  }
  sweep_ = Sweep::kOff;
  if (TuneToChannel(place)) Answer("");
}

void HamlibReceiver::SetPassFlag(bool passed) {
  if (!onChannel_) {
    Answer("?");
    return;
  }
  MemoryPlace& place = *onChannel_;
  vocabulary::MemoryChannel channel = place.channel;
  channel.passed = passed;
  if (!CheckChannelCall(WriteAsReceiver(memories_, place.bank, place.slot, channel))) {
    Answer("?");
    return;
  }
  place.channel = channel;
  // A passed channel leaves the scan at once. One taken back joins it when
  // "MS" and a bank start the scan again, which reads the bank afresh.
  if (passed) {
    std::erase_if(scanList_, [&](const MemoryPlace& p) { return p.slot == place.slot; });
  } else {
    scanList_.clear();
  }
  Answer("");
}

void HamlibReceiver::StartMemoryScan(char bank, int afterSlot) {
  // Going on after a pass needs no second read of the bank (a hundred
  // channel reads on a slow radio): the passed channel has left the list.
  const bool goesOn = afterSlot >= 0 && !scanList_.empty() && scanList_.front().bank == bank;
  const int size = goesOn ? 0 : memories_.ChannelsIn(bank);
  std::vector<MemoryPlace> list = goesOn ? scanList_ : std::vector<MemoryPlace>{};
  for (int slot = 0; slot < size; ++slot) {
    MemoryPlace place{bank, slot, {}};
    if (!CheckChannelCall(ReadAsReceiver(memories_, bank, slot, place.channel))) {
      Answer("?");
      return;
    }
    if (!place.channel.empty && !place.channel.passed) list.push_back(place);
  }
  // A bank with no channel to visit has no scan, as the receiver answers.
  if (list.empty()) {
    Answer("?");
    return;
  }
  scanList_ = std::move(list);
  sweepOver_ = SweepOver::kMemories;
  sweep_ = Sweep::kSweeping;
  onChannel_ = MemoryPlace{bank, afterSlot, {}};
  StepMemoryScan();
  Answer("");
}

void HamlibReceiver::StepMemoryScan() {
  if (scanList_.empty()) {
    sweep_ = Sweep::kOff;
    return;
  }
  // The next channel of the bank after the one the scan is on, round to the
  // first after the last.
  const int at = onChannel_ ? onChannel_->slot : -1;
  const auto next = std::find_if(scanList_.begin(), scanList_.end(),
                                 [&](const MemoryPlace& place) { return place.slot > at; });
  TuneToChannel(next == scanList_.end() ? scanList_.front() : *next);
}

std::string HamlibReceiver::SourceTag() const {
  if (!onChannel_) return "VA";
  char tag[8];
  std::snprintf(tag, sizeof tag, "M%c%02d", onChannel_->bank, std::clamp(onChannel_->slot, 0, 99));
  return tag;
}

}  // namespace voxrig
