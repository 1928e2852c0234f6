// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "espeak/espeak_voice.h"

namespace voxrig {
namespace {

struct Made {
  std::vector<std::int16_t> samples;
  int sampleRate = 0;
};

// A name is made on a thread of its own, as the sound device makes it, and
// waited for a few seconds at most: a voice that hangs fails the test rather
// than holding the suite.
TEST(EspeakVoice, SaysANameInThePromptSetsVoiceWithinSeconds) {
  auto voice = std::make_shared<EspeakVoice>(PromptVoice{"en-gb", "en", 240});
  auto made = std::make_shared<std::promise<Made>>();
  std::future<Made> result = made->get_future();
  std::thread([voice, made] {
    Made out;
    out.samples = voice->Synthesize("Harbour Ops");
    out.sampleRate = voice->SampleRate();
    voice->Close();
    made->set_value(std::move(out));
  }).detach();
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready)
      << "espeak-ng did not make the name within ten seconds";
  const Made out = result.get();
  EXPECT_GT(out.sampleRate, 0);
  // "Harbour Ops" takes well over a tenth of a second to say.
  EXPECT_GT(out.samples.size(), static_cast<std::size_t>(out.sampleRate / 10));
}

TEST(EspeakVoice, SaysNothingOnceInterrupted) {
  EspeakVoice voice(PromptVoice{});
  voice.Interrupt();
  EXPECT_TRUE(voice.Synthesize("Tower").empty());
  voice.Close();
}

}  // namespace
}  // namespace voxrig
