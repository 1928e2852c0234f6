// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_sound.h"

#include <algorithm>

namespace voxrig::fakes {

namespace {
constexpr const char* kPromptFolder = "wave\\";
constexpr const char* kSpokenText = "name:";
}  // namespace

void FakeSound::PlayPrompt(const std::string& path) {
  requested_.push_back(path);
  const std::string folder = kPromptFolder;
  if (path.rfind(folder, 0) != 0) return;  // names no file: silent
  const std::string name = path.substr(folder.size());
  if (missing_.count(name) > 0) return;
  const auto length = lengths_.find(name);
  const long long start = SilentFrom();
  const long long ms = length != lengths_.end() ? length->second : (name == "shdel" ? 150 : 100);
  played_.push_back({name, start, start + ms, unit_, unitKept_});
  if (hook_) hook_(name);
}

void FakeSound::SpeakText(const std::string& text) {
  const std::string name = kSpokenText + text;
  requested_.push_back(name);
  const long long start = SilentFrom();
  played_.push_back({name, start, start + 100, unit_, unitKept_});
  if (hook_) hook_(name);
}

void FakeSound::StartUnit() {
  ++unit_;
  unitKept_ = false;
}

void FakeSound::KeepUnit() {
  unitKept_ = true;
  for (Played& prompt : played_) prompt.kept = prompt.kept || prompt.unit == unit_;
}

void FakeSound::CutReadouts() {
  // The readouts end now; what is kept closes up behind what still sounds.
  EndAllBut([](const Played& prompt) { return prompt.kept; });
  StartUnit();
}

void FakeSound::EndWithThisUnit() {
  // Everything ends now but the unit being queued, when kept, which closes
  // up to now.
  EndAllBut([this](const Played& prompt) { return unitKept_ && prompt.unit == unit_; });
}

void FakeSound::EndAllBut(const std::function<bool(const Played&)>& stays) {
  const long long now = time_.now();
  long long tail = now;
  for (Played& prompt : played_) {
    if (prompt.end <= now) continue;
    if (!stays(prompt)) {
      prompt.start = std::min(prompt.start, now);
      prompt.end = now;
      prompt.cut = true;
      continue;
    }
    if (prompt.start > tail) {
      prompt.end -= prompt.start - tail;
      prompt.start = tail;
    }
    tail = prompt.end;
  }
}

long long FakeSound::SilentFrom() const {
  long long at = time_.now();
  for (const Played& prompt : played_) at = std::max(at, prompt.end);
  return at;
}

const FakeSound::Played* FakeSound::Find(const std::string& name, long long from) const {
  for (const Played& prompt : played_) {
    if (prompt.name == name && prompt.start >= from) return &prompt;
  }
  return nullptr;
}

std::vector<std::string> FakeSound::heard() const {
  std::vector<std::string> names;
  const std::string folder = kPromptFolder;
  for (const std::string& path : requested_) {
    if (path.rfind(folder, 0) == 0) names.push_back(path.substr(folder.size()));
    if (path.rfind(kSpokenText, 0) == 0) names.push_back(path);
  }
  return names;
}

}  // namespace voxrig::fakes
