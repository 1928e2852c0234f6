// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace e2e {

// A fresh working folder for one test under the build folder. It is removed
// when the test passed and kept (its path printed) when it failed, so the
// transcript, wire log and debug log of a failure can be read afterwards.
// VOXRIG_E2E_KEEP=1 in the environment keeps it in every case.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& testName);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteTextFile(const std::string& path, const std::string& bytes);
// The whole file, or empty text when it does not exist.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace e2e
