// SPDX-License-Identifier: GPL-3.0-or-later
// Each command family, with the exact bytes the receiver answers.
#include <gtest/gtest.h>

#include "sim_bench.h"

namespace ar8600sim::testing {
namespace {

using ReceiverCommands = SimBench;

const std::string kVfoA = "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n";

TEST_F(ReceiverCommands, LevelReadShowsClosedSquelchOrTheSignalLevel) {
  bench.Expect({{"LM", "LM%000\r\n"},
                {"VA0145.21250", kDone},
                {"LM", "LM 142\r\n"},
                // Half a step (6.25 kHz) away is outside; just inside it is heard.
                {"VA0145.21875", kDone},
                {"LM", "LM%000\r\n"},
                {"VA0145.21870", kDone},
                {"LM", "LM 142\r\n"},
                {"VA0145.80000", kDone},
                {"LM", "LM 201\r\n"}});
}

TEST_F(ReceiverCommands, RxReportsTheSelectedVfo) {
  bench.Expect({{"RX", kVfoA},
                {"VB", kDone},
                {"RX", "VB RF0146000000 ST012500 AU0 MD1 AT0\r\n"},
                {"VB0430.02500", kDone},
                {"RX", "VB RF0430025000 ST012500 AU0 MD1 AT0\r\n"},
                {"VA", kDone},
                {"RX", kVfoA}});
}

TEST_F(ReceiverCommands, VfoAndRfTakeEveryFrequencyFormAndRefuseOutOfRange) {
  bench.Expect({{"VA0145.123450", kDone},
                {"RF", "RF0145123450\r\n"},
                {"VA0145000000", kDone},
                {"RF", "RF0145000000\r\n"},
                {"RF0446.00625", kDone},
                {"RX", "VA RF0446006250 ST012500 AU0 MD1 AT0\r\n"}});
  bench.ExpectRefused(
      {"VA2500000000", "VA0000.09995", "VB2040.00005", "VA0145.5x", "RF01450", "VA014500000"});
  EXPECT_EQ(bench.Ask("RF"), "RF0446006250\r\n");
}

TEST_F(ReceiverCommands, StepModeAndSwitchesAreSetAndRead) {
  bench.Expect({{"ST006.25", kDone},
                {"ST", "ST006250\r\n"},
                {"ST012.345", kRefused},
                {"ST008.33", kDone},
                {"ST", "ST008330\r\n"},
                {"ST025000", kDone},
                {"MD5", kDone},
                {"MD", "MD5\r\n"},
                {"MD9", kRefused},
                {"AT1", kDone},
                {"AT", "AT1\r\n"},
                {"NL1", kDone},
                {"NL", "NL1\r\n"},
                {"AT2", kRefused},
                {"RX", "VA RF0145000000 ST025000 AU0 MD5 AT1\r\n"},
                {"AT0", kDone},
                {"NL0", kDone},
                {"NL", "NL0\r\n"}});
}

TEST_F(ReceiverCommands, AutomaticModePicksByBandUntilAModeIsChosen) {
  bench.Expect({{"MD3", kDone},
                {"AU1", kDone},
                {"AU", "AU1\r\n"},
                {"MD", "MD1\r\n"},  // 145 MHz: NFM
                {"VA0118.10000", kDone},
                {"RX", "VA RF0118100000 ST012500 AU1 MD2 AT0\r\n"},  // air band: AM
                {"MD0", kDone},
                {"AU", "AU0\r\n"},
                {"MD", "MD0\r\n"}});
}

TEST_F(ReceiverCommands, UnknownEmptyAndBatchedCommands) {
  bench.ExpectRefused({"ZZ", "lm", "LMX", "RX1", "X", "VV", "VV1", "EX1", "LC3"});
  EXPECT_EQ(bench.Write("\r"), "");                // a lone CR gets no answer
  EXPECT_EQ(bench.Write("LM\r\n"), "LM%000\r\n");  // the LF after it is ignored
  EXPECT_EQ(bench.Write("LM\rRX\rMD\r"), "LM%000\r\n" + kVfoA + "MD1\r\n");
  // A command may come in pieces.
  EXPECT_EQ(bench.Write("R"), "");
  EXPECT_EQ(bench.Write("X\r"), kVfoA);
  EXPECT_EQ(bench.Write(std::string(300, 'A') + "\r"), kRefused);
}

TEST_F(ReceiverCommands, ExAnswersNothingAndLaterCommandsAreServed) {
  bench.Expect({{"EX", ""}, {"LM", "LM%000\r\n"}});
}

TEST_F(ReceiverCommands, LevelReportingOnChangeSendsOpenAndCloseLines) {
  bench.Expect({{"LC", "LC0\r\n"},
                {"LC1", kDone},
                {"VA0145.21250", "\r\nLC 142 VA RF0145212500\r\n"},
                {"LM", "LM 142\r\n"},
                {"VB0145.80000", "\r\nLC 201 VB RF0145800000\r\n"},
                {"VB0146.00000", "\r\nLC%000 VB\r\n"},
                {"VB0146.01250", kDone}});  // still closed: nothing to report
  EXPECT_EQ(bench.Wait(1000), "");
  bench.Expect({{"LC0", kDone}, {"VA0145.21250", kDone}});
}

TEST_F(ReceiverCommands, ContinuousLevelReportingRepeatsEvery100Ms) {
  bench.Expect({{"VA0145.51250", kDone}, {"LC2", kDone}});
  EXPECT_EQ(bench.Wait(250), "LC 096 VA RF0145512500\r\nLC 096 VA RF0145512500\r\n");
  EXPECT_EQ(bench.Ask("VA0145.00000"), "\r\nLC%000 VA\r\n");
  EXPECT_EQ(bench.Wait(100), "LC%000 VA\r\n");
  EXPECT_EQ(bench.Ask("LC0"), kDone);
  EXPECT_EQ(bench.Wait(1000), "");
}

TEST_F(ReceiverCommands, ByteThirtyStepsTheVfoUpAndAnswersOnlyWithACr) {
  EXPECT_EQ(bench.Write("\x1E"), "");
  EXPECT_EQ(bench.Ask("RF"), "RF0145012500\r\n");
  EXPECT_EQ(bench.Write("\x1E\r"), kDone);
  EXPECT_EQ(bench.Ask("RF"), "RF0145025000\r\n");
  // Inside a command it is just a wrong byte.
  EXPECT_EQ(bench.Write("LM\x1E\r"), kRefused);
}

}  // namespace
}  // namespace ar8600sim::testing
