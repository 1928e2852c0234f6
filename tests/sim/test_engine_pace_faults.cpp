// SPDX-License-Identifier: GPL-3.0-or-later
// The pace of the answers on the line, the wire entries, and the faults.
#include <gtest/gtest.h>

#include "sim_bench.h"

namespace ar8600sim::testing {
namespace {

constexpr double kByteMs = 11.0 * 1000.0 / 19200.0;  // 2 stop bits at 19200 baud
constexpr double kAnswerByteMs = kByteMs + 0.26;     // the receiver's gap added

using Pace = SimBench;
using WireEntries = SimBench;
using Faults = SimBench;

TEST_F(Pace, FirstByteComes7To20MsAfterTheCrAndTheRestAtLineSpeed) {
  Restart(EngineConfig{});  // the receiver's own varying delays
  double earliest = 1e9;
  double latest = 0;
  double soonestEnd = 1e9;
  double latestEnd = 0;
  for (int i = 0; i < 200; ++i) {
    const double writtenMs = i * 100.0;
    bench.engine.Receive("RX\r", writtenMs);
    const double crMs = writtenMs + 3 * kByteMs;
    const std::vector<TimedByte> answer = bench.engine.TakeOutput();
    ASSERT_EQ(TextOf(answer), "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n");
    const double delayMs = answer.front().dueMs - crMs;
    earliest = std::min(earliest, delayMs);
    latest = std::max(latest, delayMs);
    const double endMs = answer.back().dueMs + kAnswerByteMs - crMs;
    soonestEnd = std::min(soonestEnd, endMs);
    latestEnd = std::max(latestEnd, endMs);
    for (std::size_t b = 1; b < answer.size(); ++b) {
      ASSERT_NEAR(answer[b].dueMs - answer[b - 1].dueMs, kAnswerByteMs, 1e-9);
      ASSERT_GE(answer[b].dueMs - answer[b - 1].dueMs, kByteMs);  // never past the line speed
    }
  }
  EXPECT_GE(earliest, 7.0 - 1e-9);
  EXPECT_LE(latest, 20.0 + 1e-9);
  EXPECT_LT(earliest, 10.0);  // the delay does vary over the range
  EXPECT_GT(latest, 17.0);
  // A whole RX line takes about 40 to 50 ms from the CR.
  EXPECT_GE(soonestEnd, 38.0);
  EXPECT_LE(latestEnd, 52.0);
}

TEST_F(Pace, AnswersToABurstQueueBehindEachOther) {
  bench.engine.Receive("RX\rRX\rLM\r", 0);
  const std::vector<TimedByte> bytes = bench.engine.TakeOutput();
  ASSERT_EQ(bytes.size(), 38u + 38u + 8u);
  EXPECT_NEAR(bytes.front().dueMs, 3 * kByteMs + 10, 1e-9);
  for (std::size_t b = 1; b < bytes.size(); ++b) {
    ASSERT_GE(bytes[b].dueMs - bytes[b - 1].dueMs, kAnswerByteMs - 1e-9) << b;
  }
}

TEST_F(Pace, SlowerLinesTakeLongerPerByte) {
  EngineConfig config = SteadyConfig();
  config.baud = 4800;
  Restart(config);
  bench.engine.Receive("LM\r", 0);
  const std::vector<TimedByte> bytes = bench.engine.TakeOutput();
  ASSERT_EQ(bytes.size(), 8u);
  const double byteMs = 11.0 * 1000.0 / 4800.0;
  EXPECT_NEAR(bytes.front().dueMs, 3 * byteMs + 10, 1e-9);
  EXPECT_NEAR(bytes.back().dueMs - bytes.front().dueMs, 7 * (byteMs + 0.26), 1e-9);
}

TEST_F(WireEntries, RecordEveryCommandWithTheArrivalOfItsCr) {
  bench.nowMs = 1000;
  bench.Write("LM\r\nRX\r\r\x1E\x1E\rMXA00 RF0145500000 TMa<b\r");
  const std::vector<WireEntry> entries = bench.engine.TakeWireEntries();
  ASSERT_EQ(entries.size(), 7u);
  const std::vector<std::string> lines = {"1001 LM",
                                          "1004 RX",
                                          "1004 <0D>",
                                          "1005 <1E>",
                                          "1005 <1E>",
                                          "1006 <0D>",
                                          "1020 MXA00 RF0145500000 TMa<3C>b"};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(FormatWireLine(entries[i]), lines[i]) << i;
  }
  EXPECT_NEAR(entries[0].atMs, 1000 + 3 * kByteMs, 1e-9);
  EXPECT_NEAR(entries[1].atMs, 1000 + 7 * kByteMs, 1e-9);  // the LF took its time too
  EXPECT_TRUE(bench.engine.TakeWireEntries().empty());
}

TEST_F(WireEntries, ShowUnprintableBytesInHex) {
  EXPECT_EQ(FormatWireLine({12.9, "\x1E"}), "12 <1E>");
  EXPECT_EQ(FormatWireLine({0, ""}), "0 <0D>");
  EXPECT_EQ(FormatWireLine({5, std::string("A\x00\x7F\xFF", 4)}), "5 A<00><7F><FF>");
}

TEST_F(Faults, SilentReceiverReadsAndLogsButNeverAnswers) {
  EngineConfig config = SteadyConfig();
  config.faults.silent = true;
  Restart(config);
  EXPECT_EQ(bench.Ask("LC1"), "");
  EXPECT_EQ(bench.Ask("VA0145.21250"), "");
  EXPECT_EQ(bench.Ask("LM"), "");
  EXPECT_EQ(bench.engine.TakeWireEntries().size(), 3u);
  // Switched back at run time, it answers again.
  bench.engine.SetFaults({});
  EXPECT_EQ(bench.Ask("LM"), "LM 142\r\n");
}

TEST_F(Faults, GarbageAnswersHaveTheLengthButNoLetters) {
  EngineConfig config = SteadyConfig();
  config.faults.garbage = true;
  Restart(config);
  const std::string answer = bench.Ask("RX");
  ASSERT_EQ(answer.size(), 38u);
  for (const char byte : answer) {
    EXPECT_FALSE((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) << byte;
  }
  EXPECT_NE(answer, bench.Ask("RX"));
  bench.engine.SetFaults({});
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
}

TEST_F(Faults, DropAfterHangsUpOnceTheLastAnswerIsOut) {
  EngineConfig config = SteadyConfig();
  config.dropAfter = 2;
  Restart(config);
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
  EXPECT_FALSE(bench.engine.HangUpAtMs().has_value());
  bench.engine.Receive("RX\r", 0);
  const std::vector<TimedByte> last = bench.engine.TakeOutput();
  ASSERT_EQ(last.size(), 38u);
  ASSERT_TRUE(bench.engine.HangUpAtMs().has_value());
  EXPECT_NEAR(*bench.engine.HangUpAtMs(), last.back().dueMs + kAnswerByteMs, 1e-9);
  EXPECT_FALSE(bench.engine.HungUp());
  EXPECT_EQ(bench.engine.NextEventMs(), bench.engine.HangUpAtMs());
  bench.Wait(100);
  EXPECT_TRUE(bench.engine.HungUp());
  EXPECT_EQ(bench.Ask("LM"), "");
  EXPECT_EQ(bench.engine.TakeWireEntries().size(), 2u);
}

TEST_F(Faults, HangUpNowDropsTheLineAtOnce) {
  bench.nowMs = 50;
  bench.engine.HangUpNow(50);
  EXPECT_TRUE(bench.engine.HungUp());
  EXPECT_EQ(bench.Ask("LM"), "");
}

TEST_F(Faults, SlowAnswersComeAfterTheGivenDelay) {
  EngineConfig config = SteadyConfig();
  config.faults.replyDelayMs = 800;
  Restart(config);
  bench.engine.Receive("LM\r", 0);
  const std::vector<TimedByte> bytes = bench.engine.TakeOutput();
  ASSERT_FALSE(bytes.empty());
  EXPECT_NEAR(bytes.front().dueMs, 3 * kByteMs + 800, 1e-9);
}

TEST(ControlFile, ChangesOnlyTheSettingsItNames) {
  ar8600sim::Faults current;
  current.garbage = true;
  const ControlLoad load = ParseControlFile(
      "# faults for the next part of the test\nsilent on\n\nreply-delay-ms 300\ndrop-after 4\n"
      "search-answer SS\n",
      current);
  ASSERT_TRUE(load.error.empty()) << load.error;
  EXPECT_TRUE(load.faults.silent);
  EXPECT_TRUE(load.faults.garbage);
  EXPECT_EQ(load.faults.replyDelayMs, 300);
  EXPECT_EQ(load.dropAfter, 4);
  EXPECT_EQ(load.faults.searchAnswer, "SS");
  EXPECT_FALSE(load.hangUpNow);

  const ControlLoad back =
      ParseControlFile("garbage off\r\nreply-delay-ms off\nhang-up\n", load.faults);
  ASSERT_TRUE(back.error.empty()) << back.error;
  EXPECT_FALSE(back.faults.garbage);
  EXPECT_FALSE(back.faults.replyDelayMs.has_value());
  EXPECT_FALSE(back.dropAfter.has_value());
  EXPECT_TRUE(back.hangUpNow);
}

TEST(ControlFile, RefusesAWrongLineAndKeepsTheFaults) {
  ar8600sim::Faults current;
  current.silent = true;
  for (const char* bad : {"silent maybe\n", "drop-after -1\n", "volume 11\n", "garbage on off\n",
                          "hang-up now\n", "search-answer ss\n", "search-answer VSX\n"}) {
    const ControlLoad load = ParseControlFile(std::string("garbage on\n") + bad, current);
    EXPECT_EQ(load.line, 2) << bad;
    EXPECT_FALSE(load.error.empty()) << bad;
    EXPECT_EQ(load.faults, current) << bad;
    EXPECT_FALSE(load.hangUpNow);
  }
}

}  // namespace
}  // namespace ar8600sim::testing
