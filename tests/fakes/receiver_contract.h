// SPDX-License-Identifier: GPL-3.0-or-later
// What every radio behind the panel's Receiver does alike: the same calls,
// the same outcomes, against each implementation a maker in the suite's
// table opens. A test file includes this once and names its radios with
// INSTANTIATE_TEST_SUITE_P(..., ReceiverContract, ::testing::Values(...)).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/receiver.h"

namespace voxrig {

struct ReceiverMaker {
  const char* name;
  // A radio, open and answering.
  std::function<std::unique_ptr<Receiver>()> open;
  // Lets an answer the radio owes arrive (a radio on a line answers a tick
  // later); nothing for a radio that answers at once.
  std::function<void(Receiver&)> letAnswerArrive;
};

// The radio's name in the test's output, rather than its bytes.
inline void PrintTo(const ReceiverMaker& maker, std::ostream* out) {
  *out << maker.name;
}

inline std::string ReceiverMakerName(const ::testing::TestParamInfo<ReceiverMaker>& info) {
  return info.param.name;
}

class ReceiverContract : public ::testing::TestWithParam<ReceiverMaker> {
 protected:
  void SetUp() override {
    radio = GetParam().open();
    ASSERT_NE(radio, nullptr);
  }

  void LetAnswerArrive() {
    if (GetParam().letAnswerArrive) GetParam().letAnswerArrive(*radio);
  }

  // Takes the answer to the question just asked: a few chances for it to
  // arrive, never a wait on the clock.
  template <typename Answer>
  std::optional<Answer> Await(const std::function<std::optional<Answer>()>& take) {
    for (int chance = 0; chance < 20; ++chance) {
      if (auto answer = take()) return answer;
      LetAnswerArrive();
    }
    return std::nullopt;
  }

  ReceiveState State() {
    EXPECT_EQ(radio->AskReceiveState(), RadioResult::kDone);
    const auto state = Await<ReceiveState>([&] { return radio->TakeReceiveState(); });
    EXPECT_TRUE(state.has_value());
    return state.value_or(ReceiveState{});
  }

  std::optional<MemoryChannel> FirstChannelOf(char bank) {
    EXPECT_EQ(radio->AskBankChannels(bank, true), RadioResult::kDone);
    const auto batch = Await<BankBatch>([&] { return radio->TakeBankChannels(bank); });
    if (!batch || batch->channels.empty()) return std::nullopt;
    return batch->channels.front();
  }

  const ReceiverCapabilities& Caps() const { return radio->Capabilities(); }

  std::unique_ptr<Receiver> radio;
};

TEST_P(ReceiverContract, TunesStepsAndReportsWhereItIs) {
  struct Row {
    std::string megahertz;
    std::string stepKilohertz;
    std::int64_t hz;
    std::string text;
    std::int64_t stepHz;
  };
  const std::vector<Row> rows = {
      {"145.5", "12.5", 145500000, "145.5", 12500},
      {"446.00625", "6.25", 446006250, "446.00625", 6250},
      {"118", "25", 118000000, "118.0", 25000},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(Caps().Receives(row.hz)) << row.megahertz;
    EXPECT_EQ(radio->SetFrequency(Vfo::kA, row.megahertz), RadioResult::kDone) << row.megahertz;
    EXPECT_EQ(radio->SetStep(row.stepKilohertz), RadioResult::kDone) << row.stepKilohertz;
    const ReceiveState state = State();
    ASSERT_TRUE(state.frequency.has_value()) << row.megahertz;
    EXPECT_EQ(state.frequency->hz, row.hz);
    EXPECT_EQ(state.frequency->text, row.text);
    EXPECT_EQ(state.stepHz, row.stepHz) << row.stepKilohertz;
  }
  EXPECT_FALSE(radio->LineGone());
}

TEST_P(ReceiverContract, SelectsTheModesItHasAndRefusesTheRest) {
  for (const Mode mode : {Mode::kFM, Mode::kAM, Mode::kLSB, Mode::kUSB, Mode::kWFM, Mode::kCW}) {
    if (!Caps().HasMode(mode)) {
      EXPECT_EQ(radio->SelectMode(mode), RadioResult::kNotOnThisRadio);
      continue;
    }
    EXPECT_EQ(radio->SelectMode(mode), RadioResult::kDone);
    EXPECT_EQ(State().mode, mode);
  }
}

TEST_P(ReceiverContract, SwitchesTheAttenuatorAndNoiseLimiterItHas) {
  for (const bool on : {true, false}) {
    if (Caps().attenuator) {
      EXPECT_EQ(radio->SetAttenuator(on), RadioResult::kDone);
      EXPECT_EQ(State().attenuatorOn, on);
    } else {
      EXPECT_EQ(radio->SetAttenuator(on), RadioResult::kNotOnThisRadio);
    }
    EXPECT_EQ(radio->SetNoiseLimiter(on),
              Caps().noiseLimiter ? RadioResult::kDone : RadioResult::kNotOnThisRadio);
  }
}

TEST_P(ReceiverContract, AnswersEachQuestionOnceAndDropsLateAnswers) {
  EXPECT_EQ(radio->ReportLevelChanges(), RadioResult::kDone);
  EXPECT_EQ(radio->AskReception(), RadioResult::kDone);
  const auto heard = Await<Reception>([&] { return radio->TakeReception(); });
  ASSERT_TRUE(heard.has_value());
  EXPECT_GE(heard->level, 0);
  EXPECT_LE(heard->level, 255);
  EXPECT_FALSE(radio->TakeReception().has_value()) << "an answer is taken once";

  EXPECT_EQ(radio->AskReception(), RadioResult::kDone);
  LetAnswerArrive();
  EXPECT_TRUE(radio->AnswerWaiting());
  radio->DropLateAnswers();
  EXPECT_FALSE(radio->AnswerWaiting());
  EXPECT_FALSE(radio->TakeReception().has_value());
}

TEST_P(ReceiverContract, WritesReadsRecallsAndClearsItsMemories) {
  if (!Caps().memories.write) GTEST_SKIP() << "no memories to write";
  ASSERT_TRUE(Caps().HasBank('A'));
  ASSERT_EQ(radio->WriteChannel('A', 0, "145.5", "12.5", "FM", "Repeater"), RadioResult::kDone);
  const auto written = FirstChannelOf('A');
  ASSERT_TRUE(written.has_value());
  EXPECT_FALSE(written->empty);
  EXPECT_EQ(written->hz, 145500000);
  EXPECT_EQ(written->stepHz, 12500);
  EXPECT_EQ(written->mode, Mode::kFM);
  EXPECT_EQ(written->name.substr(0, 8), "Repeater");

  ASSERT_EQ(radio->RecallChannel('A', 0), RadioResult::kDone);
  const ReceiveState state = State();
  ASSERT_TRUE(state.frequency.has_value());
  EXPECT_EQ(state.frequency->hz, 145500000);
  EXPECT_EQ(radio->AskCurrentChannel(), RadioResult::kDone);
  const auto current = Await<MemoryChannel>([&] { return radio->TakeCurrentChannel(); });
  ASSERT_TRUE(current.has_value());
  EXPECT_EQ(current->bank, 'A');
  EXPECT_EQ(current->channel, 0);

  ASSERT_EQ(radio->ClearBank('A'), RadioResult::kDone);
  const auto cleared = FirstChannelOf('A');
  ASSERT_TRUE(cleared.has_value());
  EXPECT_TRUE(cleared->empty);
  // A cleared channel recalls nothing: refused at once, or refused by the
  // radio's answer, the radio stays where it was tuned.
  ASSERT_EQ(radio->SetFrequency(Vfo::kA, "146"), RadioResult::kDone);
  EXPECT_NE(radio->RecallChannel('A', 0), RadioResult::kLineGone);
  const ReceiveState after = State();
  ASSERT_TRUE(after.frequency.has_value());
  EXPECT_EQ(after.frequency->hz, 146000000);
}

TEST_P(ReceiverContract, SearchesBetweenTheVfosAndGoesOnUntilRetuned) {
  ASSERT_EQ(radio->SetFrequency(Vfo::kA, "145"), RadioResult::kDone);
  ASSERT_EQ(radio->SetFrequency(Vfo::kB, "145.05"), RadioResult::kDone);
  ASSERT_EQ(radio->SetStep("25"), RadioResult::kDone);
  ASSERT_EQ(radio->StartSearch(), RadioResult::kDone);
  for (int question = 0; question < 4; ++question) {
    ASSERT_EQ(radio->AskReception(), RadioResult::kDone);
    const auto heard = Await<Reception>([&] { return radio->TakeReception(); });
    ASSERT_TRUE(heard.has_value());
    ASSERT_EQ(radio->GoOn(), RadioResult::kDone);
  }
  // Tuning VFO A ends the search there.
  ASSERT_EQ(radio->SetFrequency(Vfo::kA, "146"), RadioResult::kDone);
  const ReceiveState state = State();
  ASSERT_TRUE(state.frequency.has_value());
  EXPECT_EQ(state.frequency->hz, 146000000);
  EXPECT_FALSE(radio->LineGone());
}

}  // namespace voxrig
