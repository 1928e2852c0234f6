// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "faults.h"
#include "memory_banks.h"
#include "receiver.h"
#include "signals.h"
#include "wire_log.h"

// The simulated receiver on its serial line, without any I/O: bytes go in with
// the time they were written, bytes come out with the time they are due. All
// times are milliseconds since the simulator started, given by the caller, so
// a test can run it on a fake clock.
namespace ar8600sim {

struct EngineConfig {
  int baud = 19'200;                // 8 data bits, no parity, 2 stop bits: 11 bits a byte
  int replyDelayMinMs = 7;          // the first byte of an answer comes this long ...
  int replyDelayMaxMs = 20;         // ... to this long after the command's CR
  double resizeMs = 1'500;          // "MW" + size takes this long ...
  double resizeMsPerChannel = 10;   // ... and this much more per stored channel
  double motionIntervalMs = 25;     // one search or scan step
  double continuousReportMs = 100;  // LC2 reports this often
  // The receiver leaves a short pause between the characters of an answer,
  // so that a whole RX line ends 40 to 50 ms after the CR at 19200 baud.
  double characterGapMs = 0.26;
  std::uint32_t seed = 1;  // picks the answer delays and the garbage
  std::vector<Signal> signals = DefaultSignals();
  MemoryBanks memory;
  Faults faults;
  int dropAfter = 0;  // hang up once this many commands are served; 0: never
};

struct TimedByte {
  char byte = 0;
  double dueMs = 0;

  bool operator==(const TimedByte&) const = default;
};

class Engine {
 public:
  explicit Engine(EngineConfig config);

  // Bytes the client wrote at `nowMs`. They reach the receiver one after the
  // other at the line's speed; each command runs when its CR arrives.
  void Receive(std::string_view bytes, double nowMs);
  // Bytes the client wrote at another speed than the receiver's: the receiver
  // takes no command from them, and to each CR among them it answers "?",
  // which the client, at its own speed, reads as noise.
  void ReceiveMisheard(std::string_view bytes, double nowMs);
  // Lets the search, the scan, the signals and the level reports move on.
  void AdvanceTo(double nowMs);

  // Answer and report bytes produced so far, in order, each with its due time.
  std::vector<TimedByte> TakeOutput();
  // Commands received so far, for the wire log.
  std::vector<WireEntry> TakeWireEntries();

  // When AdvanceTo has something to do next; nothing when all is still.
  std::optional<double> NextEventMs() const;
  // When the line drops (after --drop-after or a hang-up request).
  std::optional<double> HangUpAtMs() const { return hangUpAtMs_; }
  bool HungUp() const { return hungUp_; }

  // New faults from now on.
  void SetFaults(const Faults& faults);
  // Hang up once `count` more commands are served; 0: never.
  void DropAfter(int count);
  void HangUpNow(double nowMs);
  const Faults& faults() const { return faults_; }

  const Receiver& receiver() const { return receiver_; }
  // One byte on the line, and one character of an answer (the gap added).
  double ByteMs() const { return byteMs_; }
  int Baud() const { return config_.baud; }
  double AnswerByteMs() const { return answerByteMs_; }

 private:
  enum class Kind { kLine, kEmptyLine, kResumeByte, kCrAfterResumeByte };
  struct Command {
    Kind kind = Kind::kLine;
    std::string text;
    bool overflowed = false;
  };

  void Accept(Command command, double atMs);
  void Run(const Command& command, double atMs);
  void RunEventsAt(double atMs);
  void CountServed(double atMs);
  void Emit(const std::string& line, double readyMs);
  void ReportLevel(double readyMs, double atMs);
  void FollowContinuousReporting(double atMs);
  std::string LevelReportLine(const Reception& reception) const;
  double ReplyDelayMs();
  std::uint32_t NextRandom();

  EngineConfig config_;
  Receiver receiver_;
  Faults faults_;
  double byteMs_;
  double answerByteMs_;
  std::uint32_t random_;

  std::string line_;
  bool overflowed_ = false;
  bool afterResumeByte_ = false;
  double inputFreeMs_ = 0;  // when the next written byte can arrive

  std::optional<double> busyUntilMs_;  // resizing: commands wait
  std::deque<std::pair<Command, double>> waiting_;

  std::vector<TimedByte> output_;
  double lineFreeMs_ = 0;  // when the next answer byte can start
  std::vector<WireEntry> wire_;

  struct Reported {
    Reception reception;
    std::int64_t hz = 0;
    std::string source;
  };
  Reported reported_;
  std::optional<double> nextContinuousMs_;

  std::optional<int> commandsLeft_;
  std::optional<double> hangUpAtMs_;
  bool hungUp_ = false;
};

}  // namespace ar8600sim
