// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "link/ar8600/ar8600_commands.h"
#include "link/receiver_commands.h"

namespace voxrig::receiver {
namespace {

struct Row {
  std::string input;
  std::string expected;
};

TEST(ReceiverCommands, VfoCommandPadsMegahertzToFourDigitsAndAddsOneZero) {
  const Row rows[] = {
      {"145.5", "VA0145.50000"},
      {"145", "VA0145000000"},
      {"145.", "VA0145.00000"},
      {"7.05", "VA0007.05000"},
      {"0.5", "VA0000.50000"},
      {"1296.25", "VA1296.25000"},
      {"2500", "VA2500000000"},
      {"145.1234", "VA0145.12340"},
      {"145.12345", "VA0145.123450"},
      // Leading zeros never push the point out of its place.
      {".5", "VA0000.50000"},
      {"0145.5", "VA0145.50000"},
      {"00000000000145.5", "VA0145.50000"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SetVfo('A', row.input), row.expected) << row.input;
    EXPECT_EQ(SetVfo('B', row.input), "VB" + row.expected.substr(2)) << row.input;
  }
}

TEST(ReceiverCommands, StepCommandPadsToEightCharactersWithoutCutting) {
  const Row rows[] = {
      {"12.5", "ST012.50"}, {"6.25", "ST006.25"},  {"0.5", "ST000.50"}, {"2.5", "ST002.50"},
      {"5", "ST005000"},    {"25", "ST025000"},    {"100", "ST100000"}, {"12.345", "ST012.345"},
      {".5", "ST000.50"},   {"012.5", "ST012.50"},
  };
  for (const Row& row : rows) EXPECT_EQ(SetStep(row.input), row.expected) << row.input;
}

TEST(ReceiverCommands, OnlyValuesTheReceiverTakesPassTheBorder) {
  for (const char* step : {"12.5", "0.05", "999.95", "8.33", "6.25", "25", "012.5", ".5", "100"}) {
    EXPECT_TRUE(IsReceiverStep(step)) << step;
  }
  for (const char* step : {"", "0", "0.01", "1000", "8.34", "12.345", "12.500", "1e3", "-5",
                           "99999999999999999999999", "12.5.0", " 12.5"}) {
    EXPECT_FALSE(IsReceiverStep(step)) << step;
  }
  for (const char* frequency : {"145.5", "0.1", "2040", ".5", "145.", "145.123456", "0145.5"}) {
    EXPECT_TRUE(IsReceiverFrequency(frequency)) << frequency;
  }
  for (const char* frequency :
       {"", ".", "0.05", "2040.000001", "145.1234567", "3000", "1.2.3", "abc", "9999", "-1"}) {
    EXPECT_FALSE(IsReceiverFrequency(frequency)) << frequency;
  }
}

// A channel's step field: the bank's step in six digits of hertz, or the
// receiver's default for a step line it cannot take.
TEST(ReceiverCommands, ChannelStepFieldCarriesTheBanksStep) {
  const Row rows[] = {
      {"25", " ST025000"},   {"8.33", " ST008330"},   {"2.5", " ST002500"},
      {"0.05", " ST000050"}, {"999.95", " ST999950"}, {"12.5", " ST012500"},
      {"", " ST012500"},     {"fast", " ST012500"},   {"1000", " ST012500"},
  };
  for (const Row& row : rows) EXPECT_EQ(ChannelStepField(row.input), row.expected) << row.input;
  EXPECT_EQ(WriteChannel('A', 0, "145.5", "25", "FM", ""),
            "MXA00 RF0145500000 ST025000 MD1 TM            ");
}

TEST(ReceiverCommands, ModeSwitchAndMemoryCommandsSpellTheReceiversWords) {
  EXPECT_EQ(SelectMode(0), "MD0");
  EXPECT_EQ(SelectMode(5), "MD5");
  EXPECT_EQ(Attenuator(true), "AT1");
  EXPECT_EQ(Attenuator(false), "AT0");
  EXPECT_EQ(NoiseLimiter(true), "NL1");
  EXPECT_EQ(NoiseLimiter(false), "NL0");
  EXPECT_EQ(StartMemoryScan("B"), "MSB");
  EXPECT_EQ(StartMemoryScan(""), "MS");
  EXPECT_EQ(RecallChannel("A05"), "MRA05");
  EXPECT_EQ(PassChannel(true), "MP1");
  EXPECT_EQ(PassChannel(false), "MP0");
  EXPECT_EQ(ClearBank('C'), "MQC%%");
  EXPECT_EQ(ReadBankSize('B'), "MWB");
  EXPECT_EQ(SetBankSizeNinety('J'), "MWJ90");
  EXPECT_EQ(std::string(kReadLevel), "LM");
  EXPECT_EQ(std::string(kReadReceiveState), "RX");
  EXPECT_EQ(std::string(kStartVfoSearch), "VS");
  EXPECT_EQ(std::string(kAutomaticModeOn), "AU1");
  EXPECT_EQ(std::string(kExitRemote), "EX");
  EXPECT_EQ(kResumeByte, '\x1E');
}

TEST(ReceiverCommands, ChannelFrequencyFieldIsTenDigitsOfHertz) {
  const Row rows[] = {
      {"145.5", "0145500000"},        {"145.", "0145000000"},     {"145.0", "0145000000"},
      {"145", "0145000000"},          {"145.5125", "0145512500"}, {"7.05", "0007050000"},
      {".5", "0000500000"},           {"0.5", "0000500000"},      {"1296.25", "1296250000"},
      {"145.1234567", "01451234567"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ChannelFrequencyField(row.input), row.expected) << row.input;
  EXPECT_EQ(ChannelFrequencyField("145.1234567").size(), 11u);
}

TEST(ReceiverCommands, ChannelWritesOfBankFiveIntoReceiverBankA) {
  const std::string twelveBlanks(12, ' ');
  const std::string first = WriteChannel('A', 0, "145.5", "12.5", "FM", "");
  EXPECT_EQ(first, "MXA00 RF0145500000 ST012500 MD1 TM" + twelveBlanks);
  EXPECT_EQ(first.size(), 46u);
  EXPECT_EQ(WriteChannel('A', 1, "146.0", "12.5", "FM", " "),
            "MXA01 RF0146000000 ST012500 MD1 TM" + twelveBlanks);
  EXPECT_EQ(WriteChannel('B', 90, "145.5", "12.5", "FM", "").substr(0, 5), "MXB90");
}

TEST(ReceiverCommands, ChannelNameIsCutOrPaddedToTwelveCharacters) {
  EXPECT_EQ(WriteChannel('A', 0, "145.5", "12.5", "FM", "Tower"),
            "MXA00 RF0145500000 ST012500 MD1 TMTower       ");
  const std::string fifteen = "ABCDEFGHIJKLMNO";
  const std::string command = WriteChannel('A', 0, "145.5", "12.5", "FM", fifteen);
  EXPECT_EQ(command, "MXA00 RF0145500000 ST012500 MD1 TMABCDEFGHIJKL");
  EXPECT_EQ(command.size(), 46u);
}

TEST(ReceiverCommands, ChannelModeFieldHasACodeForEveryModeAndAutomaticOtherwise) {
  const Row rows[] = {
      {"WFM", " MD0"}, {"FM", " MD1"},  {"AM", " MD2"}, {"USB", " MD3"}, {"LSB", " MD4"},
      {"CW ", " MD5"}, {"AUT", " AU1"}, {"CW", " AU1"}, {"", " AU1"},    {"fm", " AU1"},
  };
  for (const Row& row : rows) EXPECT_EQ(ChannelModeField(row.input), row.expected) << row.input;
  EXPECT_EQ(WriteChannel('A', 3, "7.05", "12.5", "CW ", "Beacon"),
            "MXA03 RF0007050000 ST012500 MD5 TMBeacon      ");
  EXPECT_EQ(WriteChannel('A', 3, "7.05", "12.5", "AUT", "Beacon"),
            "MXA03 RF0007050000 ST012500 AU1 TMBeacon      ");
}

TEST(ReceiverCommands, ChannelBelowOneMegahertzGetsFourIntegerDigitsEitherWay) {
  EXPECT_EQ(WriteChannel('C', 7, ".5", "12.5", "AM", ""),
            WriteChannel('C', 7, "0.5", "12.5", "AM", ""));
  EXPECT_EQ(WriteChannel('C', 7, "0.5", "12.5", "AM", "").substr(0, 18), "MXC07 RF0000500000");
}

}  // namespace
}  // namespace voxrig::receiver
