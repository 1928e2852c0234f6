#pragma once

namespace voxrig::fakes {

// Simulated milliseconds shared by the fakes of one test program.
class FakeTime {
 public:
  long long now() const { return now_; }
  void Advance(long long ms) { now_ += ms; }

 private:
  long long now_ = 0;
};

}  // namespace voxrig::fakes
