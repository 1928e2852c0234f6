// SPDX-License-Identifier: GPL-3.0-or-later
// The VFO search and the memory scan, moving on a fake clock.
#include <gtest/gtest.h>

#include "sim_bench.h"

namespace ar8600sim::testing {
namespace {

// Bytes of the commands written at time 0 reach the receiver at line speed;
// the tests wait in whole steps after that.
constexpr double kStepMs = 25;

using VfoSearch = SimBench;

std::string FrequencyOf(const std::string& rxAnswer) {
  const std::size_t at = rxAnswer.find("RF");
  return at == std::string::npos ? "" : rxAnswer.substr(at + 2, 10);
}

TEST_F(VfoSearch, StopsOnASignalAndGoesOnAfterByteThirty) {
  ASSERT_EQ(bench.Write("VA0145000000\rVB0146000000\rST012.50\rMD1\rVS\r"), "\r\n\r\n\r\n\r\n\r\n");
  const double startMs = bench.engine.NextEventMs().value() - kStepMs;
  EXPECT_EQ(bench.Ask("RX"), "VS RF0145000000 ST012500 AU0 MD1 AT0\r\n");
  // 145.2125 MHz is 17 steps up.
  bench.Wait(startMs + 16 * kStepMs + 1 - bench.nowMs);
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
  EXPECT_EQ(FrequencyOf(bench.Ask("RX")), "0145200000");
  bench.Wait(kStepMs);
  EXPECT_EQ(bench.Ask("LM"), "LM 142\r\n");
  EXPECT_EQ(bench.Ask("RX"), "VS RF0145212500 ST012500 AU0 MD1 AT0\r\n");
  // It rests there as long as the signal lasts...
  EXPECT_EQ(bench.Wait(5000), "");
  EXPECT_FALSE(bench.engine.NextEventMs().has_value());
  EXPECT_EQ(bench.Ask("LM"), "LM 142\r\n");
  // ...until the byte 30, which is not answered.
  EXPECT_EQ(bench.Write("\x1E"), "");
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
  EXPECT_EQ(FrequencyOf(bench.Ask("RX")), "0145225000");
  // The next signal, 145.5125 MHz, is 24 steps further.
  bench.Wait(24 * kStepMs);
  EXPECT_EQ(bench.Ask("RX"), "VS RF0145512500 ST012500 AU0 MD1 AT0\r\n");
}

TEST_F(VfoSearch, WrapsAtTheTopAndGoesOnByItselfWhenTheSignalGoes) {
  EngineConfig config = SteadyConfig();
  config.signals = {{145'025'000, 80, {}, 2000.0}};
  Restart(config);
  ASSERT_EQ(bench.Write("VA0145.00000\rVB0145.05000\rVS\r"), "\r\n\r\n\r\n");
  const double startMs = bench.engine.NextEventMs().value() - kStepMs;
  bench.Wait(startMs + 2 * kStepMs + 1 - bench.nowMs);
  EXPECT_EQ(bench.Ask("LM"), "LM 080\r\n");
  // The signal ends at 2000 ms; one step later the search has moved on.
  bench.Wait(2000 - bench.nowMs);
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
  bench.Wait(kStepMs);
  EXPECT_EQ(FrequencyOf(bench.Ask("RX")), "0145037500");
  bench.Wait(kStepMs);
  EXPECT_EQ(FrequencyOf(bench.Ask("RX")), "0145050000");
  bench.Wait(kStepMs);
  EXPECT_EQ(FrequencyOf(bench.Ask("RX")), "0145000000");  // past VFO B: back to VFO A
}

TEST_F(VfoSearch, StopsOnASignalThatComesUpWhereItListens) {
  EngineConfig config = SteadyConfig();
  config.signals = {{145'000'000, 55, 1000.0, {}}};
  Restart(config);
  ASSERT_EQ(bench.Write("VA0145.00000\rVB0145.00000\rVS\r"), "\r\n\r\n\r\n");
  bench.Wait(990);
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
  // The signal comes at 1000 ms, between two steps (991.6 and 1016.6 ms).
  bench.Wait(20);
  EXPECT_EQ(bench.Ask("LM"), "LM 055\r\n");
}

TEST_F(VfoSearch, EndsWhereItIsOnVv0OrOnATuningCommand) {
  ASSERT_EQ(bench.Write("VA0145.00000\rVB0146.00000\rVS\r"), "\r\n\r\n\r\n");
  bench.Wait(3 * kStepMs + 1);
  const std::string where = FrequencyOf(bench.Ask("RX"));
  EXPECT_EQ(bench.Ask("VV0"), "\r\n");
  EXPECT_EQ(bench.Ask("RX"), "VA RF" + where + " ST012500 AU0 MD1 AT0\r\n");
  EXPECT_FALSE(bench.engine.NextEventMs().has_value());
  EXPECT_EQ(bench.Ask("VS"), "\r\n");
  EXPECT_EQ(bench.Ask("VA0145.50000"), "\r\n");
  bench.Wait(1000);
  EXPECT_EQ(bench.Ask("RX"), "VA RF0145500000 ST012500 AU0 MD1 AT0\r\n");
}

TEST_F(VfoSearch, RxAnswersWithTheChosenKeywordOnlyWhileSearching) {
  EngineConfig config = SteadyConfig();
  config.faults.searchAnswer = "SS";  // as a related AOR receiver answers
  Restart(config);
  bench.Expect({{"VS", kDone},
                {"RX", "SS RF0145000000 ST012500 AU0 MD1 AT0\r\n"},
                {"VV0", kDone},
                {"RX", "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n"}});
  bench.engine.SetFaults({});
  bench.Expect({{"VS", kDone}, {"RX", "VS RF0145000000 ST012500 AU0 MD1 AT0\r\n"}});
}

TEST_F(VfoSearch, LevelReportsFollowTheSearch) {
  ASSERT_EQ(bench.Write("LC1\rVA0145.18750\rVB0146.00000\rVS\r"), "\r\n\r\n\r\n\r\n");
  EXPECT_EQ(bench.Wait(2 * kStepMs + 20), "LC 142 VA RF0145212500\r\n");
  EXPECT_EQ(bench.Write("\x1E"), "LC%000 VA\r\n");
}

// A00 145.0 (quiet), A01 145.2125 passed, A02 145.3 (quiet), A03 145.8 (signal).
class MemoryScan : public SimBench {
 protected:
  void SetUp() override {
    for (const char* write : {"MXA00 RF0145000000 TMquiet", "MXA01 RF0145212500 MP1 TMpassed",
                              "MXA02 RF0145300000", "MXA03 RF0145800000 TMbusy"}) {
      ASSERT_EQ(bench.Ask(write), kDone);
    }
  }
};
using MemoryChannel = MemoryScan;

std::string ChannelOf(const std::string& rxAnswer) {
  return rxAnswer.substr(0, 9);
}

TEST_F(MemoryScan, VisitsUnpassedChannelsAndRestsOnAnOpenSquelch) {
  EXPECT_EQ(bench.Ask("MSA"), "\r\n");
  const double startMs = bench.engine.NextEventMs().value() - kStepMs;
  EXPECT_EQ(ChannelOf(bench.Ask("RX")), "MS MXA00 ");
  bench.Wait(startMs + kStepMs + 1 - bench.nowMs);
  EXPECT_EQ(ChannelOf(bench.Ask("RX")), "MS MXA02 ");  // A01 is passed
  bench.Wait(kStepMs);
  EXPECT_EQ(bench.Ask("RX"), "MS MXA03 MP0 RF0145800000 ST012500 AU0 MD1 AT0 TMbusy        \r\n");
  EXPECT_EQ(bench.Ask("LM"), "LM 201\r\n");
  bench.Wait(3000);
  EXPECT_EQ(ChannelOf(bench.Ask("RX")), "MS MXA03 ");
  // Byte 30 lets it go on, round to the bank's first channel.
  EXPECT_EQ(bench.Write("\x1E"), "");
  EXPECT_EQ(ChannelOf(bench.Ask("RX")), "MS MXA00 ");
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
}

TEST_F(MemoryScan, PassingTheRestingChannelAndRestartingSkipsIt) {
  ASSERT_EQ(bench.Ask("LC1"), "\r\n");
  EXPECT_EQ(bench.Ask("MSA"), "\r\n");
  EXPECT_EQ(bench.Wait(200), "LC 201 MA03 RF0145800000\r\n");
  // The panel's pass: read the channel, pass it, start the scan again.
  EXPECT_EQ(bench.Ask("MR"), "MXA03 MP0 RF0145800000 ST012500 AU0 MD1 AT0 TMbusy        \r\n");
  EXPECT_EQ(bench.Ask("RX").substr(0, 3), "MR ");
  EXPECT_EQ(bench.Ask("MP1"), "\r\n");
  EXPECT_EQ(bench.Ask("MS"), "\r\nLC%000 MA00\r\n");
  EXPECT_EQ(bench.Wait(1000), "");
  EXPECT_EQ(ChannelOf(bench.Ask("RX")).substr(0, 6), "MS MXA");
  EXPECT_TRUE(bench.engine.receiver().memory().Find('A', 3)->passed);
}

TEST_F(MemoryScan, RefusesABankWithNothingToVisit) {
  EXPECT_EQ(bench.Ask("MSB"), "?\r\n");
  EXPECT_EQ(bench.Ask("MSK"), "?\r\n");
  EXPECT_EQ(bench.Ask("MXB00 RF0145500000 MP1"), "\r\n");
  EXPECT_EQ(bench.Ask("MSB"), "?\r\n");  // its only channel is passed
  EXPECT_EQ(bench.Ask("RX").substr(0, 3), "VA ");
  EXPECT_EQ(bench.Ask("MS"), "\r\n");  // the bank in use, A
  EXPECT_EQ(ChannelOf(bench.Ask("RX")), "MS MXA00 ");
}

TEST_F(MemoryScan, EndsWhenItsBankIsCleared) {
  EXPECT_EQ(bench.Ask("MSA"), "\r\n");
  EXPECT_EQ(bench.Ask("MQA%%"), "\r\n");
  EXPECT_EQ(bench.Ask("RX").substr(0, 3), "VA ");
  bench.Wait(1000);
  EXPECT_FALSE(bench.engine.NextEventMs().has_value());
}

TEST_F(MemoryChannel, ByteThirtyMovesToTheNextStoredChannel) {
  EXPECT_EQ(bench.Ask("MRA02"), "\r\n");
  EXPECT_EQ(bench.Write("\x1E"), "");
  EXPECT_EQ(ChannelOf(bench.Ask("RX")), "MR MXA03 ");
  EXPECT_EQ(bench.Write("\x1E"), "");
  EXPECT_EQ(ChannelOf(bench.Ask("RX")), "MR MXA00 ");
}

}  // namespace
}  // namespace ar8600sim::testing
