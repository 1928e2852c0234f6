#include "fakes/fake_sound.h"

namespace voxrig::fakes {

namespace {
constexpr const char* kPromptFolder = "wave\\";
}

void FakeSound::PlayPrompt(const std::string& path) {
  requested_.push_back(path);
  const std::string folder = kPromptFolder;
  if (path.rfind(folder, 0) != 0) return;  // names no file: silent, no time
  const std::string name = path.substr(folder.size());
  const auto length = lengths_.find(name);
  time_.Advance(length != lengths_.end() ? length->second : (name == "shdel" ? 150 : 100));
  if (hook_) hook_(name);
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
