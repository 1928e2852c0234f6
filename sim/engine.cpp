// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine.h"

#include <algorithm>
#include <utility>

#include "frequency_text.h"

namespace ar8600sim {

namespace {

constexpr char kResumeByte = 0x1E;
constexpr std::size_t kLongestCommand = 256;
constexpr double kBitsPerByte = 11;  // start bit, 8 data bits, 2 stop bits

}  // namespace

Engine::Engine(EngineConfig config)
    : config_(std::move(config)),
      receiver_(config_.signals, config_.memory, std::max(1.0, config_.motionIntervalMs)),
      byteMs_(kBitsPerByte * 1000.0 / std::max(1, config_.baud)),
      answerByteMs_(byteMs_ + std::max(0.0, config_.characterGapMs)),
      random_(config_.seed) {
  reported_ = {receiver_.Heard(0), receiver_.TunedHz(), receiver_.SourceTag()};
  SetFaults(config_.faults);
  DropAfter(config_.dropAfter);
}

void Engine::Receive(std::string_view bytes, double nowMs) {
  AdvanceTo(nowMs);
  for (const char byte : bytes) {
    if (hungUp_) return;
    const double arrivalMs = std::max(inputFreeMs_, nowMs) + byteMs_;
    inputFreeMs_ = arrivalMs;
    if (byte == '\n') continue;  // an LF after the CR is tolerated and ignored
    const bool afterResumeByte = afterResumeByte_;
    afterResumeByte_ = false;
    if (byte == '\r') {
      Command command{Kind::kLine, line_, overflowed_};
      if (line_.empty())
        command.kind = afterResumeByte ? Kind::kCrAfterResumeByte : Kind::kEmptyLine;
      line_.clear();
      overflowed_ = false;
      AdvanceTo(arrivalMs);
      Accept(std::move(command), arrivalMs);
    } else if (byte == kResumeByte && line_.empty()) {
      // The byte 30 acts at once, without waiting for a CR.
      afterResumeByte_ = true;
      AdvanceTo(arrivalMs);
      Accept({Kind::kResumeByte, std::string(1, kResumeByte), false}, arrivalMs);
    } else if (line_.size() < kLongestCommand) {
      line_ += byte;
    } else {
      overflowed_ = true;
    }
  }
}

void Engine::ReceiveMisheard(std::string_view bytes, double nowMs) {
  AdvanceTo(nowMs);
  if (hungUp_) return;
  const double arrivalMs =
      std::max(inputFreeMs_, nowMs) + byteMs_ * static_cast<double>(bytes.size());
  inputFreeMs_ = arrivalMs;
  line_.clear();
  const auto crs = std::count(bytes.begin(), bytes.end(), '\r');
  const bool garbage = faults_.garbage;
  faults_.garbage = true;
  for (long i = 0; i < crs; ++i) Emit("?", arrivalMs + ReplyDelayMs());
  faults_.garbage = garbage;
}

void Engine::AdvanceTo(double nowMs) {
  for (auto next = NextEventMs(); next && *next <= nowMs; next = NextEventMs()) {
    RunEventsAt(*next);
  }
}

std::vector<TimedByte> Engine::TakeOutput() {
  return std::exchange(output_, {});
}

std::vector<WireEntry> Engine::TakeWireEntries() {
  return std::exchange(wire_, {});
}

std::optional<double> Engine::NextEventMs() const {
  std::optional<double> next = receiver_.NextEventMs();
  for (const auto& candidate :
       {busyUntilMs_, nextContinuousMs_, hungUp_ ? std::optional<double>() : hangUpAtMs_}) {
    if (candidate && (!next || *candidate < *next)) next = candidate;
  }
  return next;
}

void Engine::SetFaults(const Faults& faults) {
  faults_ = faults;
  receiver_.SetSearchKeyword(faults.searchAnswer);
}

void Engine::DropAfter(int count) {
  if (count > 0) {
    commandsLeft_ = count;
  } else {
    commandsLeft_.reset();
  }
}

void Engine::HangUpNow(double nowMs) {
  if (!hangUpAtMs_ || *hangUpAtMs_ > nowMs) hangUpAtMs_ = nowMs;
  AdvanceTo(nowMs);
}

void Engine::Accept(Command command, double atMs) {
  wire_.push_back({atMs, command.kind == Kind::kLine || command.kind == Kind::kResumeByte
                             ? command.text
                             : std::string()});
  if (busyUntilMs_) {
    // Resizing: the receiver takes nothing in until it is done.
    waiting_.emplace_back(std::move(command), atMs);
    return;
  }
  Run(command, atMs);
}

void Engine::Run(const Command& command, double atMs) {
  switch (command.kind) {
    case Kind::kEmptyLine:
      return;  // a lone CR gets no answer
    case Kind::kCrAfterResumeByte:
      Emit("", atMs + ReplyDelayMs());
      return;
    case Kind::kResumeByte:
      receiver_.GoOn(atMs);
      ReportLevel(atMs, atMs);
      CountServed(atMs);
      return;
    case Kind::kLine:
      break;
  }
  double answeredMs = atMs;
  if (command.overflowed) {
    answeredMs += ReplyDelayMs();
    Emit("?", answeredMs);
  } else {
    const Answer answer = receiver_.Execute(command.text, atMs);
    if (answer.resizing) {
      // Nothing is answered until the pair has been rearranged; then CR LF.
      answeredMs += config_.resizeMs + config_.resizeMsPerChannel * answer.channelsMoved;
      busyUntilMs_ = answeredMs;
      Emit("", answeredMs);
    } else if (answer.line) {
      answeredMs += ReplyDelayMs();
      Emit(*answer.line, answeredMs);
    }
  }
  FollowContinuousReporting(atMs);
  ReportLevel(answeredMs, atMs);
  CountServed(atMs);
}

void Engine::RunEventsAt(double atMs) {
  if (busyUntilMs_ && *busyUntilMs_ <= atMs) {
    busyUntilMs_.reset();
    while (!waiting_.empty() && !busyUntilMs_) {
      const Command command = std::move(waiting_.front().first);
      waiting_.pop_front();
      Run(command, atMs);
    }
  }
  receiver_.RunEventsAt(atMs);
  ReportLevel(atMs, atMs);
  if (nextContinuousMs_ && *nextContinuousMs_ <= atMs) {
    Emit(LevelReportLine(receiver_.Heard(atMs)), atMs);
    nextContinuousMs_ = atMs + config_.continuousReportMs;
  }
  if (hangUpAtMs_ && *hangUpAtMs_ <= atMs) hungUp_ = true;
}

void Engine::CountServed(double atMs) {
  if (!commandsLeft_ || --*commandsLeft_ > 0) return;
  commandsLeft_.reset();
  // The last command served still gets its whole answer before the line drops.
  const double dropMs = std::max(atMs, lineFreeMs_);
  if (!hangUpAtMs_ || dropMs < *hangUpAtMs_) hangUpAtMs_ = dropMs;
}

void Engine::Emit(const std::string& line, double readyMs) {
  if (faults_.silent || hungUp_) return;
  std::string bytes = line + "\r\n";
  if (faults_.garbage) {
    // Digits, punctuation and bytes above 127: never a letter, so never a keyword.
    constexpr std::string_view kNoise = "0123456789#$&*+=@^_~";
    for (char& byte : bytes) {
      const std::uint32_t pick = NextRandom() % (kNoise.size() + 128);
      byte = pick < kNoise.size() ? kNoise[pick] : static_cast<char>(0x80 + (pick - kNoise.size()));
    }
  }
  const double startMs = std::max(readyMs, lineFreeMs_);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const double dueMs = startMs + static_cast<double>(i) * answerByteMs_;
    if (hangUpAtMs_ && dueMs >= *hangUpAtMs_) break;
    output_.push_back({bytes[i], dueMs});
  }
  lineFreeMs_ = startMs + static_cast<double>(bytes.size()) * answerByteMs_;
}

void Engine::ReportLevel(double readyMs, double atMs) {
  const Reception reception = receiver_.Heard(atMs);
  const Reported now{reception, receiver_.TunedHz(), receiver_.SourceTag()};
  const bool changed =
      reception.squelchOpen != reported_.reception.squelchOpen ||
      (reception.squelchOpen && (reception.level != reported_.reception.level ||
                                 now.hz != reported_.hz || now.source != reported_.source));
  reported_ = now;
  if (changed && receiver_.LevelReporting() >= 1) Emit(LevelReportLine(reception), readyMs);
}

void Engine::FollowContinuousReporting(double atMs) {
  if (receiver_.LevelReporting() != 2) {
    nextContinuousMs_.reset();
  } else if (!nextContinuousMs_) {
    nextContinuousMs_ = atMs + config_.continuousReportMs;
  }
}

std::string Engine::LevelReportLine(const Reception& reception) const {
  if (!reception.squelchOpen) return "LC%000 " + receiver_.SourceTag();
  return "LC " + PaddedDigits(reception.level, 3) + " " + receiver_.SourceTag() + " RF" +
         TenDigitHz(receiver_.TunedHz());
}

double Engine::ReplyDelayMs() {
  if (faults_.replyDelayMs) return *faults_.replyDelayMs;
  const int low = std::min(config_.replyDelayMinMs, config_.replyDelayMaxMs);
  const int high = std::max(config_.replyDelayMinMs, config_.replyDelayMaxMs);
  return low + static_cast<int>(NextRandom() % static_cast<std::uint32_t>(high - low + 1));
}

std::uint32_t Engine::NextRandom() {
  // A fixed linear congruential sequence: the same seed gives the same run.
  random_ = random_ * 1'664'525u + 1'013'904'223u;
  return random_ >> 8;
}

}  // namespace ar8600sim
