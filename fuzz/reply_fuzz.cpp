// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever the receiver sends, the poll cycle reads it without crashing and
// leaves the panel's state consistent: the meter within its 18 asterisks, the
// squelch flag 0 or 1, a frequency read from an answer made of digits and one
// point, the poll step within its cycle, and the bank scan inside the bank.
//
// Input: byte 0 picks the poll step and the scan and search states, byte 1 the
// bank scan state and the stop mode; the rest is what the receiver sends, a
// 0xFF splitting it into answers that arrive one poll step apart.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fakes/test_program.h"
#include "link/ar8600/ar8600_answers.h"
#include "link/command_link.h"
#include "poll/poll_cycle.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "reply_fuzz: %s\n", what);
  std::abort();
}

bool IsFrequencyText(const std::string& text) {
  int points = 0;
  for (char c : text) {
    if (c == '.')
      ++points;
    else if (c < '0' || c > '9')
      return false;
  }
  return points <= 1;
}

// The states the fuzz input starts the poll cycle in: every step of a running
// cycle, and every scan and search state it can meet.
using voxrig::BankScan;
using voxrig::PollStep;
using voxrig::ReceiverScan;
using voxrig::Search;
using voxrig::StopMode;
constexpr std::array kBusyPollSteps = {
    PollStep::kSendLevelPoll,         PollStep::kReadLevel,
    PollStep::kAskWhereSearchStopped, PollStep::kReadWhereSearchStopped,
    PollStep::kSettleOnHeldChannel,   PollStep::kShowHeldChannel,
    PollStep::kReadHeldChannel,
};
constexpr std::array kReceiverScans = {ReceiverScan::kOff, ReceiverScan::kStarted,
                                       ReceiverScan::kScanning, ReceiverScan::kStopped};
constexpr std::array kSearches = {Search::kOff, Search::kSearching, Search::kStopped};
constexpr std::array kBankScans = {BankScan::kOff, BankScan::kBankSelected, BankScan::kStarted,
                                   BankScan::kScanning, BankScan::kStopped};
constexpr std::array kStopModes = {StopMode::kContinue, StopMode::kStop};

template <typename State, std::size_t N>
State Pick(const std::array<State, N>& states, unsigned byte) {
  return states[byte % N];
}

void CheckState(const voxrig::Context& ctx, const std::string& frequencyBefore) {
  Check(ctx.poll.signalLevel >= 0 && ctx.poll.signalLevel <= 255 / 12 + 1,
        "the meter reads past its asterisks");
  Check(ctx.banks.bankScanIndex >= 0 && ctx.banks.bankScanIndex < voxrig::BankState::kSlotCount,
        "the bank scan left the bank");
  const std::string now = ctx.tuning.frequencyText.str();
  if (!(now == frequencyBefore || IsFrequencyText(now) || now.empty())) {
    std::fprintf(stderr, "reply_fuzz: frequency read as \"%s\"\n", now.c_str());
  }
  Check(now == frequencyBefore || IsFrequencyText(now) || now.empty(),
        "a frequency read from an answer is not a frequency");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  voxrig::fakes::TestProgram program;
  voxrig::Context& ctx = program.ctx;
  program.AttachReceiver();
  ctx.link.linkState = voxrig::ReceiverAnswer::kReceived;
  ctx.poll.pollState = Pick(kBusyPollSteps, data[0]);
  ctx.poll.scanState = Pick(kReceiverScans, data[0] >> 3);
  ctx.poll.searchState = Pick(kSearches, data[0] >> 5);
  ctx.poll.bankScanState = Pick(kBankScans, data[1]);
  ctx.poll.searchStopMode = Pick(kStopModes, data[1] >> 3);
  ctx.tuning.frequencyText = "145.5";
  ctx.banks.bankFileName = "bank00.dat";
  ctx.banks.bankSlots[4] = "145.5";
  ctx.banks.bankSlots[6] = "9999";
  ctx.banks.bankScanIndex = 4;

  // Each poll step reads what arrived since the one before.
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  for (int step = 0; step < 24; ++step) {
    const std::size_t split = rest.find('\xff');
    program.line.Answer(std::string(rest.substr(0, split)));
    rest = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);
    const std::string before = ctx.tuning.frequencyText.str();
    if (ctx.poll.pollState == voxrig::PollStep::kIdle) {
      ctx.poll.pollState = voxrig::PollStep::kSendLevelPoll;
    }
    voxrig::RunPollStep(ctx);
    CheckState(ctx, before);
  }

  // The answer readers on their own, with the whole input as one answer.
  const std::string whole(reinterpret_cast<const char*>(data), size);
  const auto level = voxrig::receiver::ParseLevelAnswer(whole);
  for (const auto& frequency : {voxrig::receiver::ParseReceiveState(whole).frequency,
                                level ? level->holdsAt : std::nullopt}) {
    if (frequency) Check(frequency->text.size() <= 254, "a frequency longer than a text holds");
  }
  return 0;
}
