// SPDX-License-Identifier: GPL-3.0-or-later
// X, two digits, a receiver bank letter, Enter: a receiver bank read with
// "MA" into a bank file, against a fake receiver that answers as the AR8600
// does, ten channels a time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "banks/bank_test_support.h"
#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "link/ar8600/ar8600_answers.h"
#include "memory/receiver_check.h"

namespace voxrig::testing {
namespace {

using banktest::Lines;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Strings = std::vector<std::string>;

// "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TM" and the name padded to 12.
std::string ChannelLine(char bank, int number, long long hz, int mode, const std::string& name,
                        int automatic = 0, int stepHz = 12500) {
  char line[96];
  std::snprintf(line, sizeof line, "MX%c%02d MP0 RF%010lld ST%06d AU%d MD%d AT0 TM%-12s", bank,
                number, hz, stepHz, automatic, mode, name.c_str());
  return line;
}

class ReceiverRead : public fakes::PanelFixture {
 protected:
  ReceiverRead() {
    // Receiver bank A holds 20 channels; the lines say what each one answers.
    bankLines.assign(20, "---");
    program.line.responder = [this](const std::string& command) {
      trace.push_back("TX " + command);
      return Answer(command);
    };
  }

  // Bank A as the receiver keeps it: "MQA%%" clears it, "MX" stores the
  // channel (its line then reads back as it was sent), "MA" reads ten a time.
  std::string Answer(const std::string& command) {
    if (command == "MQA%%") {
      for (std::string& line : bankLines) {
        if (line.find(keptOnClear) == std::string::npos) line = "---";
      }
      return "\r\n";
    }
    if (command.rfind("MXA", 0) == 0) {
      const std::size_t number = std::stoul(command.substr(3, 2));
      if (number >= bankLines.size()) return "?\r\n";
      const auto stored = storedInstead.find(static_cast<int>(number));
      bankLines[number] = stored != storedInstead.end() ? stored->second : command;
      return "\r\n";
    }
    if (command == "MAA") next = 0;
    if (command.rfind("MA", 0) != 0 || next < 0) return "?\r\n";
    if (next >= static_cast<int>(bankLines.size())) {
      next = -1;
      return "?\r\n";
    }
    std::string answer = strayBefore;
    for (int i = next; i < next + 10 && i < stopAfter; ++i) answer += bankLines[i] + "\r\n";
    next += 10;
    return answer;
  }

  Strings bankLines;
  // Faults of a receiver that does not keep what it was sent: channel lines
  // stored in place of the ones written, and a name that survives the clear.
  std::map<int, std::string> storedInstead;
  std::string keptOnClear = "\x01";
  // Lines the receiver sends besides the channels: level reports, a late
  // answer to a level poll.
  std::string strayBefore;
  int next = -1;
  // The receiver goes silent after this many channel lines.
  int stopAfter = 1000;
};

TEST_F(ReceiverRead, ReadsEveryChannelWithoutSelectingAnyIntoANewBankFile) {
  bankLines[0] = ChannelLine('A', 0, 145'500'000, 1, "Repeater");
  bankLines[1] = ChannelLine('A', 1, 118'100'000, 2, "");
  bankLines[3] = ChannelLine('A', 3, 446'006'250, 1, "PMR 1");
  bankLines[12] = ChannelLine('A', 12, 500'000, 1, "9999");
  strayBefore = "LM%000\r\nLC%000 VA\r\n";
  Type("X05A");
  EXPECT_THAT(Spoken(), ElementsAre("read", "intob", "0", "5", "fromrb", "A"));
  EXPECT_THAT(Commands(), ::testing::IsEmpty()) << "nothing goes to the receiver before Enter";

  Forget();
  Press(keys::kEnter);
  // Empty channels close up; the first channel's mode is the bank's.
  EXPECT_EQ(program.files.files["bank05.dat"],
            Lines({"bank05", "FM", "12.5", " ", "145.5", "Repeater", "118.1", " ", "446.00625",
                   "PMR 1", ".5", "9999 ", "9999"}));
  EXPECT_THAT(Commands(), ElementsAre("MAA", "MA", "MA"));
  EXPECT_THAT(Spoken(), ElementsAre("wait", "beep", "beep", "sevmode", "ok"));
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
}

TEST_F(ReceiverRead, AnExistingBankFileIsReplacedOnlyWhenTheSequenceComesTwiceInARow) {
  bankLines[0] = ChannelLine('A', 0, 7'050'000, 0, "", 1, 5000);
  PutBankFile("bank05.dat", "AM", {"120.0"});
  const std::string old = program.files.files["bank05.dat"];
  Type("X05A\r");
  EXPECT_EQ(Spoken().back(), "bexists");
  EXPECT_THAT(Commands(), ::testing::IsEmpty());

  // Another key between the two forgets the warning.
  Type("F");
  Forget();
  Type("X05A\r");
  EXPECT_EQ(Spoken().back(), "bexists");
  EXPECT_EQ(program.files.files["bank05.dat"], old);

  Forget();
  Type("X05A\r");
  EXPECT_EQ(Spoken().back(), "ok");
  EXPECT_EQ(program.files.files["bank05.dat"],
            Lines({"bank05", "AUT", "5", " ", "7.05", " ", "9999"}));
}

TEST_F(ReceiverRead, ABankSelectedFromThatFileFollowsTheNewChannels) {
  bankLines[0] = ChannelLine('A', 0, 146'000'000, 1, "");
  PutBankFile("bank05.dat", "FM", {"145.5", "145.6", "145.7"});
  SelectInMemory({"145.5", "145.6", "145.7"});
  ctx.banks.bankScanIndex = 8;
  Type("X05A\rX05A\r");
  EXPECT_EQ(ctx.banks.bankSlots[4], "146.");
  EXPECT_EQ(ctx.banks.bankSlots[6], "9999");
  EXPECT_EQ(ctx.banks.bankLastSlot, 4);
  EXPECT_EQ(ctx.banks.bankScanIndex, 4);
}

TEST_F(ReceiverRead, ASilentShortOrGarbledReceiverWritesNothingAndSaysSo) {
  struct Case {
    const char* what;
    int stopAfter;
    int badLine;  // the channel whose line is replaced by `bad`
    std::string bad;
    const char* said;
  };
  const std::vector<Case> cases = {
      {"silent from the start", 0, -1, "", "rnc"},
      {"fewer lines than asked, then silence", 15, -1, "", "rnc"},
      {"a malformed frequency", 1000, 4, "MXA04 MP0 RF01455 ST012500 AU0 MD1 AT0 TMx", "rnc"},
      {"a line of another channel", 1000, 4, ChannelLine('A', 5, 145'500'000, 1, ""), "rnc"},
      {"a line of another bank", 1000, 4, ChannelLine('B', 4, 145'500'000, 1, ""), "rnc"},
      {"\"?\" in the middle of ten", 1000, 13, "?", "rnc"},
  };
  PutBankFile("bank05.dat", "AM", {"120.0"});
  const std::string old = program.files.files["bank05.dat"];
  for (const Case& c : cases) {
    bankLines.assign(20, "---");
    bankLines[0] = ChannelLine('A', 0, 145'500'000, 1, "");
    if (c.badLine >= 0) bankLines[static_cast<std::size_t>(c.badLine)] = c.bad;
    stopAfter = c.stopAfter;
    Forget();
    const long long before = program.time.now();
    Type("X05A\rX05A\r");
    EXPECT_EQ(Spoken().back(), c.said) << c.what;
    EXPECT_EQ(program.files.files["bank05.dat"], old) << c.what;
    // Bounded: a silent receiver costs seconds, not the keyboard.
    EXPECT_LT(program.time.now() - before, 30'000) << c.what;
  }
  // A receiver that refuses to read the bank at all.
  program.line.responder = [](const std::string&) { return std::string("?\r\n"); };
  Forget();
  Type("X06B\r");
  EXPECT_EQ(Spoken().back(), "inv");
  EXPECT_EQ(program.files.files.count("bank06.dat"), 0u);
}

TEST_F(ReceiverRead, SequenceRefusesAThirdDigitWrongLettersAndAnEarlyEnter) {
  for (const char* keys : {"X055", "X05K", "X05\r", "X0A", "X\r"}) {
    Forget();
    Type(keys);
    EXPECT_EQ(Spoken().back(), "inv") << keys;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone) << keys;
    EXPECT_THAT(Commands(), ::testing::IsEmpty()) << keys;
  }
}

TEST_F(ReceiverRead, AWrittenBankIsReadBackAndOkIsSaidOnlyWhenItAllMatches) {
  const std::string bank =
      Lines({"bank05", "FM", "12.5", " ", "145.5", " ", "146.025", "Tower", "7.", "9999 ", "9999"});
  program.files.files["bank05.dat"] = bank;
  program.files.files["check05A.txt"] = "an old report";
  Type("W05A\r");
  EXPECT_EQ(Spoken().back(), "ok");
  Strings commands = Commands();
  commands.erase(commands.begin(), commands.begin() + 4);
  EXPECT_THAT(commands, ElementsAre("MAA", "MA", "MA"));
  EXPECT_EQ(program.files.files.count("check05A.txt"), 0u) << "its differences are gone";

  // Read back into the same file, it is the same file.
  Type("X05A\rX05A\r");
  EXPECT_EQ(Spoken().back(), "ok");
  EXPECT_EQ(program.files.files["bank05.dat"], bank);
}

TEST_F(ReceiverRead, ChannelsThatDifferAreCountedAloudAndListedInTheCheckReport) {
  PutBankFile("bank05.dat", "FM", {"145.5", "146.0", "147.0"});
  bankLines.resize(10);
  bankLines[7] = ChannelLine('A', 7, 148'000'000, 2, "OLD");
  keptOnClear = "OLD";
  storedInstead[1] = ChannelLine('A', 1, 146'000'000, 2, "");
  Forget();
  Type("W05A\r");
  const Strings spoken = Spoken();
  EXPECT_THAT(Strings(spoken.end() - 2, spoken.end()), ElementsAre("2", "differ"));
  EXPECT_EQ(program.files.files["check05A.txt"],
            Lines({"Bank file bank05.dat written into receiver bank A: 2 channels differ",
                   "A01: sent 146 MHz FM \"\"; the receiver holds 146. MHz AM \"\"",
                   "A07 OLD: should be empty; the receiver holds 148. MHz AM \"OLD\""}));

  // A receiver that goes silent, or refuses to be read, leaves the write unchecked.
  storedInstead.clear();
  keptOnClear = "\x01";
  stopAfter = 0;
  Forget();
  Type("W05A\r");
  EXPECT_EQ(Spoken().back(), "rnc");
  program.line.responder = [this](const std::string& command) {
    return command.rfind("MA", 0) == 0 ? std::string("?\r\n") : Answer(command);
  };
  Forget();
  Type("W05A\r");
  EXPECT_EQ(Spoken().back(), "nochk");
}

// W stores every channel with its bank's step, the check reads it back, and
// X gives it back to the bank file. A step line the receiver cannot take
// gives its default 12.5 kHz.
TEST_F(ReceiverRead, EveryChannelIsWrittenWithItsBanksStepAndReadBackWithIt) {
  struct Row {
    std::string stepLine;
    std::string field;
    std::string readBack;
  };
  const Row rows[] = {
      {"25", " ST025000 ", "25"},   {"8.33", " ST008330 ", "8.33"},
      {"2.5", " ST002500 ", "2.5"}, {"12.5", " ST012500 ", "12.5"},
      {"", " ST012500 ", "12.5"},   {"fast", " ST012500 ", "12.5"},
  };
  for (const Row& row : rows) {
    bankLines.assign(20, "---");
    program.files.files["bank05.dat"] =
        Lines({"bank05", "FM", row.stepLine, " ", "145.5", " ", "146.025", "Tower", "9999"});
    Forget();
    Type("W05A\r");
    const Strings written = Sent("MX");
    ASSERT_EQ(written.size(), 2u) << row.stepLine;
    for (const std::string& channel : written) {
      EXPECT_NE(channel.find(row.field), std::string::npos) << channel;
    }
    EXPECT_EQ(Spoken().back(), "ok") << row.stepLine;
    Type("X05A\rX05A\r");
    EXPECT_EQ(banktest::FileLines(program.files.files["bank05.dat"]).at(2), row.readBack);
  }

  // A receiver that keeps another step than it was sent: the check tells.
  program.files.files["bank05.dat"] = Lines({"bank05", "FM", "25", " ", "145.5", " ", "9999"});
  storedInstead[0] = ChannelLine('A', 0, 145'500'000, 1, "");
  Forget();
  Type("W05A\r");
  const Strings spoken = Spoken();
  EXPECT_THAT(Strings(spoken.end() - 2, spoken.end()), ElementsAre("1", "differ"));
  EXPECT_EQ(banktest::FileLines(program.files.files["check05A.txt"]).at(1),
            "A00: sent 145.5 MHz FM \"\" step 25 kHz; the receiver holds 145.5 MHz FM \"\" step "
            "12.5 kHz");
}

TEST(ChannelDifferences, FrequencyModeAndNameCountAndEveryChannelMustFit) {
  const std::vector<banks::Channel> sent = {{"145.5", "Tower"}, {"7.05", " "}};
  const auto read = [](const std::vector<std::string>& lines) {
    std::vector<MemoryChannel> parsed;
    for (const std::string& line : lines) parsed.push_back(*receiver::ParseMemoryLine(line, 'B'));
    return parsed;
  };
  const std::string tower = ChannelLine('B', 0, 145'500'000, 1, "Tower");
  const std::string second = ChannelLine('B', 1, 7'050'000, 1, "");
  EXPECT_THAT(
      banks::ChannelDifferences('B', sent, "FM", "12.5", read({tower, second, "---"}), true),
      ::testing::IsEmpty());
  EXPECT_THAT(banks::ChannelDifferences(
                  'B', sent, "AUT", "12.5",
                  read({ChannelLine('B', 0, 145'500'000, 1, "Tower", 1), second}), true),
              ElementsAre("B01: sent 7.05 MHz AUT \"\"; the receiver holds 7.05 MHz FM \"\""));
  // The channel's name after its number, as B says it; a blank name says
  // nothing, and with names off none is said.
  const auto towe = read({ChannelLine('B', 0, 145'500'000, 1, "Towe"), "---"});
  EXPECT_THAT(banks::ChannelDifferences('B', sent, "FM", "12.5", towe, true),
              ElementsAre("B00 Tower: sent 145.5 MHz FM \"Tower\"; the receiver holds 145.5 MHz "
                          "FM \"Towe\"",
                          "B01: sent 7.05 MHz FM \"\"; the receiver holds nothing"));
  EXPECT_EQ(banks::ChannelDifferences('B', sent, "FM", "12.5", towe, false).at(0),
            "B00: sent 145.5 MHz FM \"Tower\"; the receiver holds 145.5 MHz FM \"Towe\"");
  EXPECT_THAT(banks::ChannelDifferences('B', sent, "FM", "12.5", read({tower}), true),
              ElementsAre("B01: sent 7.05 MHz FM \"\"; past the end of the receiver's bank, "
                          "which has 1 channel"));
}

TEST(MemoryLines, AnswerLinesAreReadOrRefusedWhole) {
  const auto channel =
      receiver::ParseMemoryLine(ChannelLine('C', 7, 1'296'250'000, 3, "Beacon"), 'C');
  ASSERT_TRUE(channel.has_value());
  EXPECT_EQ(channel->channel, 7);
  EXPECT_EQ(channel->hz, 1'296'250'000);
  EXPECT_EQ(channel->stepHz, 12'500);
  EXPECT_EQ(channel->receiverModeCode, 3);
  EXPECT_EQ(channel->name, "Beacon      ");
  EXPECT_TRUE(receiver::ParseMemoryLine("---", 'C')->empty);
  EXPECT_TRUE(receiver::ParseMemoryLine("MXC01 RF0145500000 MD1", 'C').has_value());
  for (const char* bad :
       {"", "?", "MXC", "MXC1 RF0145500000 MD1", "MXC01 MD1", "MXC01 RF0145500000",
        "MXC01 RF014550000x MD1", "MXC01 RF0145500000 MD9", "MXC01 RF0145500000 MD1 AU2",
        "MXD01 RF0145500000 MD1", "MXC01RF0145500000 MD1"}) {
    EXPECT_FALSE(receiver::ParseMemoryLine(bad, 'C').has_value()) << bad;
  }
}

}  // namespace
}  // namespace voxrig::testing
