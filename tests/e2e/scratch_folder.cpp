// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/scratch_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace e2e {

ScratchFolder::ScratchFolder(const std::string& testName) {
  std::filesystem::path root = std::filesystem::path(E2E_BINARY_DIR) / "e2e-scratch";
  std::filesystem::create_directories(root);
  // A value-parameterised test's name holds a "/" before its parameter.
  std::string name = testName;
  std::replace(name.begin(), name.end(), '/', '-');
  std::string pattern = (root / (name + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + pattern);
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  if (::testing::Test::HasFailure()) {
    std::cerr << "The failed test's working folder is kept: " << path_ << "\n";
    return;
  }
  if (std::getenv("VOXRIG_E2E_KEEP") != nullptr) {
    std::cerr << "Working folder kept (VOXRIG_E2E_KEEP): " << path_ << "\n";
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteTextFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

}  // namespace e2e
