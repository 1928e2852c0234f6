// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/radio_beside_loop.h"

#include <cerrno>
#include <chrono>
#include <utility>

namespace voxrig {

namespace {

// The thread's waits leave EAGAIN in errno, and Hamlib 4.5 reads errno after
// each byte it reads without clearing it first: finding EAGAIN there, it
// sleeps 5 ms a byte, which made a frequency set through its AR8600 driver
// take 240 ms instead of 60. Each call starts with errno clear.
void ClearErrorNumber() {
  errno = 0;
}

}  // namespace

void RadioWakeup::Set(std::function<void()> wake) {
  const std::lock_guard<std::mutex> lock(mutex_);
  wake_ = std::move(wake);
}

void RadioWakeup::operator()() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (wake_) wake_();
}

// The radio logs on its own thread; its lines wait here for the loop's.
class RadioBesideTheLoop::LineBuffer : public OutputFile {
 public:
  bool Write(const std::string& bytes) override {
    const std::lock_guard<std::mutex> lock(mutex_);
    lines_ += bytes;
    return true;
  }
  std::string Take() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(lines_, {});
  }

 private:
  std::mutex mutex_;
  std::string lines_;
};

RadioBesideTheLoop::RadioBesideTheLoop(std::unique_ptr<Receiver> radio,
                                       std::shared_ptr<RadioWakeup> wakeup)
    : radio_(std::move(radio)),
      capabilities_(radio_->Capabilities()),
      wakeup_(std::move(wakeup)),
      lines_(std::make_unique<LineBuffer>()) {
  // The radio's thread never sees the loop's log, only the buffer.
  radio_->SetWireLog(lines_.get());
  thread_ = std::thread([this] { Run(); });
}

RadioBesideTheLoop::RadioBesideTheLoop(Opener open, ReceiverCapabilities capabilities,
                                       std::shared_ptr<RadioWakeup> wakeup)
    : open_(std::move(open)),
      capabilities_(std::move(capabilities)),
      wakeup_(std::move(wakeup)),
      lines_(std::make_unique<LineBuffer>()) {
  thread_ = std::thread([this] { Run(); });
}

RadioBesideTheLoop::~RadioBesideTheLoop() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void RadioBesideTheLoop::SetWireLog(OutputFile* log) {
  PassOnLog();
  log_ = log;
}

void RadioBesideTheLoop::PassOnLog() {
  std::string lines = lines_->Take();
  if (log_ != nullptr && !lines.empty()) log_->Write(lines);
}

RadioResult RadioBesideTheLoop::Make(Call call) {
  PassOnLog();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (gone_) return RadioResult::kLineGone;
    calls_.push_back(Queued{std::move(call), ++made_});
  }
  changed_.notify_all();
  return RadioResult::kDone;
}

template <typename Answer>
RadioResult RadioBesideTheLoop::Ask(std::function<RadioResult(Receiver&)> ask,
                                    std::function<std::optional<Answer>(Receiver&)> take,
                                    std::optional<Answer> RadioBesideTheLoop::*slot) {
  return Make([this, ask = std::move(ask), take = std::move(take), slot](Receiver& radio) {
    const RadioResult result = ask(radio);
    std::optional<Answer> answer = take(radio);
    const bool answered = radio.Answered() || answer.has_value();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (underWay_ >= dropBefore_) {
      if (answer) this->*slot = std::move(answer);
      answered_ = answered_ || answered;
    }
    // A question left unanswered is no refusal of a setting.
    return result == RadioResult::kRefused ? RadioResult::kNoAnswer : result;
  });
}

template <typename Answer>
std::optional<Answer> RadioBesideTheLoop::Take(std::optional<Answer> RadioBesideTheLoop::*slot) {
  PassOnLog();
  const std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(this->*slot, std::nullopt);
}

void RadioBesideTheLoop::OpenFirst(std::unique_lock<std::mutex>& lock) {
  // As if a call: the calls made meanwhile wait behind it.
  underWay_ = made_ + 1;
  lock.unlock();
  std::unique_ptr<Receiver> radio = open_();
  if (radio) radio->SetWireLog(lines_.get());
  lock.lock();
  underWay_ = 0;
  radio_ = std::move(radio);
  open_ = nullptr;
  if (!radio_) {
    gone_ = true;
    lock.unlock();
    (*wakeup_)();
    lock.lock();
  }
}

void RadioBesideTheLoop::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (open_) OpenFirst(lock);
  for (;;) {
    if (!calls_.empty()) {
      Queued next = std::move(calls_.front());
      calls_.pop_front();
      CarryOut(std::move(next), lock);
    } else if (stopping_) {
      return;
    } else if (sweeping_ && !gone_) {
      SweepStep(lock);
    } else {
      changed_.wait(lock, [this] { return !calls_.empty() || stopping_; });
    }
  }
}

void RadioBesideTheLoop::CarryOut(Queued queued, std::unique_lock<std::mutex>& lock) {
  underWay_ = queued.number;
  lock.unlock();
  ClearErrorNumber();
  // A radio that did not open has nothing to carry out.
  const RadioResult result = radio_ ? queued.call(*radio_) : RadioResult::kLineGone;
  const bool gone = result == RadioResult::kLineGone || !radio_ || radio_->LineGone();
  lock.lock();
  underWay_ = 0;
  gone_ = gone_ || gone;
  if (result == RadioResult::kRefused || result == RadioResult::kNotOnThisRadio) refused_ = true;
  // Any call may have started, resumed or ended a sweep: the next moment
  // between calls finds out by asking for a step.
  sweeping_ = !gone_;
  lock.unlock();
  (*wakeup_)();
  lock.lock();
}

void RadioBesideTheLoop::SweepStep(std::unique_lock<std::mutex>& lock) {
  if (!radio_) {
    sweeping_ = false;
    return;
  }
  lock.unlock();
  ClearErrorNumber();
  const bool stepping = radio_->SweepAStep();
  const bool gone = radio_->LineGone();
  lock.lock();
  sweeping_ = stepping && !gone;
  if (gone && !gone_) {
    gone_ = true;
    lock.unlock();
    (*wakeup_)();
    lock.lock();
    return;
  }
  if (sweeping_) {
    changed_.wait_for(lock, std::chrono::milliseconds(kSweepDwellMs),
                      [this] { return !calls_.empty() || stopping_; });
  }
}

RadioResult RadioBesideTheLoop::SetFrequency(Vfo vfo, const std::string& megahertz) {
  return Make([vfo, megahertz](Receiver& radio) { return radio.SetFrequency(vfo, megahertz); });
}

RadioResult RadioBesideTheLoop::SetStep(const std::string& kilohertz) {
  return Make([kilohertz](Receiver& radio) { return radio.SetStep(kilohertz); });
}

RadioResult RadioBesideTheLoop::SelectMode(Mode mode) {
  if (!capabilities_.HasMode(mode)) return RadioResult::kNotOnThisRadio;
  return Make([mode](Receiver& radio) { return radio.SelectMode(mode); });
}

RadioResult RadioBesideTheLoop::SetAttenuator(bool on) {
  if (!capabilities_.attenuator) return RadioResult::kNotOnThisRadio;
  return Make([on](Receiver& radio) { return radio.SetAttenuator(on); });
}

RadioResult RadioBesideTheLoop::SetNoiseLimiter(bool on) {
  if (!capabilities_.noiseLimiter) return RadioResult::kNotOnThisRadio;
  return Make([on](Receiver& radio) { return radio.SetNoiseLimiter(on); });
}

RadioResult RadioBesideTheLoop::AskReception() {
  return Ask<Reception>([](Receiver& radio) { return radio.AskReception(); },
                        [](Receiver& radio) { return radio.TakeReception(); },
                        &RadioBesideTheLoop::reception_);
}

std::optional<Reception> RadioBesideTheLoop::TakeReception() {
  return Take(&RadioBesideTheLoop::reception_);
}

RadioResult RadioBesideTheLoop::AskReceiveState() {
  return Ask<ReceiveState>([](Receiver& radio) { return radio.AskReceiveState(); },
                           [](Receiver& radio) { return radio.TakeReceiveState(); },
                           &RadioBesideTheLoop::receiveState_);
}

std::optional<ReceiveState> RadioBesideTheLoop::TakeReceiveState() {
  return Take(&RadioBesideTheLoop::receiveState_);
}

RadioResult RadioBesideTheLoop::ReportLevelChanges() {
  return Make([](Receiver& radio) { return radio.ReportLevelChanges(); });
}

RadioResult RadioBesideTheLoop::StartSearch() {
  return Make([](Receiver& radio) { return radio.StartSearch(); });
}

RadioResult RadioBesideTheLoop::GoOn() {
  return Make([](Receiver& radio) { return radio.GoOn(); });
}

RadioResult RadioBesideTheLoop::StartMemoryScan(const std::string& banks) {
  if (!capabilities_.memories.scan) return RadioResult::kNotOnThisRadio;
  for (const char bank : banks) {
    if (!capabilities_.HasBank(bank)) return RadioResult::kNotOnThisRadio;
  }
  return Make([banks](Receiver& radio) { return radio.StartMemoryScan(banks); });
}

RadioResult RadioBesideTheLoop::RestartMemoryScan() {
  if (!capabilities_.memories.scan) return RadioResult::kNotOnThisRadio;
  return Make([](Receiver& radio) { return radio.RestartMemoryScan(); });
}

RadioResult RadioBesideTheLoop::AskCurrentChannel() {
  if (!capabilities_.memories.read) return RadioResult::kNotOnThisRadio;
  return Ask<MemoryChannel>([](Receiver& radio) { return radio.AskCurrentChannel(); },
                            [](Receiver& radio) { return radio.TakeCurrentChannel(); },
                            &RadioBesideTheLoop::currentChannel_);
}

std::optional<MemoryChannel> RadioBesideTheLoop::TakeCurrentChannel() {
  return Take(&RadioBesideTheLoop::currentChannel_);
}

RadioResult RadioBesideTheLoop::RecallChannel(char bank, int channel) {
  if (!capabilities_.memories.read || !capabilities_.HasBank(bank)) {
    return RadioResult::kNotOnThisRadio;
  }
  return Make([bank, channel](Receiver& radio) { return radio.RecallChannel(bank, channel); });
}

RadioResult RadioBesideTheLoop::PassChannel(bool pass) {
  if (!capabilities_.memories.write) return RadioResult::kNotOnThisRadio;
  return Make([pass](Receiver& radio) { return radio.PassChannel(pass); });
}

RadioResult RadioBesideTheLoop::AskBankChannels(char bank, bool first) {
  if (!capabilities_.memories.read || !capabilities_.HasBank(bank)) {
    return RadioResult::kNotOnThisRadio;
  }
  return Ask<BankBatch>(
      [bank, first](Receiver& radio) { return radio.AskBankChannels(bank, first); },
      [bank](Receiver& radio) { return radio.TakeBankChannels(bank); },
      &RadioBesideTheLoop::bankBatch_);
}

std::optional<BankBatch> RadioBesideTheLoop::TakeBankChannels(char /*bank*/) {
  return Take(&RadioBesideTheLoop::bankBatch_);
}

RadioResult RadioBesideTheLoop::WriteChannel(char bank, int channel, const std::string& megahertz,
                                             const std::string& stepKilohertz,
                                             const std::string& modeText, const std::string& name) {
  if (!capabilities_.memories.write || !capabilities_.HasBank(bank)) {
    return RadioResult::kNotOnThisRadio;
  }
  return Make([=](Receiver& radio) {
    return radio.WriteChannel(bank, channel, megahertz, stepKilohertz, modeText, name);
  });
}

RadioResult RadioBesideTheLoop::ClearBank(char bank) {
  if (!capabilities_.memories.write || !capabilities_.HasBank(bank)) {
    return RadioResult::kNotOnThisRadio;
  }
  return Make([bank](Receiver& radio) { return radio.ClearBank(bank); });
}

RadioResult RadioBesideTheLoop::AskBankSize(char bank) {
  if (!capabilities_.memories.read) return RadioResult::kNotOnThisRadio;
  return Ask<BankSize>([bank](Receiver& radio) { return radio.AskBankSize(bank); },
                       [bank](Receiver& radio) { return radio.TakeBankSize(bank); },
                       &RadioBesideTheLoop::bankSize_);
}

std::optional<BankSize> RadioBesideTheLoop::TakeBankSize(char /*bank*/) {
  return Take(&RadioBesideTheLoop::bankSize_);
}

RadioResult RadioBesideTheLoop::SetBankSizeNinety(char bank) {
  if (!capabilities_.memories.resize) return RadioResult::kNotOnThisRadio;
  return Make([bank](Receiver& radio) { return radio.SetBankSizeNinety(bank); });
}

bool RadioBesideTheLoop::AnswerWaiting() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return reception_ || receiveState_ || currentChannel_ || bankBatch_ || bankSize_;
}

bool RadioBesideTheLoop::WholeAnswerWaiting() {
  return !CallsOutstanding();
}

void RadioBesideTheLoop::DropLateAnswers() {
  PassOnLog();
  const std::lock_guard<std::mutex> lock(mutex_);
  reception_.reset();
  receiveState_.reset();
  currentChannel_.reset();
  bankBatch_.reset();
  bankSize_.reset();
  dropBefore_ = made_ + 1;
}

bool RadioBesideTheLoop::LineGone() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return gone_;
}

bool RadioBesideTheLoop::Answered() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(answered_, false);
}

bool RadioBesideTheLoop::CallsOutstanding() {
  PassOnLog();
  const std::lock_guard<std::mutex> lock(mutex_);
  return !calls_.empty() || underWay_ != 0;
}

bool RadioBesideTheLoop::LateRefusal() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(refused_, false);
}

RadioResult RadioBesideTheLoop::ExitRemote() {
  return Make([](Receiver& radio) { return radio.ExitRemote(); });
}

}  // namespace voxrig
