// SPDX-License-Identifier: GPL-3.0-or-later
// The Hamlib link against Hamlib's dummy radio (model 1), in this process:
// the receiver's command lines in, the receiver's answers out.
#include <gtest/gtest.h>
#include <hamlib/rig.h>

#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "hamlib/hamlib_library.h"
#include "hamlib/hamlib_receiver.h"
#include "hamlib/hamlib_vocabulary.h"
#include "posix/termios_serial.h"

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

  TermiosDeviceLocker devices;
  HamlibLibrary library{devices};
  std::unique_ptr<SerialDevice> device = library.Open(1, "/dev/null", 19200).device;
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
      {"MWA90", "?\r\n"},
      {"LC1", "\r\n"},
      {"LC", "LC1\r\n"},
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
  for (const char* command : {"MD0", "MD1", "MD2", "MD3", "MD4", "MD5", "AT1", "NL0", "VS", "LM",
                              "LC1", "MS", "MSA", "MR", "MP1", "MQA%%", "MWA", "MAA", "MXA00"})
    EXPECT_TRUE(device->Carries(command)) << command;
  // No automatic mode, no resizing of fixed memories, no single deletes.
  for (const char* command : {"AU1", "MD9", "MWA90", "MQ05", "LC3"})
    EXPECT_FALSE(device->Carries(command)) << command;
}

// The dummy radio's 19 memory channels (0 to 18) are bank A; it has no other.
TEST_F(DummyRadio, KeepsTheRadiosMemoryChannelsAsBanks) {
  ASSERT_NE(device, nullptr);
  const std::string a00 = "MXA00 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRepeater    ";
  const std::string a01 = "MXA01 MP1 RF0446006250 ST006250 AU1 MD1 AT0 TMPMR         ";
  auto lines = [](std::vector<std::string> first, int empty) {
    std::string answer;
    for (const std::string& line : first) answer += line + "\r\n";
    for (int i = 0; i < empty; ++i) answer += "---\r\n";
    return answer;
  };
  struct Row {
    std::string command;
    std::string answer;
  };
  const std::vector<Row> rows = {
      {"MWA", "MW A:19 a:00\r\n"},
      {"MWB", "MW B:00 b:00\r\n"},
      {"MXA00 RF0145500000 ST012500 MD1 TMRepeater", "\r\n"},
      {"MXA01 RF0446006250 ST006250 AU1 MP1 TMPMR", "\r\n"},
      // Past the radio's memories, another bank, no frequency: refused.
      {"MXA19 RF0145500000 ST012500 MD1 TMx", "?\r\n"},
      {"MXB00 RF0145500000 ST012500 MD1 TMx", "?\r\n"},
      {"MXA02 ST012500 MD1 TMx", "?\r\n"},
      // Ten at a time; the lines past the 19th say empty, then the end.
      {"MAA", lines({a00, a01}, 8)},
      {"MA", lines({}, 10)},
      {"MA", "?\r\n"},
      {"MAB", "?\r\n"},
      {"MRA05", "?\r\n"},
      {"MRA00", "\r\n"},
      {"MR", a00 + "\r\n"},
      {"RX", "MR " + a00 + "\r\n"},
      {"MP1", "\r\n"},
      {"MP", "MP1\r\n"},
      {"\x1e"
       "RX",
       "VA RF0145512500 ST012500 AU0 MD1 AT0\r\n"},  // the resume byte steps off it
      {"MRA00", "\r\n"},
      {"VA0145000000", "\r\n"},
      {"MR", "?\r\n"},
      {"MP1", "?\r\n"},
      {"MQA%%", "\r\n"},
      {"MAA", lines({}, 10)},
      {"MSA", "?\r\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(Ask(row.command), row.answer) << row.command;
  EXPECT_FALSE(device->LineGone());
}

// The memory scan visits the bank's channels that are not passed, reports
// where its squelch opens as the receiver does, and goes on from a signal.
TEST_F(DummyRadio, ScansTheBanksChannelsThatAreNotPassed) {
  ASSERT_NE(device, nullptr);
  Ask("MXA00 RF0145000000 ST012500 MD1 TMa");
  Ask("MXA01 RF0145100000 ST012500 MD1 MP1 TMb");
  Ask("MXA02 RF0145200000 ST012500 MD1 TMc");
  Ask("MXA03 RF0145300000 ST012500 MD1 TMd");
  EXPECT_EQ(Ask("LC1"), "\r\n");
  EXPECT_EQ(Ask("MSA"), "\r\n");
  const char resume = 0x1E;
  std::set<std::string> visited, reported;
  for (int poll = 0; poll < 12; ++poll) {
    const std::string level = Ask("LM");
    ASSERT_TRUE(std::regex_match(
        level,
        std::regex("(LC( [0-9]{3} MA0[0-9] RF[0-9]{10}|%000 MA0[0-9])\r\n)?LM[% ][0-9]{3}\r\n")))
        << level;
    if (level.starts_with("LC ")) reported.insert(level.substr(7, 4) + level.substr(14, 10));
    const std::string state = Ask("RX");
    ASSERT_EQ(state.substr(0, 5), "MS MX") << state;
    visited.insert(state.substr(5, 3));
    if (level.find("LM ") != std::string::npos) device->Write(&resume, 1);
  }
  EXPECT_EQ(visited, (std::set<std::string>{"A00", "A02", "A03"}));
  EXPECT_FALSE(reported.empty());
  for (const std::string& report : reported) {
    EXPECT_TRUE(report == "MA000145000000" || report == "MA020145200000" ||
                report == "MA030145300000")
        << report;
  }
  // Taken back into the scan, a passed channel is visited again.
  EXPECT_EQ(Ask("MRA01"), "\r\n");
  EXPECT_EQ(Ask("MP0"), "\r\n");
  EXPECT_EQ(Ask("MS"), "\r\n");
  EXPECT_EQ(Ask("RX").substr(0, 8), "MS MXA02");
  Ask("MRA00");
  EXPECT_EQ(Ask("MS"), "\r\n");
  EXPECT_EQ(Ask("RX").substr(0, 8), "MS MXA01");
}

// A radio whose memories Hamlib cannot reach refuses every memory command.
TEST(HamlibRadioWithoutMemories, RefusesTheMemoryCommands) {
  rig_set_debug(RIG_DEBUG_NONE);
  RIG* rig = rig_init(1);
  ASSERT_NE(rig, nullptr);
  ASSERT_EQ(rig_open(rig), RIG_OK);
  rig->state.chan_list[0].type = RIG_MTYPE_NONE;  // the list ends at once
  HamlibReceiver radio(rig, false);
  for (const char* command : {"MR", "MRA00", "MSA", "MAA", "MWA", "MXA00 RF0145000000", "MP1"}) {
    EXPECT_FALSE(radio.Carries(command)) << command;
    const std::string bytes = std::string(command) + "\r";
    radio.Write(bytes.data(), static_cast<int>(bytes.size()));
    std::string answer(16, '\0');
    answer.resize(static_cast<std::size_t>(radio.Read(answer.data(), 16)));
    EXPECT_EQ(answer, "?\r\n") << command;
  }
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
