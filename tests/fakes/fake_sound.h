// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_time.h"
#include "platform/sound.h"

namespace voxrig::fakes {

// Records every prompt the panel asks for, in order, and plays it in fake
// time as the real sound does: queued behind the prompts still sounding,
// while the panel goes on. A cut ends the readouts at the moment it comes.
class FakeSound : public Sound {
 public:
  explicit FakeSound(FakeTime& time) : time_(time) {}

  void PlayPrompt(const std::string& path) override;
  // Heard as "name:" and the words ("name:Harbour Ops"), 100 ms long.
  void SpeakText(const std::string& text) override;
  void StartUnit() override;
  void KeepUnit() override;
  void CutReadouts() override;
  void EndWithThisUnit() override;

  // Every path requested, as the panel wrote it ("wave\point", or "point"
  // when the voice is off).
  const std::vector<std::string>& requested() const { return requested_; }
  // The prompt names that were heard: paths under "wave\", without it, and
  // the words said as they stand ("name:Harbour Ops").
  std::vector<std::string> heard() const;
  void Clear() {
    requested_.clear();
    played_.clear();
  }

  // A prompt as it sounds in fake time: from `start` to `end`; a cut one
  // ends at the cut, or never starts (start == end).
  struct Played {
    std::string name;
    long long start = 0;
    long long end = 0;
    unsigned long unit = 0;
    bool kept = false;
    bool cut = false;
  };
  const std::vector<Played>& played() const { return played_; }
  // The first prompt of this name queued at or after `from`, or null.
  const Played* Find(const std::string& name, long long from = 0) const;
  // When everything queued so far has sounded.
  long long SilentFrom() const;

  // Lengths in milliseconds: "shdel" 150 and every other prompt 100 unless set.
  void SetLength(const std::string& name, long long ms) { lengths_[name] = ms; }
  // The prompt set lacks this file: asking for it plays nothing.
  void SetMissing(const std::string& name) { missing_.insert(name); }
  // Called as each prompt of the set is queued, with its name (lets a test
  // act "while" a prompt plays, e.g. let the receiver answer during a pause).
  void OnPlayed(std::function<void(const std::string&)> hook) { hook_ = std::move(hook); }

 private:
  // What still sounds or waits ends now, but the prompts that stay, which
  // close up behind one another from now on.
  void EndAllBut(const std::function<bool(const Played&)>& stays);

  FakeTime& time_;
  std::vector<std::string> requested_;
  std::vector<Played> played_;
  unsigned long unit_ = 0;
  bool unitKept_ = false;
  std::map<std::string, long long> lengths_;
  std::set<std::string> missing_;
  std::function<void(const std::string&)> hook_;
};

}  // namespace voxrig::fakes
