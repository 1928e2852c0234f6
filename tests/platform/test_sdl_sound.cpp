#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sdl_sound.h"

// These tests play real sound through SDL's dummy driver (no sound card
// needed) and measure real time, so they only bound it loosely.

namespace voxrig {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

void PutLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 16-bit mono PCM wave file of a 440 Hz tone.
void WriteTone(const fs::path& file, int rate, int lengthMs) {
  const std::uint32_t frames = static_cast<std::uint32_t>(rate) * lengthMs / 1000;
  const std::uint32_t dataBytes = frames * 2;
  std::ofstream out(file, std::ios::binary);
  out.write("RIFF", 4);
  PutLittleEndian(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  PutLittleEndian(out, 16, 4);
  PutLittleEndian(out, 1, 2);  // PCM
  PutLittleEndian(out, 1, 2);  // mono
  PutLittleEndian(out, static_cast<std::uint32_t>(rate), 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(rate) * 2, 4);
  PutLittleEndian(out, 2, 2);
  PutLittleEndian(out, 16, 2);
  out.write("data", 4);
  PutLittleEndian(out, dataBytes, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double sample = 8000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / rate);
    PutLittleEndian(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(sample)), 2);
  }
}

long long MillisecondsToPlay(SdlSound& sound, const std::string& path) {
  const steady_clock::time_point start = steady_clock::now();
  sound.PlayPrompt(path);
  return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
}

class SdlSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "voxrig-sound-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    fs::create_directory(folder_ / "wave");
    WriteTone(folder_ / "wave" / "tone.wav", 22050, 200);
    std::ofstream(folder_ / "wave" / "broken.wav") << "not a wave file";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void TearDown() override {
    unsetenv("SDL_AUDIODRIVER");
    fs::remove_all(folder_);
  }

  fs::path folder_;
};

TEST_F(SdlSoundTest, APromptPlaysToItsEndBeforeReturningAndIsDecodedOnce) {
  SdlSound sound(folder_);

  EXPECT_GE(MillisecondsToPlay(sound, "wave\\TONE"), 150);
  EXPECT_TRUE(sound.HasDevice());
  EXPECT_EQ(sound.DecodeCount(), 1);

  const long long second = MillisecondsToPlay(sound, "wave\\tone.wav");
  EXPECT_GE(second, 150);
  EXPECT_LT(second, 2000);
  EXPECT_EQ(sound.DecodeCount(), 1);
}

TEST_F(SdlSoundTest, ConsecutivePromptsEachTakeTheirLength) {
  SdlSound sound(folder_);
  const steady_clock::time_point start = steady_clock::now();
  for (int i = 0; i < 3; ++i) sound.PlayPrompt("wave\\tone");
  const long long total =
      std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
  EXPECT_GE(total, 3 * 150);
  EXPECT_LT(total, 3 * 2000);
}

TEST_F(SdlSoundTest, APathThatNamesNoFileIsSilentAndReturnsAtOnce) {
  SdlSound sound(folder_);
  EXPECT_LT(MillisecondsToPlay(sound, "wave\\missing"), 100);
  EXPECT_LT(MillisecondsToPlay(sound, "elsewhere\\tone"), 100);
  // With the voice off the panel asks for "tone" alone: there is no such file
  // in the working folder itself.
  EXPECT_LT(MillisecondsToPlay(sound, "tone"), 100);
  EXPECT_EQ(sound.DecodeCount(), 0);
}

TEST_F(SdlSoundTest, AFileThatIsNoWaveIsSilentAndReadOnlyOnce) {
  SdlSound sound(folder_);
  EXPECT_LT(MillisecondsToPlay(sound, "wave\\broken"), 100);
  EXPECT_LT(MillisecondsToPlay(sound, "wave\\broken"), 100);
  EXPECT_EQ(sound.DecodeCount(), 1);
}

TEST_F(SdlSoundTest, WithoutAnySoundDeviceAPromptStillTakesItsLength) {
  // The receiver's pacing is the length of "shdel": it must hold even where
  // no sound can be played at all.
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  SdlSound sound(folder_);

  const long long took = MillisecondsToPlay(sound, "wave\\tone");
  EXPECT_FALSE(sound.HasDevice());
  EXPECT_GE(took, 150);
  EXPECT_LT(took, 2000);
  EXPECT_EQ(sound.DecodeCount(), 1);
}

}  // namespace
}  // namespace voxrig
