// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The prompt set make-prompts makes at the default rate: every spoken prompt
// is trimmed to its speech, so a readout's words follow each other closely;
// the pause and the beep keep their lengths, since they pace the receiver.
namespace voxrig {
namespace {

namespace fs = std::filesystem;

constexpr int kSilent = 64;  // |sample| at or below this is silence (-54 dB)

struct Wave {
  int rate = 0;
  std::vector<int16_t> samples;
};

// 16-bit mono PCM, as make-prompts writes it; anything else is an empty wave.
Wave ReadWave(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Wave wave;
  auto u32 = [&](std::size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return wave;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const uint32_t size = u32(at + 4);
    if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && at + 16 <= bytes.size()) {
      wave.rate = static_cast<int>(u32(at + 12));
    } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
      const std::size_t count = std::min<std::size_t>(size, bytes.size() - at - 8) / 2;
      wave.samples.resize(count);
      std::memcpy(wave.samples.data(), bytes.data() + at + 8, count * 2);
    }
    at += 8 + size + (size & 1);
  }
  return wave;
}

double Ms(std::size_t samples, int rate) {
  return 1000.0 * static_cast<double>(samples) / rate;
}

TEST(PromptSet, SpokenPromptsAreTrimmedAndThePauseAndBeepKeepTheirLength) {
  const fs::path folder = FULL_PROMPT_DIR;
  int spoken = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".wav") continue;
    const std::string name = entry.path().stem().string();
    const Wave wave = ReadWave(entry.path());
    ASSERT_GT(wave.rate, 0) << name;
    ASSERT_FALSE(wave.samples.empty()) << name;
    auto loud = [](int16_t s) { return std::abs(static_cast<int>(s)) > kSilent; };
    const auto first = std::find_if(wave.samples.begin(), wave.samples.end(), loud);
    const auto last = std::find_if(wave.samples.rbegin(), wave.samples.rend(), loud);
    if (name == "shdel") {
      EXPECT_EQ(first, wave.samples.end()) << "the pause must be silence";
      EXPECT_DOUBLE_EQ(Ms(wave.samples.size(), wave.rate), 150.0);
      continue;
    }
    ASSERT_NE(first, wave.samples.end()) << name << " is silent";
    if (name == "beep") {
      EXPECT_NEAR(Ms(wave.samples.size(), wave.rate), 120.0, 1.0);
      continue;
    }
    ++spoken;
    EXPECT_LE(Ms(first - wave.samples.begin(), wave.rate), 15.0) << name << ": silence before";
    EXPECT_LE(Ms(last - wave.samples.rbegin(), wave.rate), 15.0) << name << ": silence after";
  }
  EXPECT_GE(spoken, 70) << "the prompt set in " << folder << " is incomplete";
}

}  // namespace
}  // namespace voxrig
