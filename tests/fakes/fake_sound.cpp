#include "fakes/fake_sound.h"

#include <algorithm>

namespace voxrig::fakes {

namespace {
constexpr const char* kPromptFolder = "wave\\";
}

void FakeSound::PlayPrompt(const std::string& path) {
  requested_.push_back(path);
  const std::string folder = kPromptFolder;
  if (path.rfind(folder, 0) != 0) return;  // names no file: silent
  const std::string name = path.substr(folder.size());
  if (missing_.count(name) > 0) return;
  const auto length = lengths_.find(name);
  const long long start = SilentFrom();
  played_.push_back(
      {name, start,
       start + (length != lengths_.end() ? length->second : (name == "shdel" ? 150 : 100))});
  if (hook_) hook_(name);
}

void FakeSound::KeepQueued() {
  for (Played& prompt : played_) prompt.kept = true;
}

void FakeSound::CutReadouts() {
  const long long now = time_.now();
  for (Played& prompt : played_) {
    if (prompt.kept || prompt.end <= now) continue;
    prompt.start = std::min(prompt.start, now);
    prompt.end = now;
    prompt.cut = true;
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
  }
  return names;
}

}  // namespace voxrig::fakes
