// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

#include "link/ar8600/ar8600_receiver.h"

namespace voxrig::fakes {

// A radio whose driver takes its time: each call waits at a gate until the
// test opens it. What it refuses, and whether its line is gone, is set by
// the test before the gate opens.
class SlowRadio : public Ar8600Receiver {
 public:
  SlowRadio() : Ar8600Receiver(nullptr) {}
  void SetWireLog(OutputFile* log) override { log_ = log; }
  RadioResult SetFrequency(Vfo, const std::string& megahertz) override {
    Pass("set_freq " + megahertz);
    return refuse ? RadioResult::kRefused : RadioResult::kDone;
  }
  RadioResult AskReception() override {
    Pass("get_level");
    return gone ? RadioResult::kLineGone : RadioResult::kDone;
  }
  std::optional<Reception> TakeReception() override { return Reception{true, 42, std::nullopt}; }
  bool LineGone() override { return gone; }
  bool SweepAStep() override {
    if (sweepSteps <= 0) return false;
    ++stepsTaken;
    return --sweepSteps > 0;
  }
  void Open() {
    const std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    gate_.notify_all();
  }

  std::atomic<bool> refuse{false};
  std::atomic<bool> gone{false};
  std::atomic<int> sweepSteps{0};
  std::atomic<int> stepsTaken{0};

 private:
  void Pass(const std::string& call) {
    if (log_ != nullptr) log_->Write("TX= " + call + "\r\n");
    std::unique_lock<std::mutex> lock(mutex_);
    gate_.wait(lock, [this] { return open_; });
  }
  OutputFile* log_ = nullptr;
  std::mutex mutex_;
  std::condition_variable gate_;
  bool open_ = false;
};

}  // namespace voxrig::fakes
