// Each command family, with the exact bytes the receiver answers.
#include <gtest/gtest.h>

#include "sim_bench.h"

namespace ar8600sim::testing {
namespace {

TEST(ReceiverCommands, LevelReadShowsClosedSquelchOrTheSignalLevel) {
  Bench bench;
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
  EXPECT_EQ(bench.Ask("VA0145.21250"), "\r\n");
  EXPECT_EQ(bench.Ask("LM"), "LM 142\r\n");
  // Half a step (6.25 kHz) away is outside; just inside it is heard.
  EXPECT_EQ(bench.Ask("VA0145.21875"), "\r\n");
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
  EXPECT_EQ(bench.Ask("VA0145.21870"), "\r\n");
  EXPECT_EQ(bench.Ask("LM"), "LM 142\r\n");
  EXPECT_EQ(bench.Ask("VA0145.80000"), "\r\n");
  EXPECT_EQ(bench.Ask("LM"), "LM 201\r\n");
}

TEST(ReceiverCommands, RxReportsTheSelectedVfo) {
  Bench bench;
  EXPECT_EQ(bench.Ask("RX"), "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n");
  EXPECT_EQ(bench.Ask("VB"), "\r\n");
  EXPECT_EQ(bench.Ask("RX"), "VB RF0146000000 ST012500 AU0 MD1 AT0\r\n");
  EXPECT_EQ(bench.Ask("VB0430.02500"), "\r\n");
  EXPECT_EQ(bench.Ask("RX"), "VB RF0430025000 ST012500 AU0 MD1 AT0\r\n");
  EXPECT_EQ(bench.Ask("VA"), "\r\n");
  EXPECT_EQ(bench.Ask("RX"), "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n");
}

TEST(ReceiverCommands, VfoAndRfTakeEveryFrequencyFormAndRefuseOutOfRange) {
  Bench bench;
  EXPECT_EQ(bench.Ask("VA0145.123450"), "\r\n");
  EXPECT_EQ(bench.Ask("RF"), "RF0145123450\r\n");
  EXPECT_EQ(bench.Ask("VA0145000000"), "\r\n");
  EXPECT_EQ(bench.Ask("RF"), "RF0145000000\r\n");
  EXPECT_EQ(bench.Ask("RF0446.00625"), "\r\n");
  EXPECT_EQ(bench.Ask("RX"), "VA RF0446006250 ST012500 AU0 MD1 AT0\r\n");
  for (const char* refused :
       {"VA2500000000", "VA0000.09995", "VB2040.00005", "VA0145.5x", "RF01450", "VA014500000"}) {
    EXPECT_EQ(bench.Ask(refused), "?\r\n") << refused;
  }
  EXPECT_EQ(bench.Ask("RF"), "RF0446006250\r\n");
}

TEST(ReceiverCommands, StepModeAndSwitchesAreSetAndRead) {
  Bench bench;
  EXPECT_EQ(bench.Ask("ST006.25"), "\r\n");
  EXPECT_EQ(bench.Ask("ST"), "ST006250\r\n");
  EXPECT_EQ(bench.Ask("ST012.345"), "?\r\n");
  EXPECT_EQ(bench.Ask("ST008.33"), "\r\n");
  EXPECT_EQ(bench.Ask("ST"), "ST008330\r\n");
  EXPECT_EQ(bench.Ask("ST025000"), "\r\n");
  EXPECT_EQ(bench.Ask("MD5"), "\r\n");
  EXPECT_EQ(bench.Ask("MD"), "MD5\r\n");
  EXPECT_EQ(bench.Ask("MD9"), "?\r\n");
  EXPECT_EQ(bench.Ask("AT1"), "\r\n");
  EXPECT_EQ(bench.Ask("AT"), "AT1\r\n");
  EXPECT_EQ(bench.Ask("NL1"), "\r\n");
  EXPECT_EQ(bench.Ask("NL"), "NL1\r\n");
  EXPECT_EQ(bench.Ask("AT2"), "?\r\n");
  EXPECT_EQ(bench.Ask("RX"), "VA RF0145000000 ST025000 AU0 MD5 AT1\r\n");
  EXPECT_EQ(bench.Ask("AT0"), "\r\n");
  EXPECT_EQ(bench.Ask("NL0"), "\r\n");
  EXPECT_EQ(bench.Ask("NL"), "NL0\r\n");
}

TEST(ReceiverCommands, AutomaticModePicksByBandUntilAModeIsChosen) {
  Bench bench;
  EXPECT_EQ(bench.Ask("MD3"), "\r\n");
  EXPECT_EQ(bench.Ask("AU1"), "\r\n");
  EXPECT_EQ(bench.Ask("AU"), "AU1\r\n");
  EXPECT_EQ(bench.Ask("MD"), "MD1\r\n");  // 145 MHz: NFM
  EXPECT_EQ(bench.Ask("VA0118.10000"), "\r\n");
  EXPECT_EQ(bench.Ask("RX"), "VA RF0118100000 ST012500 AU1 MD2 AT0\r\n");  // air band: AM
  EXPECT_EQ(bench.Ask("MD0"), "\r\n");
  EXPECT_EQ(bench.Ask("AU"), "AU0\r\n");
  EXPECT_EQ(bench.Ask("MD"), "MD0\r\n");
}

TEST(ReceiverCommands, UnknownEmptyAndBatchedCommands) {
  Bench bench;
  for (const char* refused : {"ZZ", "lm", "LMX", "RX1", "X", "VV", "VV1", "EX1", "LC3"}) {
    EXPECT_EQ(bench.Ask(refused), "?\r\n") << refused;
  }
  EXPECT_EQ(bench.Write("\r"), "");                // a lone CR gets no answer
  EXPECT_EQ(bench.Write("LM\r\n"), "LM%000\r\n");  // the LF after it is ignored
  EXPECT_EQ(bench.Write("LM\rRX\rMD\r"),
            "LM%000\r\nVA RF0145000000 ST012500 AU0 MD1 AT0\r\nMD1\r\n");
  // A command may come in pieces.
  EXPECT_EQ(bench.Write("R"), "");
  EXPECT_EQ(bench.Write("X\r"), "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n");
  EXPECT_EQ(bench.Write(std::string(300, 'A') + "\r"), "?\r\n");
}

TEST(ReceiverCommands, ExAnswersNothingAndLaterCommandsAreServed) {
  Bench bench;
  EXPECT_EQ(bench.Ask("EX"), "");
  EXPECT_EQ(bench.Ask("LM"), "LM%000\r\n");
}

TEST(ReceiverCommands, LevelReportingOnChangeSendsOpenAndCloseLines) {
  Bench bench;
  EXPECT_EQ(bench.Ask("LC"), "LC0\r\n");
  EXPECT_EQ(bench.Ask("LC1"), "\r\n");
  EXPECT_EQ(bench.Ask("VA0145.21250"), "\r\nLC 142 VA RF0145212500\r\n");
  EXPECT_EQ(bench.Ask("LM"), "LM 142\r\n");
  EXPECT_EQ(bench.Ask("VB0145.80000"), "\r\nLC 201 VB RF0145800000\r\n");
  EXPECT_EQ(bench.Ask("VB0146.00000"), "\r\nLC%000 VB\r\n");
  EXPECT_EQ(bench.Ask("VB0146.01250"), "\r\n");  // still closed: nothing to report
  EXPECT_EQ(bench.Wait(1000), "");
  EXPECT_EQ(bench.Ask("LC0"), "\r\n");
  EXPECT_EQ(bench.Ask("VA0145.21250"), "\r\n");
}

TEST(ReceiverCommands, ContinuousLevelReportingRepeatsEvery100Ms) {
  Bench bench;
  EXPECT_EQ(bench.Ask("VA0145.51250"), "\r\n");
  EXPECT_EQ(bench.Ask("LC2"), "\r\n");
  EXPECT_EQ(bench.Wait(250), "LC 096 VA RF0145512500\r\nLC 096 VA RF0145512500\r\n");
  EXPECT_EQ(bench.Ask("VA0145.00000"), "\r\nLC%000 VA\r\n");
  EXPECT_EQ(bench.Wait(100), "LC%000 VA\r\n");
  EXPECT_EQ(bench.Ask("LC0"), "\r\n");
  EXPECT_EQ(bench.Wait(1000), "");
}

TEST(ReceiverCommands, ByteThirtyStepsTheVfoUpAndAnswersOnlyWithACr) {
  Bench bench;
  EXPECT_EQ(bench.Write("\x1E"), "");
  EXPECT_EQ(bench.Ask("RF"), "RF0145012500\r\n");
  EXPECT_EQ(bench.Write("\x1E\r"), "\r\n");
  EXPECT_EQ(bench.Ask("RF"), "RF0145025000\r\n");
  // Inside a command it is just a wrong byte.
  EXPECT_EQ(bench.Write("LM\x1E\r"), "?\r\n");
}

}  // namespace
}  // namespace ar8600sim::testing
