// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/receiver_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_test_support.h"
#include "fakes/connected_panel.h"

namespace voxrig {
namespace {

using banktest::Bank;
using banktest::Frequencies;
using banktest::Lines;
using Strings = std::vector<std::string>;

const std::string kTwelveBlanks(12, ' ');

struct ReceiverTransferTest : fakes::PanelFixture {
  void Transfer(const std::string& entry) { program.Finish(WriteBankToReceiver(ctx, entry)); }
  // A receiver whose banks of `size` channels keep what "MX" writes and give
  // it back to "MA", ten lines a time, so W's read-back finds it all.
  void KeepWrittenChannels(std::size_t size) {
    memory.clear();
    program.line.responder = [this, size](const std::string& command) -> std::string {
      if (command.rfind("MX", 0) == 0) {
        Strings& bank = memory[command[2]];
        bank.resize(size, "---");
        const std::size_t number = std::stoul(command.substr(3, 2));
        if (number >= size) return "?\r\n";
        bank[number] = command;
        return "\r\n";
      }
      if (command.size() == 3 && command.rfind("MA", 0) == 0) {
        reading = command[2];
        next = 0;
      }
      Strings& bank = memory[reading];
      bank.resize(size, "---");
      if (command.rfind("MA", 0) != 0 || next >= size) return "?\r\n";
      std::string answer;
      for (std::size_t i = next; i < next + 10; ++i) answer += bank[i] + "\r\n";
      next += 10;
      return answer;
    };
  }
  // The channel writes among the commands; W's read-back follows them.
  Strings ChannelWrites() const {
    Strings writes;
    for (const std::string& command : program.Commands()) {
      if (command.rfind("MX", 0) == 0) writes.push_back(command);
    }
    return writes;
  }
  std::map<char, Strings> memory;
  char reading = 'A';
  std::size_t next = 0;
};

// The events of W's read-back of a receiver bank of 20 channels that holds
// what was written: a pause for the last answer, then two reads of ten, "?"
// and "ok".
const Strings kReadBackOfTwenty = {"shdel x1", "> MAA", "shdel x1", "beep",     "> MA",
                                   "shdel x1", "beep",  "> MA",     "shdel x1", "ok"};

TEST_F(ReceiverTransferTest, TwoChannelBankGoesToReceiverBankAWithItsPauses) {
  KeepWrittenChannels(20);
  program.files.files["bank05.dat"] = Bank("bank05", "FM", "12.5", {"145.5", "146.0"});
  banktest::Timeline timeline(program);
  Transfer("05A");
  const std::string first = "MXA00 RF0145500000 ST012500 MD1 TM" + kTwelveBlanks;
  const std::string second = "MXA01 RF0146000000 ST012500 MD1 TM" + kTwelveBlanks;
  EXPECT_EQ(first.size(), 46u);
  // The receiver bank is cleared after "wait"; the ten pauses that follow
  // and the seven before channel 00 run together.
  Strings expected = {"wait", "> MQA%%", "shdel x17", "> " + first, "shdel x5", "> " + second};
  expected.insert(expected.end(), kReadBackOfTwenty.begin(), kReadBackOfTwenty.end());
  EXPECT_EQ(timeline.Events(), expected);
  EXPECT_EQ(program.line.written, "MQA%%\r" + first + "\r" + second + "\rMAA\rMA\rMA\r");
}

TEST_F(ReceiverTransferTest, PausesBeforeChannelsShrinkFromSevenToOne) {
  program.files.files["bank05.dat"] = Bank("bank05", "FM", "12.5", Frequencies(6));
  banktest::Timeline timeline(program);
  Transfer("05B");
  Strings pauses;
  for (const std::string& event : timeline.Events()) {
    if (event == "> MAB") {
      pauses.pop_back();  // the read-back's own pause
      break;
    }
    if (event.rfind("shdel", 0) == 0) pauses.push_back(event);
  }
  EXPECT_EQ(pauses,
            (Strings{"shdel x17", "shdel x5", "shdel x3", "shdel x1", "shdel x1", "shdel x1"}));
}

TEST_F(ReceiverTransferTest, BeepsFollowChannelsNineTwentyAndEveryElevenAfter) {
  program.files.files["bank05.dat"] = Bank("bank05", "FM", "12.5", Frequencies(12));
  banktest::Timeline timeline(program);
  Transfer("05A");
  const Strings events = timeline.Events();
  ASSERT_EQ(std::count(events.begin(), events.end(), "beep"), 1);
  const auto beep = std::find(events.begin(), events.end(), "beep");
  EXPECT_EQ(beep[-1].substr(0, 7), "> MXA09");

  program.ClearRecords();
  program.files.files["bank06.dat"] = Bank("bank06", "FM", "12.5", Frequencies(95));
  banktest::Timeline longer(program);
  Transfer("06C");
  Strings beepsAfter;
  const Strings longEvents = longer.Events();
  for (std::size_t i = 1; i < longEvents.size(); ++i) {
    if (longEvents[i] == "beep") beepsAfter.push_back(longEvents[i - 1].substr(5, 2));
  }
  EXPECT_EQ(beepsAfter, (Strings{"09", "20", "31", "42", "53", "64", "75", "86"}));
}

TEST_F(ReceiverTransferTest, NinetyFiveChannelsSendChannelsZeroToNinetyAndTellTheFourLeft) {
  const Strings channels = Frequencies(95);
  program.files.files["bank05.dat"] = Bank("bank05", "FM", "12.5", channels);
  KeepWrittenChannels(100);
  Transfer("05J");
  const Strings commands = ChannelWrites();
  ASSERT_EQ(commands.size(), 91u);
  EXPECT_EQ(commands.front().substr(0, 18), "MXJ00 RF0145000000");
  EXPECT_EQ(program.Commands().front(), "MQJ%%");
  EXPECT_EQ(commands.back().substr(0, 18), "MXJ90 RF0146125000");
  const Strings heard = program.Heard();
  EXPECT_EQ(Strings(heard.end() - 3, heard.end()), (Strings{"ok", "over", "4"}));
}

TEST_F(ReceiverTransferTest, ChannelFieldsFollowTheBankModeTagAndFrequency) {
  program.files.files["bank01.dat"] =
      Lines({"bank01", "CW ", "12.5", " ", "7.05", "Tower", "145.5", "Fifteen chars!!", ".5", "",
             "0.5", " ", "145.1234567", " ", "9999"});
  Transfer("01D");
  // More than six decimals are rounded to the hertz: the receiver takes ten digits.
  EXPECT_EQ(ChannelWrites(), (Strings{"MXD00 RF0007050000 ST012500 MD5 TMTower       ",
                                      "MXD01 RF0145500000 ST012500 MD5 TMFifteen char",
                                      "MXD02 RF0000500000 ST012500 MD5 TM" + kTwelveBlanks,
                                      "MXD03 RF0000500000 ST012500 MD5 TM" + kTwelveBlanks,
                                      "MXD04 RF0145123457 ST012500 MD5 TM" + kTwelveBlanks}));

  // A bank mode without a mode code lets the receiver pick the mode by band.
  program.ClearRecords();
  program.files.files["bank02.dat"] = Bank("bank02", "AUT", "12.5", {"145.5"});
  Transfer("02E");
  EXPECT_EQ(ChannelWrites(), Strings{"MXE00 RF0145500000 ST012500 AU1 TM" + kTwelveBlanks});
  program.ClearRecords();
  program.files.files["bank03.dat"] = Bank("bank03", "CW", "12.5", {"145.5"});
  Transfer("03E");
  EXPECT_EQ(ChannelWrites(), Strings{"MXE00 RF0145500000 ST012500 AU1 TM" + kTwelveBlanks});
}

TEST_F(ReceiverTransferTest, EmptyBankSaysWaitPausesTenTimesAndOkOnceTheBankReadsEmpty) {
  KeepWrittenChannels(20);
  program.files.files["bank05.dat"] = Bank("bank05", "FM", "12.5", {});
  banktest::Timeline timeline(program);
  Transfer("05A");
  // The ten pauses and the read-back's first run together.
  Strings expected = {"wait", "> MQA%%", "shdel x11"};
  expected.insert(expected.end(), kReadBackOfTwenty.begin() + 1, kReadBackOfTwenty.end());
  EXPECT_EQ(timeline.Events(), expected);
  EXPECT_TRUE(ChannelWrites().empty());
}

TEST_F(ReceiverTransferTest, MissingBankSaysBnfAndSendsNothing) {
  Transfer("05A");
  EXPECT_EQ(program.Heard(), Strings{"bnf"});
  EXPECT_TRUE(program.Commands().empty());
}

TEST_F(ReceiverTransferTest, ArgumentWithoutTwoDigitsAndABankLetterIsRefused) {
  program.files.files["bank.5.dat"] = Bank("bank.5", "FM", "12.5", {"145.5"});
  program.files.files["bank05.dat"] = Bank("bank05", "FM", "12.5", {"145.5"});
  for (const std::string entry : {".5A", "05K", "05 ", "05p", "05", "05AB"}) {
    SCOPED_TRACE(entry);
    program.ClearRecords();
    Transfer(entry);
    EXPECT_EQ(program.Heard(), Strings{"inv"});
    EXPECT_TRUE(program.Commands().empty());
  }
}

TEST_F(ReceiverTransferTest, TransferEndsAtTheRealTerminatorNotAStaleLastSlot) {
  // A file that lost its "9999" line keeps the last-channel slot of the bank
  // read before it; the transfer still sends just the file's channels.
  program.files.files["bank09.dat"] = Bank("bank09", "FM", "12.5", Frequencies(40));
  ctx.banks.bankFileName = "bank09.dat";
  ReadBankFile(ctx);
  ASSERT_EQ(ctx.banks.bankLastSlot, 82);
  program.files.files["bank05.dat"] =
      Lines({"bank05", "FM", "12.5", " ", "145.5", " ", "146.0", " "});
  Transfer("05A");
  EXPECT_EQ(ChannelWrites().size(), 2u);

  // And a full 400-line bank without terminator sends channels 00 to 90 only.
  Strings lines = {"bank05", "FM", "12.5", " "};
  for (const std::string& f : Frequencies(198)) lines.insert(lines.end(), {f, " "});
  program.files.files["bank05.dat"] = Lines(lines);
  program.ClearRecords();
  ctx.banks.bankLastSlot = 2;
  Transfer("05A");
  EXPECT_EQ(ChannelWrites().size(), 91u);
}

// ---- ConfigureReceiverBank ------------------------------------------------

// The prompts of n wait cycles: 100 pauses, a "beep" after every 25th.
Strings WaitCycles(int n) {
  Strings heard;
  for (int cycle = 0; cycle < n; ++cycle) {
    for (int pause = 1; pause <= 100; ++pause) {
      heard.push_back("shdel");
      if (pause % 25 == 0) heard.push_back("beep");
    }
  }
  return heard;
}

Strings Joined(Strings a, const Strings& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct ConfigureBankTest : ReceiverTransferTest {
  ConfigureBankTest() { silent = true; }  // the receiver answers only as a test says
  // The receiver answers the resize once `pauses` pauses have passed after it.
  void AnswerAfterPauses(int pauses) {
    program.sound.OnPlayed([this, pauses](const std::string& name) {
      if (name == "shdel" && !program.Commands().empty() && ++pausesSinceCommand == pauses) {
        program.line.Answer("\r\n");
      }
    });
  }
  int pausesSinceCommand = 0;
};

TEST_F(ConfigureBankTest, WaitsWholeCyclesUntilTheReceiverHasAnswered) {
  AnswerAfterPauses(30);  // during the first cycle
  program.Finish(ConfigureReceiverBank(ctx, 'C'));
  EXPECT_EQ(program.Commands(), Strings{"MWC90"});
  EXPECT_EQ(program.Heard(), Joined({"shdel", "C", "shdel"}, WaitCycles(1)));
  EXPECT_EQ(program.line.incoming, "\r\n");  // left for the next read

  program.ClearRecords();
  program.line.incoming.clear();
  pausesSinceCommand = 0;
  AnswerAfterPauses(150);  // during the second cycle
  program.Finish(ConfigureReceiverBank(ctx, 'D'));
  EXPECT_EQ(program.Heard(), Joined({"shdel", "D", "shdel"}, WaitCycles(2)));
}

TEST_F(ConfigureBankTest, ReceiverThatAnswersAtOnceGetsOneWaitCycle) {
  program.line.responder = [](const std::string& command) {
    return command == "MWA90" ? std::string("\r\n") : std::string();
  };
  program.Finish(ConfigureReceiverBank(ctx, 'A'));
  EXPECT_EQ(program.Heard(), Joined({"shdel", "A", "shdel"}, WaitCycles(1)));
}

TEST_F(ConfigureBankTest, SilentReceiverIsGivenUpAfterFourCyclesWithRnc) {
  program.Finish(ConfigureReceiverBank(ctx, 'J'));
  EXPECT_EQ(program.Commands(), Strings{"MWJ90"});
  EXPECT_EQ(program.Heard(), Joined(Joined({"shdel", "J", "shdel"}, WaitCycles(4)), {"rnc"}));

  // With the voice off the letter and "rnc" are silent, the pauses and beeps are not.
  program.ClearRecords();
  ctx.app.voicePrefix = "";
  program.Finish(ConfigureReceiverBank(ctx, 'J'));
  EXPECT_EQ(program.Heard(), Joined({"shdel", "shdel"}, WaitCycles(4)));
}

}  // namespace
}  // namespace voxrig
