// SPDX-License-Identifier: GPL-3.0-or-later
// The AR8600's calls: what each puts on the wire and logs, and what each
// reads out of the bytes that arrived, garbage, cut-short and late answers
// included.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_serial.h"
#include "fakes/memory_file_system.h"
#include "link/ar8600/ar8600_receiver.h"

namespace voxrig {
namespace {

class Ar8600ReceiverTest : public ::testing::Test {
 protected:
  void SetUp() override { radio.SetWireLog(log.get()); }
  std::string Logged() { return files.files["debug1.dat"]; }
  void Forget() {
    line.written.clear();
    files.files["debug1.dat"].clear();
  }

  fakes::FakeLine line;
  fakes::MemoryFileSystem files;
  std::unique_ptr<OutputFile> log = files.CreateFile("debug1.dat");
  Ar8600Receiver radio{std::make_unique<fakes::FakeSerialDevice>(line)};
};

std::string Described(const std::optional<HeardFrequency>& heard) {
  return heard ? heard->text + "=" + std::to_string(heard->hz) : "-";
}

std::string Described(const std::optional<Reception>& reception) {
  if (!reception) return "none";
  return std::string(reception->squelchOpen ? "open " : "closed ") +
         std::to_string(reception->level) + (reception->reportedOnChange ? " change " : " ") +
         Described(reception->holdsAt);
}

std::string Described(const MemoryChannel& channel) {
  if (channel.empty) return "---";
  return std::string(1, channel.bank) + std::to_string(channel.channel) + " " +
         std::to_string(channel.hz) + " st" + std::to_string(channel.stepHz) + " md" +
         std::to_string(channel.receiverModeCode) + (channel.automaticMode ? " au" : "") + " [" +
         channel.name + "]";
}

std::string Described(const std::optional<ReceiveState>& state) {
  if (!state) return "none";
  std::string text = Described(state->frequency);
  text += state->stepHz ? " st" + std::to_string(*state->stepHz) : " st-";
  text += state->mode ? " mode" + std::to_string(static_cast<int>(*state->mode)) : " mode-";
  text += state->attenuatorOn ? (*state->attenuatorOn ? " at1" : " at0") : " at-";
  if (state->channel) text += " " + Described(*state->channel);
  return text;
}

std::string Described(const std::optional<MemoryChannel>& channel) {
  return channel ? Described(*channel) : "none";
}

std::string Described(const std::optional<BankSize>& size) {
  return size ? std::string(1, size->bank) + ":" + std::to_string(size->channels) : "none";
}

TEST_F(Ar8600ReceiverTest, EveryCallPutsItsCommandOnTheWireAndInTheLog) {
  struct Row {
    std::function<RadioResult(Ar8600Receiver&)> call;
    std::string wire;
  };
  const std::vector<Row> rows = {
      {[](Ar8600Receiver& r) { return r.SetFrequency(Vfo::kA, "145.5"); }, "VA0145.50000\r"},
      {[](Ar8600Receiver& r) { return r.SetFrequency(Vfo::kB, ".5"); }, "VB0000.50000\r"},
      {[](Ar8600Receiver& r) { return r.SetStep("12.5"); }, "ST012.50\r"},
      {[](Ar8600Receiver& r) { return r.SelectMode(Mode::kUSB); }, "MD3\r"},
      {[](Ar8600Receiver& r) { return r.SelectMode(Mode::kAUT); }, "AU1\r"},
      {[](Ar8600Receiver& r) { return r.SetAttenuator(true); }, "AT1\r"},
      {[](Ar8600Receiver& r) { return r.SetNoiseLimiter(false); }, "NL0\r"},
      {[](Ar8600Receiver& r) { return r.AskReception(); }, "LM\r"},
      {[](Ar8600Receiver& r) { return r.AskReceiveState(); }, "RX\r"},
      {[](Ar8600Receiver& r) { return r.ReportLevelChanges(); }, "LC1\r"},
      {[](Ar8600Receiver& r) { return r.StartSearch(); }, "VS\r"},
      {[](Ar8600Receiver& r) { return r.StartMemoryScan("C"); }, "MSC\r"},
      {[](Ar8600Receiver& r) { return r.StartMemoryScan(""); }, "MS\r"},
      {[](Ar8600Receiver& r) { return r.RestartMemoryScan(); }, "MS\r"},
      {[](Ar8600Receiver& r) { return r.AskCurrentChannel(); }, "MR\r"},
      {[](Ar8600Receiver& r) { return r.RecallChannel('a', 5); }, "MRa05\r"},
      {[](Ar8600Receiver& r) { return r.PassChannel(true); }, "MP1\r"},
      {[](Ar8600Receiver& r) { return r.AskBankChannels('B', true); }, "MAB\r"},
      {[](Ar8600Receiver& r) { return r.AskBankChannels('B', false); }, "MA\r"},
      {[](Ar8600Receiver& r) { return r.WriteChannel('A', 7, "145.5", "25", "AM", "Tower"); },
       "MXA07 RF0145500000 ST025000 MD2 TMTower       \r"},
      {[](Ar8600Receiver& r) { return r.ClearBank('D'); }, "MQD%%\r"},
      {[](Ar8600Receiver& r) { return r.AskBankSize('E'); }, "MWE\r"},
      {[](Ar8600Receiver& r) { return r.SetBankSizeNinety('E'); }, "MWE90\r"},
      {[](Ar8600Receiver& r) { return r.ExitRemote(); }, "EX\r"},
  };
  for (const Row& row : rows) {
    Forget();
    EXPECT_EQ(row.call(radio), RadioResult::kDone) << row.wire;
    EXPECT_EQ(line.written, row.wire);
    const std::string command = row.wire.substr(0, row.wire.size() - 1);
    EXPECT_EQ(Logged(), "TX= " + command + "\r\n");
  }
  // Going on after a rest is the lone byte 30: no CR, no log line.
  Forget();
  EXPECT_EQ(radio.GoOn(), RadioResult::kDone);
  EXPECT_EQ(line.written, "\x1E");
  EXPECT_EQ(Logged(), "");
}

TEST_F(Ar8600ReceiverTest, AnswersAreReadIntoThePanelsWordsAndLogged) {
  using Take = std::function<std::string(Ar8600Receiver&)>;
  const Take reception = [](Ar8600Receiver& r) { return Described(r.TakeReception()); };
  const Take state = [](Ar8600Receiver& r) { return Described(r.TakeReceiveState()); };
  const Take current = [](Ar8600Receiver& r) { return Described(r.TakeCurrentChannel()); };
  const Take sizeOfA = [](Ar8600Receiver& r) { return Described(r.TakeBankSize('A')); };
  struct Row {
    Take take;
    std::string arrived;
    std::string taken;
    std::string logged;  // the answer as logged, empty for none
  };
  const std::vector<Row> rows = {
      {reception, "LM 120\r\n", "open 120 -", "LM 120"},
      {reception, "LM%000\r\n", "closed 0 -", "LM%000"},
      {reception, "LM 674\r\n", "open 255 -", "LM 674"},  // garbled: kept within 0 to 255
      {reception, "LM 1", "open 1 -", "LM 1"},            // cut short
      {reception, "\r\nLC 142 VA RF0145125000 more\r\n", "open 142 change 145.12500=145125000",
       "LC 142 VA RF0145125000 more\r\n"},
      {reception, "LC 142 VA RF010 ST012500\r\n", "open 142 change -",
       "LC 142 VA RF010 ST012500\r\n"},
      // The table's order decides: a level report before a level answer,
      // a VS answer is read (and logged) but is no level.
      {reception, "LM 142\r\nLC%000 VA\r\n", "closed 0 change -", "LC%000 VA\r\n"},
      {reception, "LM 142\r\nVS RF0145512500 ST012500\r\n", "none", "VS RF0145512500 ST"},
      {reception, "\r\n?\r\nMD1\r\n", "none", ""},
      {reception, "", "none", ""},
      {state, "VA RF0146500000 ST025000 AU0 MD3 AT1\r\n", "146.5=146500000 st25000 mode3 at1",
       "VA RF0146500000 ST025000 AU0 MD3 AT1"},
      {state, "LC 100 RF0145000000\r\nVS RF0145512500 ST012500 AU1 MD1 AT0\r\n",
       "145.5125=145512500 st12500 mode6 at0", "VS RF0145512500 ST012500 AU1 MD1 AT0"},
      {state, "VA RF0146500000 ST25 AU0 MD7 ATx\r\n", "146.5=146500000 st- mode- at-",
       "VA RF0146500000 ST25 AU0 MD7 ATx"},
      {state, "VA RF01465\r\n", "none", ""},
      {state, "MS MXB03 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMTower\r\n",
       "145.5=145500000 st12500 mode0 at0 B3 145500000 st12500 md1 [Tower]",
       "MS MXB03 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMTower"},
      {current, "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRepeater    \r\n",
       "A5 145500000 st12500 md1 [Repeater    ]",
       "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRepeater    "},
      {current, "MXa12 RF01455\r\n", "a12 0 st0 md0 []", "MXa12 RF01455"},
      {current, "MXK05 RF0145500000 MD1\r\n", "none", "MXK05 RF0145500000 MD1"},
      {current, "LM 120\r\n", "none", ""},
      {sizeOfA, "MW A:90 a:10\r\n", "A:90", "MW A:90 a:10\r"},
      {sizeOfA, "junkMW A:50 a:50\r\n", "A:50", "MW A:50 a:50\r"},
      {sizeOfA, "MW B:90 b:10\r\n", "none", "MW B:90 b:10\r"},  // a late answer for bank B
      {sizeOfA, "LM 120\r\n", "none", "LM 120"},
  };
  for (const Row& row : rows) {
    Forget();
    line.incoming = row.arrived;
    radio.Answered();
    EXPECT_EQ(row.take(radio), row.taken) << row.arrived;
    EXPECT_EQ(Logged(), row.logged.empty() ? "" : "RX= " + row.logged + "\r\n") << row.arrived;
    EXPECT_EQ(radio.Answered(), !row.logged.empty()) << row.arrived;
    EXPECT_FALSE(radio.Answered());
  }
}

TEST_F(Ar8600ReceiverTest, OneReadTakesAtMost255BytesAndLeavesTheRestForTheNext) {
  line.incoming = std::string(260, 'x') + "LM%000\r\n";
  EXPECT_FALSE(radio.TakeReception().has_value());
  EXPECT_EQ(line.incoming.size(), 268u - 255u);
  EXPECT_TRUE(radio.AnswerWaiting());
  EXPECT_EQ(Described(radio.TakeReception()), "closed 0 -");
  EXPECT_FALSE(radio.AnswerWaiting());
}

TEST_F(Ar8600ReceiverTest, BankIsReadInBatchesOfTenWhateverWayTheLinesCome) {
  std::string ten;
  for (int k = 0; k < 10; ++k) {
    ten += k == 3 ? std::string("---") : "MXC0" + std::to_string(k) + " RF0145500000 MD1";
    ten += "\r\n";
  }
  // What an earlier command left is read away before the bank is asked for.
  line.incoming = "LM 120\r\nMXC09 RF0145500000 MD1\r\n";
  radio.AskBankChannels('C', true);
  EXPECT_EQ(line.incoming, "");
  // Half a batch is no batch yet; a level report among its lines is passed
  // over.
  line.incoming = ten.substr(0, 48) + "LC 100\r\n" + ten.substr(48, 10);
  EXPECT_FALSE(radio.TakeBankChannels('C').has_value());
  line.incoming = ten.substr(58);
  const auto batch = radio.TakeBankChannels('C');
  ASSERT_TRUE(batch.has_value());
  ASSERT_EQ(batch->channels.size(), 10u);
  EXPECT_FALSE(batch->end || batch->garbled);
  EXPECT_EQ(Described(batch->channels[2]), "C2 145500000 st0 md1 []");
  EXPECT_TRUE(batch->channels[3].empty);
  // "?" ends the bank; a line of another bank or cut short spoils the batch.
  radio.AskBankChannels('C', false);
  line.incoming = "?\r\n";
  EXPECT_TRUE(radio.TakeBankChannels('C')->end);
  radio.AskBankChannels('C', false);
  line.incoming = ten;
  EXPECT_TRUE(radio.TakeBankChannels('D')->garbled);
  radio.AskBankChannels('C', false);
  line.incoming = "MXC00 RF01455\r\n" + ten;
  EXPECT_TRUE(radio.TakeBankChannels('C')->garbled);
}

// The receiver sends a byte at a time: an answer is whole, and may be read
// at once, only when every command sent since the last read has its line and
// no line is half come. What was looked at is read all the same, and nothing
// of it is lost.
TEST_F(Ar8600ReceiverTest, AnAnswerIsWholeOnceEachCommandHasItsLine) {
  radio.SetFrequency(Vfo::kA, "0145.50000");
  radio.AskReception();
  const std::string reply = "\r\nLM%012\r\n";
  std::string wholeAt;
  for (const char byte : reply) {
    line.incoming += byte;
    wholeAt += radio.WholeAnswerWaiting() ? '1' : '0';
  }
  EXPECT_EQ(wholeAt, "0000000001");
  EXPECT_EQ(Described(radio.TakeReception()), "closed 12 -");
  EXPECT_FALSE(radio.AnswerWaiting());
  // A line begun after a whole one waits for its end; a line nobody asked
  // for (a report) is whole on its own once everything asked was read.
  radio.AskReception();
  line.incoming = "LM%003\r\nLC";
  EXPECT_FALSE(radio.WholeAnswerWaiting());
  EXPECT_TRUE(radio.AnswerWaiting());
  line.incoming += "%000 VA\r\n";
  EXPECT_TRUE(radio.WholeAnswerWaiting());
  EXPECT_EQ(Described(radio.TakeReception()), "closed 0 change -");
  // Late answers dropped take what was read ahead with them.
  radio.AskReception();
  line.incoming = "LM%009\r\n";
  EXPECT_TRUE(radio.WholeAnswerWaiting());
  radio.DropLateAnswers();
  EXPECT_FALSE(radio.AnswerWaiting());
  EXPECT_FALSE(radio.TakeReception().has_value());
}

TEST(Ar8600ReceiverWithoutLine, CommandsAreLoggedButGoNowhereAndNothingIsRead) {
  fakes::MemoryFileSystem files;
  auto log = files.CreateFile("debug1.dat");
  Ar8600Receiver radio(nullptr);
  radio.SetWireLog(log.get());
  EXPECT_EQ(radio.AskReception(), RadioResult::kLineGone);
  EXPECT_EQ(radio.GoOn(), RadioResult::kLineGone);
  EXPECT_FALSE(radio.TakeReception().has_value());
  EXPECT_FALSE(radio.LineGone());
  EXPECT_EQ(files.files["debug1.dat"], "TX= LM\r\n");
}

}  // namespace
}  // namespace voxrig
