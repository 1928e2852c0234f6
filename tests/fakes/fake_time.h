// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/stopwatch.h"

namespace voxrig::fakes {

// Simulated milliseconds shared by the fakes of one test program.
class FakeTime {
 public:
  long long now() const { return now_; }
  void Advance(long long ms) { now_ += ms; }

 private:
  long long now_ = 0;
};

// Time for pauses and bounded waits: sleeping moves the shared fake time on.
class FakeStopwatch : public Stopwatch {
 public:
  explicit FakeStopwatch(FakeTime& time) : time_(time) {}
  double NowMs() override { return static_cast<double>(time_.now()); }
  void Sleep(int ms) override { time_.Advance(ms); }

 private:
  FakeTime& time_;
};

}  // namespace voxrig::fakes
