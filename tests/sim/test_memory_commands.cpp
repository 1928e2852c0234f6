// SPDX-License-Identifier: GPL-3.0-or-later
// Memory channels and banks: MX, MR, MP, MQ, MW, and the memory file.
#include <gtest/gtest.h>

#include <map>

#include "memory_banks.h"
#include "sim_bench.h"

namespace ar8600sim::testing {
namespace {

const std::string kPanelChannel = "MXA05 RF0145500000 ST012500 MD1 TMRepeater    ";
const std::string kPanelChannelRead = "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRepeater    ";

class MemoryCommands : public SimBench {
 protected:
  void Store(const std::vector<std::string>& writes) {
    for (const std::string& write : writes) ASSERT_EQ(bench.Ask(write), kDone) << write;
  }
};

TEST_F(MemoryCommands, WrittenChannelReadsBackThroughMrAndRx) {
  bench.Expect({{kPanelChannel, kDone},
                {"MRA05", kDone},
                {"RX", "MR " + kPanelChannelRead + "\r\n"},
                {"MR", kPanelChannelRead + "\r\n"},
                {"LM", "LM%000\r\n"}});
}

TEST_F(MemoryCommands, MxTakesFieldsInAnyOrderAndKeepsThoseNotGiven) {
  bench.Expect({{"MXb07 MD2 RF0118.10000 AT1 ST008.33 AU0 MP1 TMTower", kDone},
                {"MRb07", kDone},
                {"MR", "MXb07 MP1 RF0118100000 ST008330 AU0 MD2 AT1 TMTower       \r\n"},
                {"MXb07 MP0  TM", kDone},
                {"MRb07", kDone},
                {"MR", "MXb07 MP0 RF0118100000 ST008330 AU0 MD2 AT1 TM            \r\n"}});
  const Channel* written = bench.engine.receiver().memory().Find('b', 7);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(written->name, std::string(12, ' '));
}

TEST_F(MemoryCommands, MxRefusesMalformedFieldsAndChannelsPastTheBank) {
  bench.ExpectRefused({
      "MXA00 MD1",                           // an empty channel needs its frequency
      "MXA00 RF01455",                       // short frequency
      "MXA00 RF2500000000",                  // out of range
      "MXA00 RF0145500000 XX1",              // unknown field
      "MXA00 RF0145500000 MD9",              // no such mode
      "MXA00 RF0145500000 ST000025",         // no such step
      "MXA00RF0145500000",                   // fields stand after a blank
      "MXA00 RF0145500000 TMthirteen char",  // name longer than 12
      "MXA50 RF0145500000",                  // A has channels 00-49 from the factory
      "MXK00 RF0145500000",                  // no bank K
      "MXA0 RF0145500000",
  });
  EXPECT_EQ(bench.Ask("MXa49 RF0145500000"), kDone);
  EXPECT_EQ(bench.engine.receiver().memory().Numbers('A').size(), 0u);
}

TEST_F(MemoryCommands, RecallRefusesEmptyChannelsAndMrNeedsAChannel) {
  bench.ExpectRefused({"MRA00", "MR", "MRA0"});
  EXPECT_EQ(bench.Ask("RX"), "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n");
}

TEST_F(MemoryCommands, PassFlagIsSetOnlyOnAMemoryChannel) {
  bench.Expect({{"MP1", kRefused},
                {"MP", kRefused},
                {kPanelChannel, kDone},
                {"MRA05", kDone},
                {"MP1", kDone},
                {"MP", "MP1\r\n"},
                {"MP2", kRefused},
                {"RX", "MR MXA05 MP1 RF0145500000 ST012500 AU0 MD1 AT0 TMRepeater    \r\n"},
                {"MP0", kDone}});
  EXPECT_TRUE(!bench.engine.receiver().memory().Find('A', 5)->passed);
}

TEST_F(MemoryCommands, MqWithPercentSignsClearsTheWholeBank) {
  Store({"MXA00 RF0145500000", "MXA01 RF0145600000", "MXB00 RF0145700000", "MXa00 RF0145800000"});
  bench.Expect({{"MRA01", kDone},
                {"MQA%%", kDone},
                {"MRA00", kRefused},
                {"MRA01", kRefused},
                // The receiver left the deleted channel for its VFO.
                {"RX", "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n"},
                {"MRB00", kDone},
                {"MRa00", kDone},
                {"MQK%%", kRefused}});
}

TEST_F(MemoryCommands, MqDeletesTheCurrentChannelOrANumberedOne) {
  Store({"MXC03 RF0145500000", "MXC04 RF0145600000", "MXC05 RF0145700000"});
  bench.Expect({{"MQ", kRefused},  // not on a memory channel
                {"MRC04", kDone},
                {"MQ05", kDone}});
  EXPECT_EQ(bench.Ask("RX").substr(0, 9), "MR MXC04 ");
  EXPECT_EQ(bench.Ask("MQ"), kDone);
  EXPECT_EQ(bench.Ask("RX").substr(0, 3), "VA ");
  EXPECT_EQ(bench.engine.receiver().memory().Numbers('C'), std::vector<int>{3});
}

TEST_F(MemoryCommands, MwReportsTheSplitWithTheAskedBankFirst) {
  bench.Expect({{"MWA", "MW A:50 a:50\r\n"}, {"MWj", "MW j:50 J:50\r\n"}});
  bench.ExpectRefused({"MWK", "MW"});
}

TEST_F(MemoryCommands, MwResizeAnswersOnlyWhenDoneAndLosesChannelsThatNoLongerFit) {
  Store({"MXA49 RF0145500000", "MXa09 RF0145600000", "MXa10 RF0145700000"});
  bench.engine.Receive("MWA90\r", 0);
  // Commands sent meanwhile wait until the resize is done.
  bench.engine.Receive("LM\r", 0);
  const std::vector<TimedByte> resized = bench.engine.TakeOutput();
  ASSERT_EQ(TextOf(resized), kDone);
  // 1500 ms plus 10 ms for each of the three stored channels, counted from
  // the CR, which reached the receiver after 63 bytes at line speed.
  const double crMs = 63 * bench.engine.ByteMs();
  EXPECT_NEAR(resized[0].dueMs, crMs + 1530, 1e-9);
  bench.engine.AdvanceTo(crMs + 1529);
  EXPECT_TRUE(bench.engine.TakeOutput().empty());
  bench.nowMs = 2000;
  bench.engine.AdvanceTo(bench.nowMs);
  const std::vector<TimedByte> level = bench.engine.TakeOutput();
  ASSERT_EQ(TextOf(level), "LM%000\r\n");
  EXPECT_NEAR(level[0].dueMs, crMs + 1530 + 10, 1e-9);
  bench.Expect({{"MWA", "MW A:90 a:10\r\n"}, {"MWa", "MW a:10 A:90\r\n"}});
  EXPECT_EQ(bench.engine.receiver().memory().Numbers('a'), std::vector<int>{9});
  EXPECT_EQ(bench.engine.receiver().memory().Numbers('A'), std::vector<int>{49});
  bench.Expect({{"MXA89 RF0145500000", kDone}, {"MXA90 RF0145500000", kRefused}});
  bench.ExpectRefused({"MWA95", "MWA05", "MWA100", "MWA9"});
  bench.nowMs = 5000;
  bench.engine.Receive("MWa80\r", bench.nowMs);
  const std::vector<TimedByte> done = bench.engine.TakeOutput();
  ASSERT_EQ(TextOf(done), kDone);
  // A49, A89 and a09 are stored in the pair now.
  EXPECT_NEAR(done[0].dueMs, 5000 + 6 * bench.engine.ByteMs() + 1500 + 30, 1e-9);
  bench.Wait(2000);
  EXPECT_EQ(bench.Ask("MWA"), "MW A:20 a:80\r\n");
  EXPECT_EQ(bench.engine.receiver().memory().Numbers('A').size(), 0u);
}

// Ten lines of an "MA" answer: "---" but where a channel is stored.
std::string TenLines(const std::map<int, std::string>& stored) {
  std::string text;
  for (int line = 0; line < 10; ++line) {
    const auto found = stored.find(line);
    text += (found == stored.end() ? "---" : found->second) + "\r\n";
  }
  return text;
}

TEST_F(MemoryCommands, MaReadsABankTenAtATimeWithoutLeavingTheChannel) {
  const std::string tower = "MXB00 MP0 RF0118100000 ST012500 AU1 MD2 AT0 TMTower       ";
  const std::string passed = "MXB07 MP1 RF0145500000 ST012500 AU0 MD1 AT1 TMPassed      ";
  const std::string last = "MXB49 MP0 RF0430025000 ST025000 AU0 MD2 AT0 TMLast        ";
  Store({kPanelChannel, "MXB00 RF0118100000 AU1 TMTower", "MXB07 RF0145500000 MP1 AT1 TMPassed",
         "MXB49 RF0430025000 MD2 ST025000 TMLast", "MRA05"});
  const MemoryBanks before = bench.engine.receiver().memory();
  bench.Expect({
      {"MA", kRefused},  // no bank named yet
      {"MAB", TenLines({{0, tower}, {7, passed}})},
      {"RX", "MR " + kPanelChannelRead + "\r\n"},  // still on A05
      {"MA", TenLines({})},
      {"MAB", TenLines({{0, tower}, {7, passed}})},  // a new MA + bank starts again
      {"MA", TenLines({})},
      {"MA", TenLines({})},
      {"MA", TenLines({})},
      {"MA", TenLines({{9, last}})},
      {"MA", kRefused},  // past the bank's 50 channels: the read is over
      {"MA", kRefused},
      {"MR", kPanelChannelRead + "\r\n"},
  });
  bench.ExpectRefused({"MAK", "MABB", "MA1"});
  EXPECT_EQ(bench.engine.receiver().memory(), before);
  // Each line is the channel as MR answers it once recalled.
  bench.Expect({{"MRB00", kDone}, {"MR", tower + "\r\n"}, {"MRB49", kDone}, {"MR", last + "\r\n"}});
}

TEST_F(MemoryCommands, MaFollowsTheBanksSplit) {
  Store({"MXa00 RF0145500000"});
  bench.engine.Receive("MWA90\r", 0);
  bench.Wait(2000);
  bench.Expect(
      {{"MAa", TenLines({{0, "MXa00 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TM            "}})},
       {"MA", kRefused}});
}

TEST(MemoryFile, ListsEveryStoredChannelAndTheSplitsNotAtTheFactorySetting) {
  MemoryBanks memory;
  ASSERT_TRUE(memory.Resize('B', 90));
  Channel repeater;
  repeater.hz = 145'500'000;
  repeater.name = PaddedName("Repeater");
  ASSERT_TRUE(memory.Store('A', 0, repeater));
  Channel tower = repeater;
  tower.hz = 118'100'000;
  tower.mode = 2;
  tower.stepHz = 8'330;
  tower.attenuator = true;
  tower.passed = true;
  tower.name = PaddedName("Tower");
  ASSERT_TRUE(memory.Store('a', 12, tower));
  ASSERT_TRUE(memory.Store('B', 89, repeater));
  EXPECT_EQ(FormatMemoryFile(memory),
            "MW B:90 b:10\n"
            "A00 0145500000 MD1 ST012500 MP0 TMRepeater    \n"
            "B89 0145500000 MD1 ST012500 MP0 TMRepeater    \n"
            "a12 0118100000 MD2 ST008330 AT1 MP1 TMTower       \n");

  MemoryBanks loaded;
  const MemoryLoad load = LoadMemoryFile(FormatMemoryFile(memory), loaded);
  EXPECT_TRUE(load.ok) << load.error;
  EXPECT_EQ(loaded, memory);
}

TEST(MemoryFile, LoadsLooseFormsAndNamesTheFirstBadLine) {
  MemoryBanks memory;
  const MemoryLoad good = LoadMemoryFile(
      "# start-up channels\r\n\r\nC07 145.8 TMLocal\r\nC08 0145212500 MD3 AU1\n", memory);
  ASSERT_TRUE(good.ok) << good.error;
  ASSERT_NE(memory.Find('C', 7), nullptr);
  EXPECT_EQ(memory.Find('C', 7)->hz, 145'800'000);
  EXPECT_EQ(memory.Find('C', 7)->name, "Local       ");
  EXPECT_TRUE(memory.Find('C', 8)->automaticMode);
  EXPECT_EQ(memory.Find('C', 8)->mode, 3);

  for (const char* bad : {"A00\n", "A00 0145500000 XX1\n", "Z00 0145500000\n", "A60 0145500000\n",
                          "MW A:95 a:5\n", "A0 0145500000\n"}) {
    MemoryBanks scratch;
    const MemoryLoad load = LoadMemoryFile(std::string("# ok\n") + bad, scratch);
    EXPECT_FALSE(load.ok) << bad;
    EXPECT_EQ(load.line, 2) << bad;
    EXPECT_FALSE(load.error.empty());
  }
}

}  // namespace
}  // namespace ar8600sim::testing
