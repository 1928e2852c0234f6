// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/receiver.h"

namespace voxrig {

// How the radio's thread wakes the panel's loop once a call has ended. It
// can be withdrawn (an empty function) before what it wakes goes away; a
// wake-up under way then has ended.
class RadioWakeup {
 public:
  void Set(std::function<void()> wake);
  void operator()();

 private:
  std::mutex mutex_;
  std::function<void()> wake_;
};

// A radio whose driver may take its time (one driven through Hamlib: tens of
// milliseconds a call, seconds when it stops answering), carried out on a
// thread of its own so that the panel's loop never waits for it. Each call
// returns at once and is carried out in the order made; a question's answer
// is taken once it has come, and the loop is woken each time a call ends.
//
// What the panel learns later: a setting the radio refused (LateRefusal), and
// a line gone (LineGone, true from the moment the driver finds it). What the
// radio's record says it cannot do is refused at once, as the radio itself
// would. A radio that the panel sweeps (a search or memory scan on a radio
// without its own) is stepped here between calls, as fast as it answers and
// at most one step every kSweepDwellMs, so that a signal has the time to open
// the squelch.
class RadioBesideTheLoop : public Receiver {
 public:
  static constexpr int kSweepDwellMs = 15;

  RadioBesideTheLoop(std::unique_ptr<Receiver> radio, std::shared_ptr<RadioWakeup> wakeup);
  // A radio still to be opened, by `open` on the radio's thread (a radio that
  // does not answer takes its driver seconds to give up): the calls made
  // meanwhile wait for it, and a radio that does not open counts as a line
  // gone. `capabilities` is what the radio can do, known before it opens.
  using Opener = std::function<std::unique_ptr<Receiver>()>;
  RadioBesideTheLoop(Opener open, ReceiverCapabilities capabilities,
                     std::shared_ptr<RadioWakeup> wakeup);
  // The calls already made are carried out first (the last one, handing the
  // radio back, included), so the radio is left as the panel last set it.
  ~RadioBesideTheLoop() override;
  RadioBesideTheLoop(const RadioBesideTheLoop&) = delete;
  RadioBesideTheLoop& operator=(const RadioBesideTheLoop&) = delete;

  const ReceiverCapabilities& Capabilities() const override { return capabilities_; }
  // The radio's own lines go to the log from the loop's thread, as the calls
  // are made and their answers taken.
  void SetWireLog(OutputFile* log) override;

  RadioResult SetFrequency(Vfo vfo, const std::string& megahertz) override;
  RadioResult SetStep(const std::string& kilohertz) override;
  RadioResult SelectMode(Mode mode) override;
  RadioResult SetAttenuator(bool on) override;
  RadioResult SetNoiseLimiter(bool on) override;

  RadioResult AskReception() override;
  std::optional<Reception> TakeReception() override;
  RadioResult AskReceiveState() override;
  std::optional<ReceiveState> TakeReceiveState() override;
  RadioResult ReportLevelChanges() override;

  RadioResult StartSearch() override;
  RadioResult GoOn() override;

  RadioResult StartMemoryScan(const std::string& banks) override;
  RadioResult RestartMemoryScan() override;
  RadioResult AskCurrentChannel() override;
  std::optional<MemoryChannel> TakeCurrentChannel() override;
  RadioResult RecallChannel(char bank, int channel) override;
  RadioResult PassChannel(bool pass) override;
  RadioResult AskBankChannels(char bank, bool first) override;
  std::optional<BankBatch> TakeBankChannels(char bank) override;
  RadioResult WriteChannel(char bank, int channel, const std::string& megahertz,
                           const std::string& stepKilohertz, const std::string& modeText,
                           const std::string& name) override;
  RadioResult ClearBank(char bank) override;
  RadioResult AskBankSize(char bank) override;
  std::optional<BankSize> TakeBankSize(char bank) override;
  RadioResult SetBankSizeNinety(char bank) override;

  // An answer that has come and not been taken.
  bool AnswerWaiting() override;
  // Every call made has ended: whatever answers they give have come.
  bool WholeAnswerWaiting() override;
  void DropLateAnswers() override;
  bool LineGone() override;
  bool Answered() override;
  bool CallsEndBesideTheLoop() const override { return true; }
  bool CallsOutstanding() override;
  bool LateRefusal() override;

  RadioResult ExitRemote() override;

 private:
  using Call = std::function<RadioResult(Receiver&)>;
  struct Queued {
    Call call;
    std::uint64_t number = 0;
  };
  class LineBuffer;

  // Queues the call; kLineGone instead once the line is known to be gone.
  RadioResult Make(Call call);
  // A question: the call, then its answer kept in `slot` when it comes (and
  // unless the answers were dropped after it was asked).
  template <typename Answer>
  RadioResult Ask(std::function<RadioResult(Receiver&)> ask,
                  std::function<std::optional<Answer>(Receiver&)> take,
                  std::optional<Answer> RadioBesideTheLoop::*slot);
  template <typename Answer>
  std::optional<Answer> Take(std::optional<Answer> RadioBesideTheLoop::*slot);
  void Run();
  // Opens the radio, on the radio's thread, before any call.
  void OpenFirst(std::unique_lock<std::mutex>& lock);
  void CarryOut(Queued queued, std::unique_lock<std::mutex>& lock);
  void SweepStep(std::unique_lock<std::mutex>& lock);
  // The radio's lines logged meanwhile, to the wire log.
  void PassOnLog();

  // The radio's thread's alone once it runs; null until opened (or when it
  // did not open).
  std::unique_ptr<Receiver> radio_;
  Opener open_;
  const ReceiverCapabilities capabilities_;
  std::shared_ptr<RadioWakeup> wakeup_;
  std::unique_ptr<LineBuffer> lines_;
  OutputFile* log_ = nullptr;  // the loop's: written from its thread only

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Queued> calls_;
  std::uint64_t made_ = 0;        // calls made so far
  std::uint64_t dropBefore_ = 0;  // answers of calls made before this one are late
  std::uint64_t underWay_ = 0;    // the number of the call being carried out, 0 for none
  bool stopping_ = false;
  bool sweeping_ = false;  // a sweep may want a step between calls
  bool gone_ = false;
  bool refused_ = false;
  bool answered_ = false;
  std::optional<Reception> reception_;
  std::optional<ReceiveState> receiveState_;
  std::optional<MemoryChannel> currentChannel_;
  std::optional<BankBatch> bankBatch_;
  std::optional<BankSize> bankSize_;
  std::thread thread_;
};

}  // namespace voxrig
