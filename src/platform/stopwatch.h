// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <thread>

namespace voxrig {

// Time that only runs forward, for bounded waits and for measuring how soon
// a receiver answers. A test gives a fake whose Sleep moves its time on.
class Stopwatch {
 public:
  virtual ~Stopwatch() = default;
  // Milliseconds since some fixed moment.
  virtual double NowMs() = 0;
  virtual void Sleep(int ms) = 0;
};

class SteadyStopwatch : public Stopwatch {
 public:
  double NowMs() override {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
        .count();
  }
  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace voxrig
