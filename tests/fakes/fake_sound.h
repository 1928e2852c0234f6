#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fakes/fake_time.h"
#include "platform/sound.h"

namespace voxrig::fakes {

// Records every prompt the panel asks for, in order, and lets each take a
// length of fake time, so pacing can be checked without waiting.
class FakeSound : public Sound {
 public:
  explicit FakeSound(FakeTime& time) : time_(time) {}

  void PlayPrompt(const std::string& path) override;

  // Every path requested, as the panel wrote it ("wave\point", or "point"
  // when the voice is off).
  const std::vector<std::string>& requested() const { return requested_; }
  // The prompt names that were heard: paths under "wave\", without it.
  std::vector<std::string> heard() const;
  void Clear() { requested_.clear(); }

  // Lengths in milliseconds: "shdel" 150 and every other prompt 100 unless set.
  void SetLength(const std::string& name, long long ms) { lengths_[name] = ms; }
  // Called after each heard prompt, with its name (lets a test act "while" a
  // prompt plays, e.g. let the receiver answer during a pause).
  void OnPlayed(std::function<void(const std::string&)> hook) { hook_ = std::move(hook); }

 private:
  FakeTime& time_;
  std::vector<std::string> requested_;
  std::map<std::string, long long> lengths_;
  std::function<void(const std::string&)> hook_;
};

}  // namespace voxrig::fakes
