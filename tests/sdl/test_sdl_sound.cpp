// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "posix/posix_file_system.h"
#include "sdl/sdl_sound.h"

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

long long MillisecondsToQueue(SdlSound& sound, const std::string& path) {
  const steady_clock::time_point start = steady_clock::now();
  sound.PlayPrompt(path);
  return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
}

// Waits until the device has taken every queued prompt; the time it took.
long long MillisecondsUntilSounded(SdlSound& sound) {
  const steady_clock::time_point start = steady_clock::now();
  while (sound.QueuedLength().count() > 0 && steady_clock::now() - start < milliseconds(5000)) {
    SDL_Delay(2);
  }
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
  PosixFileSystem files_;
};

TEST_F(SdlSoundTest, PromptsAreQueuedAtOnceAndSoundOneAfterTheOtherDecodedOnce) {
  SdlSound sound(files_, {folder_.string()});
  EXPECT_LT(MillisecondsToQueue(sound, "wave\\TONE"), 100);
  EXPECT_LT(MillisecondsToQueue(sound, "wave\\tone.wav"), 100);
  EXPECT_LT(MillisecondsToQueue(sound, "wave\\tone"), 100);
  EXPECT_TRUE(sound.HasDevice());
  EXPECT_EQ(sound.DecodeCount(), 1);
  EXPECT_GE(sound.QueuedLength().count(), 3 * 150);
  const long long took = MillisecondsUntilSounded(sound);
  EXPECT_GE(took, 2 * 150);
  EXPECT_LT(took, 3000);
}

// Words as a tone a tenth of a second a character long, counting its work.
class ToneVoice : public TextVoice {
 public:
  explicit ToneVoice(std::atomic<int>& made) : made_(made) {}
  std::vector<std::int16_t> Synthesize(const std::string& text) override {
    ++made_;
    return std::vector<std::int16_t>(text.size() * 2205, 4000);
  }
  int SampleRate() const override { return 22050; }

 private:
  std::atomic<int>& made_;
};

TEST_F(SdlSoundTest, WordsAreMadeOnceBesideTheLoopAndSoundInTheirPlace) {
  SdlSound sound(files_, {folder_.string()});
  std::atomic<int> made{0};
  sound.SetTextVoice(std::make_unique<ToneVoice>(made));
  sound.PlayPrompt("wave\\tone");
  const steady_clock::time_point start = steady_clock::now();
  sound.SpeakText("Tower");
  sound.SpeakText("Tower");
  EXPECT_LT(std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count(), 100);
  const long long took = MillisecondsUntilSounded(sound);
  EXPECT_EQ(made.load(), 1);
  // The words twice, half a second each, after what is left of the tone.
  EXPECT_GE(took, 2 * 450);
  EXPECT_LT(took, 5000);
  // Words still queued are a readout like any prompt: a cut drops them.
  sound.SpeakText("Harbour Ops");
  sound.CutReadouts();
  EXPECT_EQ(sound.QueuedLength().count(), 0);
}

TEST_F(SdlSoundTest, TheVoiceIsMadeFromTheNoteOfThePromptSetPlayedFrom) {
  {
    std::ofstream note(folder_ / "wave" / ".prompt-settings");
    note << "rate=300\nlang=de\nvoice=de\n";
  }
  SdlSound sound(files_, {folder_.string()});
  std::atomic<int> made{0};
  PromptVoice asked;
  sound.SetTextVoiceMaker([&made, &asked](const PromptVoice& voice) {
    asked = voice;
    return std::make_unique<ToneVoice>(made);
  });
  sound.PlayPrompt("wave\\tone");
  sound.SpeakText("Tower");
  MillisecondsUntilSounded(sound);
  EXPECT_EQ(asked, (PromptVoice{"de", "de", 300}));
  EXPECT_EQ(made.load(), 1);
}

TEST(PromptVoice, IsReadFromThePromptSetsNote) {
  EXPECT_EQ(ReadPromptVoice("rate=300\r\nlang=de\nvoice=\nnoise=1\nrate=fast\n"),
            (PromptVoice{"en-gb", "de", 300}));
  EXPECT_EQ(ReadPromptVoice(""), PromptVoice{});
}

TEST_F(SdlSoundTest, ACutDropsTheReadoutsAndLeavesWhatWasKept) {
  SdlSound sound(files_, {folder_.string()});
  sound.PlayPrompt("wave\\tone");
  sound.KeepUnit();
  sound.StartUnit();
  sound.PlayPrompt("wave\\tone");
  sound.PlayPrompt("wave\\tone");
  sound.CutReadouts();
  EXPECT_LE(sound.QueuedLength().count(), 200);
  EXPECT_GT(sound.QueuedLength().count(), 0);
  // A readout sounding when the cut comes stops at once.
  MillisecondsUntilSounded(sound);
  sound.PlayPrompt("wave\\tone");
  SDL_Delay(50);
  sound.CutReadouts();
  EXPECT_EQ(sound.QueuedLength().count(), 0);
}

TEST_F(SdlSoundTest, APathThatNamesNoFileOrNoWaveIsSilentAndReadOnlyOnce) {
  SdlSound sound(files_, {folder_.string()});
  // With the voice off the panel asks for "tone" alone: there is no such file
  // in the working folder itself.
  for (const char* path : {"wave\\missing", "elsewhere\\tone", "tone"}) {
    sound.PlayPrompt(path);
  }
  EXPECT_EQ(sound.DecodeCount(), 0);
  sound.PlayPrompt("wave\\broken");
  sound.PlayPrompt("wave\\broken");
  EXPECT_EQ(sound.DecodeCount(), 1);
  EXPECT_EQ(sound.QueuedLength().count(), 0);
}

TEST_F(SdlSoundTest, WithoutAnySoundDevicePromptsAreDroppedAtOnce) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  SdlSound sound(files_, {folder_.string()});
  EXPECT_LT(MillisecondsToQueue(sound, "wave\\tone"), 100);
  EXPECT_FALSE(sound.HasDevice());
  EXPECT_EQ(sound.QueuedLength().count(), 0);
}

TEST_F(SdlSoundTest, TheLastPromptIsHeardToItsEndBeforeTheSoundCloses) {
  const steady_clock::time_point start = steady_clock::now();
  {
    SdlSound sound(files_, {folder_.string()});
    sound.PlayPrompt("wave\\tone");
  }
  const long long took =
      std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
  EXPECT_GE(took, 150);
  EXPECT_LT(took, 3000);
}

}  // namespace
}  // namespace voxrig
