// SPDX-License-Identifier: GPL-3.0-or-later
// A radio driven through Hamlib as the panel's Receiver: Hamlib's dummy
// radio (model 1) in this process, and what Hamlib's records of its models
// say they can do.
#include <gtest/gtest.h>
#include <hamlib/rig.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fakes/receiver_contract.h"
#include "hamlib/hamlib_capabilities.h"
#include "hamlib/hamlib_library.h"
#include "hamlib/hamlib_numbers.h"
#include "hamlib/hamlib_radio.h"
#include "posix/termios_serial.h"

namespace voxrig {
namespace {

// Hamlib's dummy radio, opened as the panel opens a radio.
std::unique_ptr<Receiver> OpenDummy() {
  static TermiosDeviceLocker devices;
  static HamlibLibrary library(devices);
  return library.OpenRadio(1, "/dev/null", 19200).radio;
}

// The dummy, with what it can do as given: a radio without a search of its
// own, or without memories, is the dummy with its record changed.
std::unique_ptr<HamlibRadio> DummyWith(void (*change)(ReceiverCapabilities&)) {
  rig_set_debug(RIG_DEBUG_NONE);
  RIG* rig = rig_init(1);
  if (rig == nullptr || rig_open(rig) != RIG_OK) return nullptr;
  ReceiverCapabilities caps = CapabilitiesOfCaps(*rig->caps);
  change(caps);
  return std::make_unique<HamlibRadio>(rig, caps);
}

INSTANTIATE_TEST_SUITE_P(ThroughHamlib, ReceiverContract,
                         ::testing::Values(ReceiverMaker{"Dummy", OpenDummy, nullptr}),
                         ReceiverMakerName);

// As `rigctl -m <model> --dump-caps` prints them: Mfg name, Model name, the
// RX ranges, the Tuning steps, the Mode list, the Attenuator, NB or ANL
// among the Set functions, VFO among the Scan Ops with a targetable VFO, and
// the MEM lines of Memories.
TEST(HamlibModelCapabilities, AreReadFromHamlibsRecordWithoutARadio) {
  struct Row {
    int model;
    const char* maker;
    const char* modelName;
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    std::int64_t resolutionHz;
    std::vector<Mode> modes;
    bool attenuator;
    bool noiseLimiter;
    bool searchesByItself;
    std::string banks;
    int channelsPerBank;
  };
  const std::vector<Row> rows = {
      {1,
       "Hamlib",
       "Dummy",
       {{150000, 1500000000}},
       1,
       {Mode::kFM, Mode::kAM, Mode::kWFM, Mode::kLSB, Mode::kUSB, Mode::kCW},
       true,
       true,
       true,
       "A",
       19},
      {3079,
       "Icom",
       "IC-R8600",
       {{10000, 3000000000}},
       100,
       {Mode::kFM, Mode::kAM, Mode::kWFM, Mode::kLSB, Mode::kUSB, Mode::kCW},
       true,
       true,
       false,
       "A",
       100},
      {5013,
       "AOR",
       "AR8600",
       {{100000, 2040000000}},
       50,
       {Mode::kFM, Mode::kAM, Mode::kWFM, Mode::kLSB, Mode::kUSB, Mode::kCW},
       true,
       false,
       false,
       "ABCDEFGHIJ",
       100},
  };
  TermiosDeviceLocker devices;
  HamlibLibrary library(devices);
  for (const Row& row : rows) {
    const auto caps = library.CapabilitiesOf(row.model);
    ASSERT_TRUE(caps.has_value()) << row.model;
    EXPECT_EQ(caps->maker, row.maker);
    EXPECT_EQ(caps->modelName, row.modelName);
    EXPECT_EQ(caps->hamlibModel, row.model);
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    for (const FrequencyRange& range : caps->receiveRanges) {
      ranges.emplace_back(range.lowestHz, range.highestHz);
    }
    EXPECT_EQ(ranges, row.ranges) << row.model;
    EXPECT_EQ(caps->tuningResolutionHz, row.resolutionHz) << row.model;
    EXPECT_EQ(caps->modes, row.modes) << row.model;
    EXPECT_EQ(caps->attenuator, row.attenuator) << row.model;
    EXPECT_EQ(caps->noiseLimiter, row.noiseLimiter) << row.model;
    EXPECT_EQ(caps->searchesByItself, row.searchesByItself) << row.model;
    EXPECT_EQ(caps->memories.banks, row.banks) << row.model;
    EXPECT_EQ(caps->memories.channelsPerBank, row.channelsPerBank) << row.model;
    EXPECT_TRUE(caps->memories.read && caps->memories.write && caps->memories.scan) << row.model;
    EXPECT_FALSE(caps->memories.resize) << row.model;
  }
  EXPECT_FALSE(library.CapabilitiesOf(987654).has_value());
}

TEST(HamlibModes, AreThePanelsModesByHamlibsNames) {
  const std::vector<std::pair<rmode_t, std::optional<Mode>>> rows = {
      {RIG_MODE_FM, Mode::kFM},      {RIG_MODE_FMN, Mode::kFM},     {RIG_MODE_WFM, Mode::kWFM},
      {RIG_MODE_AM, Mode::kAM},      {RIG_MODE_AMN, Mode::kAM},     {RIG_MODE_USB, Mode::kUSB},
      {RIG_MODE_LSB, Mode::kLSB},    {RIG_MODE_CW, Mode::kCW},      {RIG_MODE_CWR, Mode::kCW},
      {RIG_MODE_RTTY, std::nullopt}, {RIG_MODE_NONE, std::nullopt},
  };
  for (const auto& [hamlib, mode] : rows) EXPECT_EQ(PanelModeOf(hamlib), mode) << hamlib;
  EXPECT_EQ(HamlibModeOf(Mode::kCW), RIG_MODE_CW);
  EXPECT_EQ(HamlibModeOf(Mode::kAUT), RIG_MODE_NONE);
}

TEST(HamlibNumbers, ReadThePanelsDecimalsAndTellFrequenciesInItsTexts) {
  EXPECT_EQ(ScaledDecimal("145.5", 6), 145500000);
  EXPECT_EQ(ScaledDecimal("446.00625", 6), 446006250);
  EXPECT_EQ(ScaledDecimal("145.12345678", 6), 145123456);
  EXPECT_EQ(ScaledDecimal("12.5", 3), 12500);
  EXPECT_EQ(ScaledDecimal("25", 3), 25000);
  for (const char* bad : {"", ".", "14a.5", "1.2.3", "-5", "1234567890"}) {
    EXPECT_EQ(ScaledDecimal(bad, 6), std::nullopt) << bad;
  }
  const HeardFrequency heard = HeardFrequencyOf(145512500);
  EXPECT_EQ(heard.digits, "0145512500");
  EXPECT_EQ(heard.text, "145.5125");
  EXPECT_EQ(HeardFrequencyOf(145000000).text, "145.0");
  EXPECT_EQ(HeardFrequencyOf(2500000000).text, "2500.0");
}

// The dummy's carrier detect and strength come and go by themselves, so the
// search rests now and then: what holds is that it visits every step
// between the limits, and only those, and that a rest tells where.
TEST(HamlibRadioOwnSweep, StepsFromVfoAToVfoBAndWrapsRound) {
  const auto radio = DummyWith([](ReceiverCapabilities& caps) { caps.searchesByItself = false; });
  ASSERT_NE(radio, nullptr);
  radio->SetFrequency(Vfo::kA, "145");
  radio->SetFrequency(Vfo::kB, "145.05");
  radio->SetStep("25");
  ASSERT_EQ(radio->ReportLevelChanges(), RadioResult::kDone);
  ASSERT_EQ(radio->StartSearch(), RadioResult::kDone);
  std::set<std::int64_t> visited;
  for (int question = 0; question < 16; ++question) {
    ASSERT_EQ(radio->AskReception(), RadioResult::kDone);
    const auto heard = radio->TakeReception();
    ASSERT_TRUE(heard.has_value());
    ASSERT_EQ(radio->AskReceiveState(), RadioResult::kDone);
    visited.insert(radio->TakeReceiveState()->frequency->hz);
    if (heard->squelchOpen) {
      ASSERT_TRUE(heard->holdsAt.has_value());
      EXPECT_TRUE(visited.contains(heard->holdsAt->hz));
      radio->GoOn();
    }
  }
  EXPECT_EQ(visited, (std::set<std::int64_t>{145000000, 145025000, 145050000}));
  // Going on with nothing resting steps the frequency up one step.
  radio->SetFrequency(Vfo::kA, "146");
  radio->GoOn();
  radio->AskReceiveState();
  EXPECT_EQ(radio->TakeReceiveState()->frequency->hz, 146025000);
}

// Stepped between the level questions, the sweep goes on from frequency to
// frequency until the radio hears something (the dummy's carrier detect
// comes and goes from one question to the next), and rests there: the level
// question that finds it gone steps on. Leaving the search stops it.
TEST(HamlibRadioOwnSweep, SteppedBesideTheQuestionsItRestsUntilAQuestionFindsTheSignalGone) {
  const auto radio = DummyWith([](ReceiverCapabilities& caps) { caps.searchesByItself = false; });
  ASSERT_NE(radio, nullptr);
  radio->SetFrequency(Vfo::kB, "146");
  radio->SetFrequency(Vfo::kA, "145");
  radio->SetStep("12.5");
  ASSERT_EQ(radio->StartSearch(), RadioResult::kDone);
  const auto tuned = [&radio] {
    radio->AskReceiveState();
    return radio->TakeReceiveState()->frequency->hz;
  };
  int steps = 0;
  while (steps < 10 && radio->SweepAStep()) ++steps;
  ASSERT_LT(steps, 10) << "the dummy's carrier detect holds it within a few steps";
  EXPECT_EQ(tuned(), 145000000 + steps * 12500);
  EXPECT_FALSE(radio->SweepAStep()) << "it rests";
  EXPECT_EQ(tuned(), 145000000 + steps * 12500);
  ASSERT_EQ(radio->AskReception(), RadioResult::kDone);
  const auto heard = radio->TakeReception();
  ASSERT_TRUE(heard.has_value());
  EXPECT_EQ(tuned(), 145000000 + (heard->squelchOpen ? steps : steps + 1) * 12500);
  radio->SetFrequency(Vfo::kA, "145.5");
  EXPECT_FALSE(radio->SweepAStep());
}

// The memory scan visits the channels of its banks that are not passed, and
// a channel taken back joins it again.
TEST(HamlibRadioMemoryScan, VisitsTheChannelsThatAreNotPassed) {
  const auto radio = DummyWith([](ReceiverCapabilities&) {});
  ASSERT_NE(radio, nullptr);
  for (const auto& [slot, megahertz] :
       std::vector<std::pair<int, const char*>>{{0, "145"}, {1, "145.1"}, {2, "145.2"}}) {
    ASSERT_EQ(radio->WriteChannel('A', slot, megahertz, "12.5", "FM", "x"), RadioResult::kDone);
  }
  ASSERT_EQ(radio->RecallChannel('A', 1), RadioResult::kDone);
  ASSERT_EQ(radio->PassChannel(true), RadioResult::kDone);
  ASSERT_EQ(radio->StartMemoryScan("A"), RadioResult::kDone);
  // Where the scan is after each question, and after each going on.
  std::set<int> visited;
  const auto visit = [&] {
    ASSERT_EQ(radio->AskReceiveState(), RadioResult::kDone);
    const auto state = radio->TakeReceiveState();
    ASSERT_TRUE(state->channel.has_value());
    visited.insert(state->channel->channel);
  };
  for (int question = 0; question < 6; ++question) {
    ASSERT_EQ(radio->AskReception(), RadioResult::kDone);
    const auto heard = radio->TakeReception();
    visit();
    if (heard->squelchOpen) {
      ASSERT_EQ(radio->GoOn(), RadioResult::kDone);
      visit();
    }
  }
  EXPECT_EQ(visited, (std::set<int>{0, 2}));
  ASSERT_EQ(radio->RecallChannel('A', 1), RadioResult::kDone);
  ASSERT_EQ(radio->PassChannel(false), RadioResult::kDone);
  ASSERT_EQ(radio->RecallChannel('A', 0), RadioResult::kDone);
  ASSERT_EQ(radio->RestartMemoryScan(), RadioResult::kDone);
  radio->AskReceiveState();
  EXPECT_EQ(radio->TakeReceiveState()->channel->channel, 1);
  // Past the radio's 19 memories, or in a bank it has not: nothing sent.
  EXPECT_EQ(radio->WriteChannel('A', 19, "145", "12.5", "FM", ""), RadioResult::kNotOnThisRadio);
  EXPECT_EQ(radio->RecallChannel('B', 0), RadioResult::kNotOnThisRadio);
  EXPECT_EQ(radio->WriteChannel('A', 2, "145", "12.5", "XX", ""), RadioResult::kRefused);
  EXPECT_EQ(radio->SetBankSizeNinety('A'), RadioResult::kNotOnThisRadio);
  ASSERT_EQ(radio->AskBankSize('A'), RadioResult::kDone);
  EXPECT_EQ(radio->TakeBankSize('A')->channels, 19);
}

TEST(HamlibRadioMemories, ReadTenAtATimeToTheBanksEnd) {
  const auto radio = DummyWith([](ReceiverCapabilities&) {});
  ASSERT_NE(radio, nullptr);
  ASSERT_EQ(radio->ClearBank('A'), RadioResult::kDone);
  // Hamlib reads the channel before it recalls it: an empty one is refused
  // at once, where the AR8600 refuses it only in its answer.
  EXPECT_EQ(radio->RecallChannel('A', 0), RadioResult::kRefused);
  ASSERT_EQ(radio->WriteChannel('A', 12, "118.1", "25", "AM", "Tower"), RadioResult::kDone);
  std::vector<std::size_t> sizes;
  std::optional<MemoryChannel> tower;
  for (bool first = true;; first = false) {
    ASSERT_EQ(radio->AskBankChannels('A', first), RadioResult::kDone);
    const auto batch = radio->TakeBankChannels('A');
    ASSERT_TRUE(batch.has_value());
    if (batch->end) break;
    sizes.push_back(batch->channels.size());
    for (const MemoryChannel& channel : batch->channels) {
      if (!channel.empty) tower = channel;
    }
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{10, 10}));
  ASSERT_TRUE(tower.has_value());
  EXPECT_EQ(tower->channel, 12);
  EXPECT_EQ(tower->hz, 118100000);
  EXPECT_EQ(tower->mode, Mode::kAM);
  EXPECT_EQ(tower->receiverModeCode, 2);
  EXPECT_EQ(tower->name, "Tower");
}

TEST(HamlibRadioWithoutMemories, SaysTheyAreNotOnThisRadio) {
  const auto radio = DummyWith([](ReceiverCapabilities& caps) { caps.memories = {}; });
  ASSERT_NE(radio, nullptr);
  for (const RadioResult result :
       {radio->RecallChannel('A', 0), radio->StartMemoryScan("A"),
        radio->AskBankChannels('A', true), radio->WriteChannel('A', 0, "145", "12.5", "FM", ""),
        radio->ClearBank('A'), radio->PassChannel(true), radio->AskCurrentChannel()}) {
    EXPECT_EQ(result, RadioResult::kNotOnThisRadio);
  }
  EXPECT_FALSE(radio->AnswerWaiting());
}

}  // namespace
}  // namespace voxrig
