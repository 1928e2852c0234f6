#include "platform/sdl_sound.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/posix_file_system.h"
#include "platform/prompt_path.h"

namespace voxrig {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::filesystem::path CurrentFolder() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::current_path(error);
  return error ? std::filesystem::path(".") : folder;
}

int BytesPerSecond(const SDL_AudioSpec& audio) {
  return audio.freq * audio.channels * static_cast<int>(SDL_AUDIO_BITSIZE(audio.format) / 8);
}

milliseconds LengthOf(std::size_t bytes, const SDL_AudioSpec& audio) {
  const int perSecond = BytesPerSecond(audio);
  if (perSecond <= 0) return milliseconds(0);
  return milliseconds(static_cast<long long>(bytes) * 1000 / perSecond);
}

// Converts a wave file's samples to the device's format, resampling if need
// be. (SDL_AudioCVT rather than SDL_AudioStream: the stream drops the last
// few hundredths of a second of a resampled prompt.)
std::optional<std::vector<Uint8>> Convert(const SDL_AudioSpec& from, const Uint8* data, Uint32 size,
                                          const SDL_AudioSpec& to) {
  SDL_AudioCVT cvt;
  const int needed = SDL_BuildAudioCVT(&cvt, from.format, from.channels, from.freq, to.format,
                                       to.channels, to.freq);
  if (needed < 0) return std::nullopt;
  // Whole sample frames only: a file cut short mid-frame loses that frame.
  const Uint32 frameBytes =
      std::max<Uint32>(1, from.channels * (SDL_AUDIO_BITSIZE(from.format) / 8));
  const Uint32 whole = size - size % frameBytes;
  std::vector<Uint8> samples(static_cast<std::size_t>(whole) * std::max(1, cvt.len_mult));
  std::copy(data, data + whole, samples.begin());
  if (needed == 0) {
    samples.resize(whole);
    return samples;
  }
  cvt.len = static_cast<int>(whole);
  cvt.buf = samples.data();
  if (SDL_ConvertAudio(&cvt) != 0) return std::nullopt;
  samples.resize(static_cast<std::size_t>(cvt.len_cvt));
  return samples;
}

}  // namespace

SdlSound::SdlSound() : ownFiles_(std::make_unique<PosixFileSystem>()) {
  files_ = ownFiles_.get();
  roots_ = PromptRootsOfThisProcess(CurrentFolder().string());
}

SdlSound::SdlSound(std::filesystem::path workingFolder)
    : ownFiles_(std::make_unique<PosixFileSystem>()),
      files_(ownFiles_.get()),
      roots_{workingFolder.string()} {}

SdlSound::SdlSound(FileSystem& files, std::vector<std::string> promptRoots)
    : files_(&files), roots_(std::move(promptRoots)) {}

SdlSound::~SdlSound() {
  if (device_ != 0) {
    // The last prompt ("quit" before the panel ends) is heard to its end; the
    // waiter may be gone by now.
    std::this_thread::sleep_until(tailEnds_);
    SDL_CloseAudioDevice(device_);
  }
  if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSound::OpenDeviceOnce() {
  if (deviceTried_) return;
  deviceTried_ = true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  audioStarted_ = true;
  // 32 kHz keeps all of a spoken prompt (espeak-ng speaks at 22.05 kHz)
  // and gives a 512-sample buffer of exactly 16 ms: short enough to keep the
  // program within a buffer of what the listener hears, and a whole number of
  // milliseconds for the drivers that time their buffers in milliseconds
  // (SDL's dummy and disk drivers, used by the tests and benchmarks; a buffer
  // of 441 samples makes SDL 2.26 corrupt its heap). Whatever the device offers
  // instead is taken, and each prompt is converted to it once.
  SDL_AudioSpec wanted{};
  wanted.freq = 32000;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = 512;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &deviceSpec_, SDL_AUDIO_ALLOW_ANY_CHANGE);
  if (device_ == 0) return;
  // The device runs from now on, playing silence between prompts, so a
  // prompt never waits for it to start.
  SDL_PauseAudioDevice(device_, 0);
}

const SdlSound::Clip& SdlSound::Decode(const std::filesystem::path& file) {
  const std::string key = file.string();
  auto cached = clips_.find(key);
  if (cached != clips_.end()) return cached->second;

  ++decodeCount_;
  // A file that is no wave file is remembered as a silent clip, so it costs
  // no second reading either.
  Clip clip;
  SDL_AudioSpec waveSpec{};
  Uint8* data = nullptr;
  Uint32 size = 0;
  if (SDL_LoadWAV(key.c_str(), &waveSpec, &data, &size)) {
    if (device_ != 0) {
      if (std::optional<std::vector<Uint8>> samples = Convert(waveSpec, data, size, deviceSpec_)) {
        clip.length = LengthOf(samples->size(), deviceSpec_);
        clip.samples = std::move(*samples);
      }
    } else {
      clip.length = LengthOf(size, waveSpec);
    }
    SDL_FreeWAV(data);
  }
  return clips_.emplace(key, std::move(clip)).first->second;
}

void SdlSound::PlayPrompt(const std::string& path) {
  const std::optional<std::string> file = ResolvePromptPath(*files_, roots_, path);
  if (!file) return;
  OpenDeviceOnce();
  const Clip& clip = Decode(*file);
  if (clip.length.count() == 0) return;

  const Clock::time_point start = Clock::now();
  if (device_ != 0 && !clip.samples.empty() &&
      SDL_QueueAudio(device_, clip.samples.data(), static_cast<Uint32>(clip.samples.size())) == 0) {
    WaitUntilSounded(start + clip.length - BufferLength() * 2);
  } else {
    // No device, or one that refused the samples: the prompt still takes
    // its own length, since the receiver's pacing is that length.
    WaitUntil(start + clip.length);
  }
  tailEnds_ = Clock::now() + QueuedLength() + BufferLength() * 2;
}

milliseconds SdlSound::BufferLength() const {
  if (deviceSpec_.freq <= 0) return milliseconds(0);
  return milliseconds(deviceSpec_.samples * 1000LL / deviceSpec_.freq + 1);
}

milliseconds SdlSound::QueuedLength() const {
  if (device_ == 0) return milliseconds(0);
  return LengthOf(SDL_GetQueuedAudioSize(device_), deviceSpec_);
}

// A prompt has sounded once no more than two device buffers of it are left
// waiting: the device takes that remainder at its next requests, and the next
// prompt, queued right behind it, follows in the same buffer, so the two
// follow each other without a gap and a pause lasts its own length. Two
// buffers rather than one leave the program a buffer's time (16 ms) to queue
// the next prompt on a busy machine. The queue tells the device's own pace;
// waiting for it to run dry instead would round every prompt up to whole
// buffers. NOT_BEFORE keeps the prompt's length with a driver that swallows
// samples at once.
void SdlSound::WaitUntilSounded(Clock::time_point notBefore) {
  const int perSecond = std::max(1, BytesPerSecond(deviceSpec_));
  const Uint32 slack = std::max<Uint32>(deviceSpec_.size, 1) * 2;
  const Clock::time_point giveUp = Clock::now() + QueuedLength() + milliseconds(2000);
  while (true) {
    const Uint32 queued = SDL_GetQueuedAudioSize(device_);
    const Clock::time_point now = Clock::now();
    if (queued <= slack && now >= notBefore) return;
    if (now >= giveUp) {
      // The device has stalled: what it left must not play before the next
      // prompt.
      SDL_ClearQueuedAudio(device_);
      return;
    }
    if (queued > slack) {
      // Sleeps until the device should have taken all but one buffer, then
      // looks again: few wake-ups, each close to the moment.
      const long long leftUs = static_cast<long long>(queued - slack) * 1000000 / perSecond;
      WaitUntil(Clock::now() + std::chrono::microseconds(std::max(500LL, leftUs)));
    } else {
      WaitUntil(notBefore);
    }
  }
}

void SdlSound::WaitUntil(Clock::time_point deadline) {
  if (waiter_ != nullptr) {
    waiter_->WaitUntil(deadline);
  } else {
    std::this_thread::sleep_until(deadline);
  }
}

}  // namespace voxrig
