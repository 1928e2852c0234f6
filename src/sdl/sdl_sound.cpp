// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdl/sdl_sound.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "speech/prompt_path.h"

namespace voxrig {

namespace {

using std::chrono::milliseconds;

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

SdlSound::SdlSound(FileSystem& files, std::vector<std::string> promptRoots)
    : files_(&files), roots_(std::move(promptRoots)) {}

SdlSound::~SdlSound() {
  // Words are still made while the prompts queued before them drain.
  if (device_ != 0) {
    // A device that has stalled must not hold the panel's end for ever.
    const Uint64 giveUp = SDL_GetTicks64() + static_cast<Uint64>(QueuedLength().count()) + 2000;
    while (QueuedLength().count() > 0 && SDL_GetTicks64() < giveUp) SDL_Delay(5);
    // The last buffer handed to the device is still to sound.
    SDL_Delay(static_cast<Uint32>(LengthOf(deviceSpec_.size, deviceSpec_).count()) + 1);
    StopSynthesizing();
    SDL_CloseAudioDevice(device_);
  }
  StopSynthesizing();
  if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSound::OpenDeviceOnce() {
  if (deviceTried_) return;
  deviceTried_ = true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  audioStarted_ = true;
  // 32 kHz keeps all of a spoken prompt (espeak-ng speaks at 22.05 kHz)
  // and gives a 512-sample buffer of exactly 16 ms: the longest a cut
  // readout goes on sounding, and a whole number of milliseconds for the
  // drivers that time their buffers in milliseconds (SDL's dummy and disk
  // drivers, used by the tests and benchmarks; a buffer of 441 samples makes
  // SDL 2.26 corrupt its heap). Whatever the device offers instead is taken,
  // and each prompt is converted to it once.
  SDL_AudioSpec wanted{};
  wanted.freq = 32000;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = 512;
  wanted.callback = &SdlSound::FillBuffer;
  wanted.userdata = this;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &deviceSpec_, SDL_AUDIO_ALLOW_ANY_CHANGE);
  if (device_ == 0) return;
  // The device runs from now on, playing silence between prompts, so a
  // prompt never waits for it to start.
  SDL_PauseAudioDevice(device_, 0);
}

SdlSound::Samples SdlSound::Decode(const std::filesystem::path& file) {
  const std::string key = file.string();
  auto cached = clips_.find(key);
  if (cached != clips_.end()) return cached->second;

  ++decodeCount_;
  // A file that is no wave file is remembered as a silent clip, so it costs
  // no second reading either.
  std::vector<Uint8> converted;
  SDL_AudioSpec waveSpec{};
  Uint8* data = nullptr;
  Uint32 size = 0;
  if (SDL_LoadWAV(key.c_str(), &waveSpec, &data, &size)) {
    if (std::optional<std::vector<Uint8>> samples = Convert(waveSpec, data, size, deviceSpec_)) {
      converted = std::move(*samples);
    }
    SDL_FreeWAV(data);
  }
  auto samples = std::make_shared<const std::vector<Uint8>>(std::move(converted));
  return clips_.emplace(key, std::move(samples)).first->second;
}

void SdlSound::PlayPrompt(const std::string& path) {
  const std::optional<std::string> file = ResolvePromptPath(*files_, roots_, path);
  if (!file) return;
  promptFolder_ = std::filesystem::path(*file).parent_path().string();
  OpenDeviceOnce();
  if (device_ == 0) return;
  Samples samples = Decode(*file);
  if (samples->empty()) return;
  SDL_LockAudioDevice(device_);
  queue_.push_back(Queued{std::move(samples), nullptr, 0, unit_, unitKept_});
  SDL_UnlockAudioDevice(device_);
}

void SdlSound::SpeakText(const std::string& text) {
  if (!textVoice_ && voiceMaker_) {
    const std::string settings = promptFolder_.empty() ? std::string(".prompt-settings")
                                                       : promptFolder_ + "/.prompt-settings";
    textVoice_ = voiceMaker_(ReadPromptVoice(files_->ReadFile(settings).value_or("")));
    voiceMaker_ = nullptr;
  }
  if (!textVoice_ || text.empty()) return;
  OpenDeviceOnce();
  if (device_ == 0) return;
  std::shared_ptr<SpokenText>& spoken = spoken_[text];
  if (!spoken) {
    spoken = std::make_shared<SpokenText>();
    if (!synthesizer_.joinable()) synthesizer_ = std::thread(&SdlSound::SynthesizeWork, this);
    {
      std::lock_guard<std::mutex> lock(workLock_);
      work_.emplace_back(text, spoken);
    }
    workArrived_.notify_one();
  }
  SDL_LockAudioDevice(device_);
  queue_.push_back(Queued{nullptr, spoken, 0, unit_, unitKept_});
  SDL_UnlockAudioDevice(device_);
}

void SdlSound::SynthesizeWork() {
  for (;;) {
    std::pair<std::string, std::shared_ptr<SpokenText>> next;
    {
      std::unique_lock<std::mutex> lock(workLock_);
      workArrived_.wait(lock, [this] { return stopping_ || !work_.empty(); });
      if (stopping_) break;
      next = std::move(work_.front());
      work_.pop_front();
    }
    const std::vector<std::int16_t> samples = textVoice_->Synthesize(next.first);
    std::vector<Uint8> converted;
    if (!samples.empty() && textVoice_->SampleRate() > 0) {
      SDL_AudioSpec voiceSpec{};
      voiceSpec.freq = textVoice_->SampleRate();
      voiceSpec.format = AUDIO_S16SYS;
      voiceSpec.channels = 1;
      const auto* bytes = reinterpret_cast<const Uint8*>(samples.data());
      const auto size = static_cast<Uint32>(samples.size() * sizeof(std::int16_t));
      if (auto made = Convert(voiceSpec, bytes, size, deviceSpec_)) converted = std::move(*made);
    }
    next.second->samples = std::make_shared<const std::vector<Uint8>>(std::move(converted));
    next.second->ready.store(true, std::memory_order_release);
  }
  // The voice is freed on the thread that used it.
  textVoice_->Close();
}

void SdlSound::StopSynthesizing() {
  if (!synthesizer_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(workLock_);
    stopping_ = true;
  }
  // Whatever is being made is not waited for: the panel is ending.
  textVoice_->Interrupt();
  workArrived_.notify_one();
  synthesizer_.join();
}

void SdlSound::StartUnit() {
  ++unit_;
  unitKept_ = false;
}

void SdlSound::KeepUnit() {
  unitKept_ = true;
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  for (Queued& prompt : queue_) prompt.kept = prompt.kept || prompt.unit == unit_;
  SDL_UnlockAudioDevice(device_);
}

void SdlSound::CutReadouts() {
  if (device_ != 0) {
    SDL_LockAudioDevice(device_);
    std::erase_if(queue_, [](const Queued& prompt) { return !prompt.kept; });
    SDL_UnlockAudioDevice(device_);
  }
  StartUnit();
}

void SdlSound::EndWithThisUnit() {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  std::erase_if(queue_,
                [this](const Queued& prompt) { return !(unitKept_ && prompt.unit == unit_); });
  SDL_UnlockAudioDevice(device_);
}

milliseconds SdlSound::QueuedLength() {
  if (device_ == 0) return milliseconds(0);
  std::size_t bytes = 0;
  SDL_LockAudioDevice(device_);
  for (const Queued& prompt : queue_) {
    // Words still being made count as one buffer until they are there.
    bytes += prompt.samples ? prompt.samples->size() - prompt.played : deviceSpec_.size;
  }
  SDL_UnlockAudioDevice(device_);
  return LengthOf(bytes, deviceSpec_);
}

// The device asks for one buffer at a time: the queued prompts fill it back
// to back, so the next prompt follows in the same buffer without a gap, and
// silence fills the rest.
void SdlSound::FillBuffer(void* self, Uint8* stream, int length) {
  SdlSound& sound = *static_cast<SdlSound*>(self);
  const std::size_t wanted = static_cast<std::size_t>(std::max(length, 0));
  std::size_t filled = 0;
  while (filled < wanted && !sound.queue_.empty()) {
    Queued& front = sound.queue_.front();
    if (!front.samples) {
      // Words still being made hold back what follows them: silence till then.
      if (!front.text->ready.load(std::memory_order_acquire)) break;
      front.samples = front.text->samples;
    }
    const std::size_t take = std::min(wanted - filled, front.samples->size() - front.played);
    // Words that could not be made have no samples at all, and nothing to copy.
    if (take > 0) std::memcpy(stream + filled, front.samples->data() + front.played, take);
    filled += take;
    front.played += take;
    if (front.played >= front.samples->size()) sound.queue_.pop_front();
  }
  std::memset(stream + filled, sound.deviceSpec_.silence, wanted - filled);
}

}  // namespace voxrig
