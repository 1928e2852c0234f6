// SPDX-License-Identifier: GPL-3.0-or-later
// The Hamlib link against Hamlib's dummy radio (model 1), in this process:
// the receiver's command lines in, the receiver's answers out.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/hamlib_receiver.h"
#include "platform/hamlib_vocabulary.h"

namespace voxrig {
namespace {

namespace vocabulary = hamlib_vocabulary;

class DummyRadio : public ::testing::Test {
 protected:
  // Writes the command with its CR and returns everything answered.
  std::string Ask(const std::string& command) {
    const std::string bytes = command + "\r";
    EXPECT_EQ(device->Write(bytes.data(), static_cast<int>(bytes.size())),
              static_cast<int>(bytes.size()));
    std::string answer(static_cast<std::size_t>(device->BytesWaiting()), '\0');
    answer.resize(
        static_cast<std::size_t>(device->Read(answer.data(), static_cast<int>(answer.size()))));
    return answer;
  }

  HamlibLibrary library;
  std::unique_ptr<SerialDevice> device = library.Open(1, "/dev/null", 19200);
};

TEST_F(DummyRadio, AnswersTheReceiversCommandsAsTheReceiverDoes) {
  ASSERT_NE(device, nullptr);
  struct Row {
    const char* command;
    const char* answer;
  };
  // In order: each row builds on the state the rows before left.
  const std::vector<Row> rows = {
      {"VA0145.50000", "\r\n"},
      {"RX", "VA RF0145500000 ST012500 AU0 MD1 AT0\r\n"},
      {"VA0007050000", "\r\n"},
      {"ST025000", "\r\n"},
      {"MD3", "\r\n"},
      {"AT1", "\r\n"},
      {"RX", "VA RF0007050000 ST025000 AU0 MD3 AT1\r\n"},
      {"MD", "MD3\r\n"},
      {"AT", "AT1\r\n"},
      {"NL1", "\r\n"},
      {"NL", "NL1\r\n"},
      {"ST012.50", "\r\n"},
      {"RX", "VA RF0007050000 ST012500 AU0 MD3 AT1\r\n"},
      // What the radio cannot do is refused as the receiver refuses it.
      {"AU1", "?\r\n"},
      {"MR", "?\r\n"},
      {"MWA", "?\r\n"},
      {"MXA00 RF0145000000 ST012500 MD1 TMname", "?\r\n"},
      {"LC1", "?\r\n"},
      {"VA12e3", "?\r\n"},
      {"ST0", "?\r\n"},
      {"ZZ", "?\r\n"},
      {"EX", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(Ask(row.command), row.answer) << row.command;
  EXPECT_FALSE(device->LineGone());
}

// The dummy's carrier detect and strength come and go by themselves, so the
// search rests now and then: what holds is the form of every answer and that
// the search visits every step between the limits, and only those.
TEST_F(DummyRadio, SearchesFromVfoAToVfoBByTheStepAndWrapsRound) {
  ASSERT_NE(device, nullptr);
  Ask("VA0145000000");
  Ask("VB0145050000");
  Ask("ST025000");
  EXPECT_EQ(Ask("VS"), "\r\n");
  const char resume = 0x1E;
  std::set<std::string> visited;
  for (int poll = 0; poll < 16; ++poll) {
    const std::string level = Ask("LM");
    ASSERT_TRUE(std::regex_match(level, std::regex("LM[% ][0-9]{3}\r\n"))) << level;
    const std::string state = Ask("RX");
    ASSERT_EQ(state.substr(0, 5), "VS RF") << state;
    visited.insert(state.substr(5, 10));
    if (level[2] == ' ') device->Write(&resume, 1);  // go on from a signal
  }
  EXPECT_EQ(visited, (std::set<std::string>{"0145000000", "0145025000", "0145050000"}));
  // Tuning VFO A ends the search.
  Ask("VA0146000000");
  EXPECT_EQ(Ask("RX").substr(0, 15), "VA RF0146000000");
  // The resume byte with nothing resting steps the frequency up one step.
  device->Write(&resume, 1);
  EXPECT_EQ(Ask("RX").substr(0, 15), "VA RF0146025000");
}

TEST_F(DummyRadio, CarriesTheModesAndSwitchesTheRadioHas) {
  ASSERT_NE(device, nullptr);
  for (const char* command : {"MD0", "MD1", "MD2", "MD3", "MD4", "MD5", "AT1", "NL0", "VS", "LM"})
    EXPECT_TRUE(device->Carries(command)) << command;
  for (const char* command : {"AU1", "MD9", "MS", "MSA", "MR", "MP1", "MQA%%", "MWA", "MA", "LC1"})
    EXPECT_FALSE(device->Carries(command)) << command;
}

TEST(HamlibLibrary, OpensNothingForAModelHamlibDoesNotKnow) {
  HamlibLibrary library;
  EXPECT_EQ(library.Open(987654, "/dev/null", 19200), nullptr);
}

TEST(HamlibVocabulary, ReadsFrequenciesAndStepsAsThePanelWritesThem) {
  EXPECT_EQ(vocabulary::FrequencyHz("0145.50000"), 145500000);
  EXPECT_EQ(vocabulary::FrequencyHz("0145.123450"), 145123450);
  EXPECT_EQ(vocabulary::FrequencyHz("2500000000"), 2500000000LL);
  EXPECT_EQ(vocabulary::FrequencyHz("0000.50000"), 500000);
  EXPECT_EQ(vocabulary::FrequencyHz("14a.5"), std::nullopt);
  EXPECT_EQ(vocabulary::FrequencyHz("."), std::nullopt);
  EXPECT_EQ(vocabulary::StepHz("012.50"), 12500);
  EXPECT_EQ(vocabulary::StepHz("006.25"), 6250);
  EXPECT_EQ(vocabulary::StepHz("025000"), 25000);
  EXPECT_EQ(vocabulary::StepHz("000000"), std::nullopt);
  EXPECT_EQ(vocabulary::LevelAnswer(true, 300), "LM 255");
  EXPECT_EQ(vocabulary::LevelAnswer(false, 7), "LM%007");
  // S9 is 108 on the meter (nine S units of twelve), S0 and below 0.
  EXPECT_EQ(vocabulary::LevelFromStrength(0), 108);
  EXPECT_EQ(vocabulary::LevelFromStrength(-54), 0);
  EXPECT_EQ(vocabulary::LevelFromStrength(-80), 0);
  EXPECT_EQ(vocabulary::LevelFromStrength(100), 255);
}

}  // namespace
}  // namespace voxrig
