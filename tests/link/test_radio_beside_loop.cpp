// SPDX-License-Identifier: GPL-3.0-or-later
// A slow radio carried out beside the loop: calls return at once, answers
// and what the calls came to arrive later, and the loop is woken for each.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/memory_file_system.h"
#include "fakes/slow_radio.h"
#include "link/radio_beside_loop.h"
#include "link/radio_capabilities.h"

namespace voxrig {
namespace {

class RadioBesideTheLoopTest : public ::testing::Test {
 protected:
  RadioBesideTheLoopTest() {
    wakeup->Set([this] { ++wakes; });
    radio.SetWireLog(log.get());
  }
  ~RadioBesideTheLoopTest() override {
    slow.Open();
    wakeup->Set({});
  }
  // Real time, for the radio's thread: bounded, so a fault fails the test
  // rather than hanging it.
  template <typename Condition>
  bool Eventually(Condition condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
  bool Ended() {
    return Eventually([this] { return !radio.CallsOutstanding(); });
  }

  fakes::MemoryFileSystem files;
  std::unique_ptr<OutputFile> log = files.CreateFile("debug1.dat");
  std::shared_ptr<RadioWakeup> wakeup = std::make_shared<RadioWakeup>();
  std::atomic<int> wakes{0};
  std::unique_ptr<fakes::SlowRadio> owned = std::make_unique<fakes::SlowRadio>();
  fakes::SlowRadio& slow = *owned;
  RadioBesideTheLoop radio{std::move(owned), wakeup};
};

TEST_F(RadioBesideTheLoopTest, CallsReturnAtOnceAndTheirAnswersComeOnceTheRadioHasDoneThem) {
  EXPECT_EQ(radio.SetFrequency(Vfo::kA, "145.5"), RadioResult::kDone);
  EXPECT_EQ(radio.AskReception(), RadioResult::kDone);
  EXPECT_TRUE(radio.CallsOutstanding());
  EXPECT_FALSE(radio.WholeAnswerWaiting());
  EXPECT_FALSE(radio.TakeReception().has_value());
  EXPECT_EQ(wakes, 0);

  slow.Open();
  ASSERT_TRUE(Ended());
  EXPECT_TRUE(Eventually([this] { return wakes == 2; }));
  EXPECT_TRUE(radio.WholeAnswerWaiting());
  EXPECT_TRUE(radio.AnswerWaiting());
  ASSERT_TRUE(radio.TakeReception().has_value());
  EXPECT_TRUE(radio.Answered());
  EXPECT_FALSE(radio.LateRefusal());
  // The radio's lines reach the log on the loop's side, in order.
  EXPECT_EQ(files.files["debug1.dat"], "TX= set_freq 145.5\r\nTX= get_level\r\n");
}

TEST_F(RadioBesideTheLoopTest, ARefusalAndALostLineAreLearnedWhenTheCallsEnd) {
  slow.Open();
  slow.refuse = true;
  radio.SetFrequency(Vfo::kA, "145.5");
  ASSERT_TRUE(Ended());
  EXPECT_TRUE(radio.LateRefusal());
  EXPECT_FALSE(radio.LateRefusal());  // told once

  slow.gone = true;
  const int before = wakes;
  radio.AskReception();
  ASSERT_TRUE(Ended());
  EXPECT_TRUE(Eventually([&] { return wakes > before; }));
  EXPECT_TRUE(radio.LineGone());
  EXPECT_EQ(radio.SetFrequency(Vfo::kA, "145.5"), RadioResult::kLineGone);
}

TEST_F(RadioBesideTheLoopTest, AnAnswerAskedForBeforeTheAnswersWereDroppedIsNotKept) {
  radio.AskReception();
  radio.DropLateAnswers();
  slow.Open();
  ASSERT_TRUE(Ended());
  EXPECT_FALSE(radio.AnswerWaiting());
  EXPECT_FALSE(radio.TakeReception().has_value());
}

// Between calls, a sweep the panel makes is stepped as the radio answers,
// until it rests; nothing is stepped while a call is under way.
TEST_F(RadioBesideTheLoopTest, ASweepIsSteppedBetweenCallsUntilItRests) {
  slow.sweepSteps = 5;
  radio.SetFrequency(Vfo::kA, "145.5");
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(slow.stepsTaken, 0);
  slow.Open();
  EXPECT_TRUE(Eventually([this] { return slow.stepsTaken == 5; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * RadioBesideTheLoop::kSweepDwellMs));
  EXPECT_EQ(slow.stepsTaken, 5);
}

// A radio opened on the radio's thread: calls made while it opens wait for
// it, and a radio that does not open counts as a line gone, told to the loop.
TEST(RadioBesideTheLoopOpening, CallsWaitForTheOpenAndARadioThatDoesNotOpenIsGone) {
  for (const bool opens : {true, false}) {
    std::mutex mutex;
    std::condition_variable changed;
    bool go = false;
    std::atomic<int> wakes{0};
    auto wakeup = std::make_shared<RadioWakeup>();
    wakeup->Set([&wakes] { ++wakes; });
    RadioBesideTheLoop radio(
        [&]() -> std::unique_ptr<Receiver> {
          std::unique_lock<std::mutex> lock(mutex);
          changed.wait(lock, [&go] { return go; });
          if (!opens) return nullptr;
          auto slow = std::make_unique<fakes::SlowRadio>();
          slow->Open();
          return slow;
        },
        Ar8600Capabilities(), wakeup);
    EXPECT_EQ(radio.AskReception(), RadioResult::kDone);
    EXPECT_TRUE(radio.CallsOutstanding());
    {
      const std::lock_guard<std::mutex> lock(mutex);
      go = true;
    }
    changed.notify_all();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (radio.CallsOutstanding() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(radio.CallsOutstanding());
    EXPECT_EQ(radio.TakeReception().has_value(), opens);
    EXPECT_EQ(radio.LineGone(), !opens);
    EXPECT_GE(wakes, 1);
    wakeup->Set({});
  }
}

}  // namespace
}  // namespace voxrig
