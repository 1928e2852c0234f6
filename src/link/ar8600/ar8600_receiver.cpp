// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ar8600/ar8600_receiver.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/bounded_text.h"
#include "core/receiver_modes.h"
#include "core/text_rules.h"
#include "link/ar8600/ar8600_answers.h"
#include "link/ar8600/ar8600_commands.h"
#include "link/radio_capabilities.h"

namespace voxrig {

namespace {

// One read takes at most this many bytes; the rest waits for the next read.
constexpr int kReadLimit = 255;
// A bank read gathers what has arrived by reads, up to this much at a time.
constexpr std::size_t kMostBytesGathered = 4096;
// Late answers are dropped a read at a time, a few reads at most: a receiver
// that babbles without end must not hold the panel.
constexpr int kMostDropReads = 8;

char VfoLetter(Vfo vfo) {
  return vfo == Vfo::kA ? 'A' : 'B';
}

}  // namespace

Ar8600Receiver::Ar8600Receiver(std::unique_ptr<SerialDevice> device) : device_(std::move(device)) {}

const ReceiverCapabilities& Ar8600Receiver::Capabilities() const {
  return Ar8600Capabilities();
}

RadioResult Ar8600Receiver::SetFrequency(Vfo vfo, const std::string& megahertz) {
  return Send(receiver::SetVfo(VfoLetter(vfo), megahertz));
}

RadioResult Ar8600Receiver::SetStep(const std::string& kilohertz) {
  return Send(receiver::SetStep(kilohertz));
}

RadioResult Ar8600Receiver::SelectMode(Mode mode) {
  return Send(receiver::ModeCommand(mode));
}

RadioResult Ar8600Receiver::SetAttenuator(bool on) {
  return Send(receiver::Attenuator(on));
}

RadioResult Ar8600Receiver::SetNoiseLimiter(bool on) {
  return Send(receiver::NoiseLimiter(on));
}

RadioResult Ar8600Receiver::AskReception() {
  return Send(receiver::kReadLevel);
}

std::optional<Reception> Ar8600Receiver::TakeReception() {
  const auto answer = TakeKnownAnswer();
  if (!answer) return std::nullopt;
  return receiver::ParseLevelAnswer(*answer);
}

RadioResult Ar8600Receiver::AskReceiveState() {
  return Send(receiver::kReadReceiveState);
}

std::optional<ReceiveState> Ar8600Receiver::TakeReceiveState() {
  const auto line = receiver::FindReceiveStateLine(ReadOnce());
  if (!line) return std::nullopt;
  Accept(*line);
  return receiver::ParseReceiveState(*line);
}

RadioResult Ar8600Receiver::ReportLevelChanges() {
  return Send(receiver::kLevelReportingOnChange);
}

RadioResult Ar8600Receiver::StartSearch() {
  return Send(receiver::kStartVfoSearch);
}

RadioResult Ar8600Receiver::GoOn() {
  return WriteBytes(std::string(1, receiver::kResumeByte));
}

RadioResult Ar8600Receiver::StartMemoryScan(const std::string& banks) {
  return Send(receiver::StartMemoryScan(banks));
}

RadioResult Ar8600Receiver::RestartMemoryScan() {
  return Send(receiver::kRestartMemoryScan);
}

RadioResult Ar8600Receiver::AskCurrentChannel() {
  return Send(receiver::kReadMemoryChannel);
}

std::optional<MemoryChannel> Ar8600Receiver::TakeCurrentChannel() {
  const auto line = receiver::FindChannelLine(ReadOnce());
  if (!line) return std::nullopt;
  Accept(*line);
  return receiver::ParseNamedChannel(*line);
}

RadioResult Ar8600Receiver::RecallChannel(char bank, int channel) {
  return Send(receiver::RecallChannel(bank, channel));
}

RadioResult Ar8600Receiver::PassChannel(bool pass) {
  return Send(receiver::PassChannel(pass));
}

RadioResult Ar8600Receiver::AskBankChannels(char bank, bool first) {
  bankBytes_.clear();
  bankLines_.clear();
  // Whatever an earlier command left waiting is no part of the bank.
  if (first) ReadEverything();
  return Send(first ? receiver::ReadBankChannels(bank) : receiver::kReadNextChannels);
}

std::optional<BankBatch> Ar8600Receiver::TakeBankChannels(char bank) {
  bankBytes_ += ReadEverything();
  for (std::size_t end = bankBytes_.find_first_of("\r\n"); end != std::string::npos;
       end = bankBytes_.find_first_of("\r\n")) {
    const std::string line = bankBytes_.substr(0, end);
    bankBytes_.erase(0, end + 1);
    // The ends of earlier answers and level reports the receiver sends on
    // its own are no part of the bank.
    if (line.empty() || line.starts_with("LC") || line.starts_with("LM")) continue;
    Accept(line);
    if (line == "?" && bankLines_.empty()) {
      bankBytes_.clear();
      return BankBatch{{}, true, false};
    }
    bankLines_.push_back(line);
    if (bankLines_.size() < receiver::kChannelsPerBankRead) continue;
    BankBatch batch;
    for (const std::string& text : bankLines_) {
      const auto channel = receiver::ParseMemoryLine(text, bank);
      if (!channel) {
        batch.garbled = true;
        break;
      }
      batch.channels.push_back(*channel);
    }
    bankBytes_.clear();
    bankLines_.clear();
    return batch;
  }
  return std::nullopt;
}

RadioResult Ar8600Receiver::WriteChannel(char bank, int channel, const std::string& megahertz,
                                         const std::string& stepKilohertz,
                                         const std::string& modeText, const std::string& name) {
  return Send(receiver::WriteChannel(bank, channel, megahertz, stepKilohertz, modeText, name));
}

RadioResult Ar8600Receiver::ClearBank(char bank) {
  return Send(receiver::ClearBank(bank));
}

RadioResult Ar8600Receiver::AskBankSize(char bank) {
  return Send(receiver::ReadBankSize(bank));
}

std::optional<BankSize> Ar8600Receiver::TakeBankSize(char bank) {
  const auto answer = TakeKnownAnswer();
  if (!answer) return std::nullopt;
  return receiver::ParseBankSize(*answer, bank);
}

RadioResult Ar8600Receiver::SetBankSizeNinety(char bank) {
  return Send(receiver::SetBankSizeNinety(bank));
}

bool Ar8600Receiver::AnswerWaiting() {
  return !readAhead_.empty() || (device_ != nullptr && device_->BytesWaiting() > 0);
}

bool Ar8600Receiver::WholeAnswerWaiting() {
  const int owed = linesOwed_;
  readAhead_ = ReadOnce();
  linesOwed_ = owed;
  // The receiver sends a byte at a time: a line begun and not yet ended
  // (the first "L" of "LM%000") waits for its end, and so do the lines of
  // commands sent after the first.
  if (readAhead_.empty() || readAhead_.back() != '\n') return false;
  return std::count(readAhead_.begin(), readAhead_.end(), '\n') >= owed;
}

void Ar8600Receiver::DropLateAnswers() {
  linesOwed_ = 0;
  readAhead_.clear();
  if (device_ == nullptr) return;
  std::array<char, kReadLimit> buffer{};
  for (int i = 0; i < kMostDropReads && device_->BytesWaiting() > 0; ++i) {
    if (device_->Read(buffer.data(), kReadLimit) <= 0) break;
  }
}

bool Ar8600Receiver::LineGone() {
  return device_ != nullptr && device_->LineGone();
}

bool Ar8600Receiver::Answered() {
  return std::exchange(answered_, false);
}

RadioResult Ar8600Receiver::ExitRemote() {
  return Send(receiver::kExitRemote);
}

RadioResult Ar8600Receiver::Send(const std::string& command) {
  Log("TX= ", command);
  ++linesOwed_;
  return WriteBytes(command + '\r');
}

RadioResult Ar8600Receiver::WriteBytes(const std::string& bytes) {
  if (device_ == nullptr) return RadioResult::kLineGone;
  const int size = static_cast<int>(bytes.size());
  // A line that hangs up right after taking every byte has still taken the
  // command; the caller sees the line gone by LineGone().
  return device_->Write(bytes.data(), size) == size ? RadioResult::kDone : RadioResult::kLineGone;
}

std::string Ar8600Receiver::ReadOnce() {
  linesOwed_ = 0;
  std::string bytes = std::exchange(readAhead_, {});
  const int room = kReadLimit - static_cast<int>(bytes.size());
  if (device_ == nullptr || room <= 0 || device_->BytesWaiting() <= 0) return bytes;
  std::array<char, kReadLimit> buffer{};
  const int count = device_->Read(buffer.data(), room);
  if (count > 0) bytes.append(buffer.data(), static_cast<std::size_t>(count));
  return bytes;
}

std::string Ar8600Receiver::ReadEverything() {
  linesOwed_ = 0;
  std::string bytes = std::exchange(readAhead_, {});
  while (device_ != nullptr && bytes.size() < kMostBytesGathered && device_->BytesWaiting() > 0) {
    std::array<char, kReadLimit> buffer{};
    const int count = device_->Read(buffer.data(), kReadLimit);
    if (count <= 0) break;
    bytes.append(buffer.data(), static_cast<std::size_t>(count));
  }
  return bytes;
}

std::optional<std::string> Ar8600Receiver::TakeKnownAnswer() {
  auto answer = receiver::FindKnownAnswer(ReadOnce());
  if (answer) Accept(*answer);
  return answer;
}

void Ar8600Receiver::Accept(const std::string& answer) {
  Log("RX= ", answer);
  answered_ = true;
}

void Ar8600Receiver::Log(const std::string& prefix, const std::string& text) {
  if (log_ == nullptr) return;
  // The debug log keeps a line as the panel's texts hold it: 254 characters
  // at most.
  BoundedText line = prefix;
  line += text;
  log_->Write(line.str() + "\r\n");
}

}  // namespace voxrig
