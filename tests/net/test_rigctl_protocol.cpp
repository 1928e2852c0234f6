#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/rigctl_protocol.h"

// Requests as Hamlib's client and scripts send them, and the exact answers.
namespace voxrig::rigctl {
namespace {

const PanelView kPanel{"145.5", "FM", 12};

std::string Answer(const std::string& line, const PanelView& panel = kPanel) {
  const std::optional<Request> request = ParseRequest(line);
  if (!request) return "(none)";
  return IsSet(*request) ? "(set)" : AnswerRequest(*request, panel);
}

TEST(RigctlProtocol, AnswersGetsInPlainAndExtendedForms) {
  struct Case {
    std::string line;
    std::string answer;
  };
  const std::vector<Case> cases = {
      {"f", "145500000\n"},
      {"\\get_freq\r", "145500000\n"},
      {"+f", "get_freq:\nFrequency: 145500000\nRPRT 0\n"},
      {";\\get_freq", "get_freq:;Frequency: 145500000;RPRT 0;\n"},
      {"m", "FM\n15000\n"},
      {"+\\get_mode", "get_mode:\nMode: FM\nPassband: 15000\nRPRT 0\n"},
      {"|m", "get_mode:|Mode: FM|Passband: 15000|RPRT 0|\n"},
      {"v", "VFOA\n"},
      {"l STRENGTH", "15\n"},
      {"+l STRENGTH", "get_level: STRENGTH\nLevel Value: 15\nRPRT 0\n"},
      {"l", "RPRT -1\n"},
      {"l RFPOWER", "RPRT -11\n"},
      {"\\chk_vfo", "0\n"},
      {"\\get_powerstat", "1\n"},
      {"s", "0\nVFOA\n"},
      {"\\get_lock_mode", "0\n"},
      {"t", "0\n"},
      {"q", ""},
      {"\\quit", ""},
      {"", "(none)"},
      {"   \r", "(none)"},
      {"F 14074000", "(set)"},
      {"+\\set_mode USB 2400", "(set)"},
      {"V VFOA", "(set)"},
      // Unknown commands, words and bytes no request holds.
      {"x", "RPRT -4\n"},
      {"\\set_ptt 1", "RPRT -4\n"},
      {"+\\frobnicate 3", "frobnicate: 3\nRPRT -4\n"},
      {"freq", "RPRT -4\n"},
      {"f\x01", "RPRT -1\n"},
      {std::string("f\0m", 3), "RPRT -1\n"},
      {"\xff\xfe", "RPRT -1\n"},
      {"+", "RPRT -1\n"},
      {std::string(kMaxLineLength + 1, 'f'), "RPRT -1\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Answer(c.line), c.answer) << c.line;
}

TEST(RigctlProtocol, TellsTheModeTheReceiverHeardAndNoModeInAutomatic) {
  struct Case {
    std::string modeText;
    std::string answer;
  };
  const std::vector<Case> cases = {
      {"FM", "FM\n15000\n"},  {"AM", "AM\n6000\n"},   {"WFM", "WFM\n220000\n"},
      {"USB", "USB\n3000\n"}, {"LSB", "LSB\n3000\n"}, {"CW ", "CW\n3000\n"},
      {"AUT", "RPRT -11\n"},  {"", "RPRT -11\n"},     {"CW", "RPRT -11\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Answer("m", PanelView{"145.0", c.modeText, 0}), c.answer) << c.modeText;
  }
}

TEST(RigctlProtocol, ChecksSetsAgainstTheReceiverAndWhatThePanelHolds) {
  struct Case {
    std::string line;
    int error;
    bool changesNothing;
    std::int64_t hz;
    std::string modeText;
  };
  const std::vector<Case> cases = {
      {"F 14074000", kOk, false, 14074000, ""},
      {"F 14074000.000000", kOk, false, 14074000, ""},
      {"F 7.1e6", kOk, false, 7100000, ""},
      {"F 145500000", kOk, true, 145500000, ""},
      {"F 100000", kOk, false, 100000, ""},
      {"F 2040000000", kOk, false, 2040000000, ""},
      {"F 99999", kInvalidArgument, false, 0, ""},
      {"F 3e9", kInvalidArgument, false, 0, ""},
      {"F -5", kInvalidArgument, false, 0, ""},
      {"F nan", kInvalidArgument, false, 0, ""},
      {"F 14074000Hz", kInvalidArgument, false, 0, ""},
      {"F", kInvalidArgument, false, 0, ""},
      {"F 1 2", kInvalidArgument, false, 0, ""},
      {"M USB 2400", kOk, false, 0, "USB"},
      {"M CW 0", kOk, false, 0, "CW "},
      {"M PKTUSB -1", kOk, false, 0, "USB"},
      {"M CWR", kOk, false, 0, "CW "},
      {"M FM 15000", kOk, true, 0, "FM"},
      {"M usb 2400", kInvalidArgument, false, 0, ""},
      {"M RTTY 2400", kInvalidArgument, false, 0, ""},
      {"M USB wide", kInvalidArgument, false, 0, ""},
      {"M", kInvalidArgument, false, 0, ""},
      {"V VFOA", kOk, true, 0, ""},
      {"V currVFO", kOk, true, 0, ""},
      {"V VFOB", kNotAvailable, false, 0, ""},
      {"V MEM", kNotAvailable, false, 0, ""},
      {"V", kInvalidArgument, false, 0, ""},
  };
  for (const Case& c : cases) {
    const SetOrder order = CheckSet(*ParseRequest(c.line), kPanel);
    EXPECT_EQ(order.error, c.error) << c.line;
    if (order.error != kOk) continue;
    EXPECT_EQ(order.changesNothing, c.changesNothing) << c.line;
    EXPECT_EQ(order.frequencyHz, c.hz) << c.line;
    EXPECT_EQ(order.modeText, c.modeText) << c.line;
  }
}

TEST(RigctlProtocol, AnswersSetsWithTheirReport) {
  EXPECT_EQ(AnswerSet(*ParseRequest("F 14074000"), kOk), "RPRT 0\n");
  EXPECT_EQ(AnswerSet(*ParseRequest("M USB 2400"), kRejected), "RPRT -9\n");
  EXPECT_EQ(AnswerSet(*ParseRequest("+F 14074000"), kOk), "set_freq: 14074000\nRPRT 0\n");
  EXPECT_EQ(AnswerSet(*ParseRequest(",\\set_mode USB 2400"), kRejected),
            "set_mode: USB 2400,RPRT -9,\n");
}

TEST(RigctlProtocol, DumpStateTellsTheClientTheReceiversRangeModesAndLevel) {
  const std::string state = Answer("\\dump_state");
  EXPECT_EQ(state.rfind("1\n2\n2\n100000.000000 2040000000.000000 0x6f -1 -1 0x1 0x0\n", 0), 0u)
      << state;
  EXPECT_NE(state.find("\n0x40000000\n"), std::string::npos);  // STRENGTH
  EXPECT_NE(state.find("\nrig_model=2\n"), std::string::npos);
  EXPECT_TRUE(state.ends_with("\ndone\n"));
  EXPECT_TRUE(Answer("+\\dump_state").ends_with("done\nRPRT 0\n"));
}

TEST(RigctlProtocol, ReadsThePanelsFrequencyTextAsHertz) {
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"145.5", 145500000},
      {"145.", 145000000},
      {"145", 145000000},
      {"7.05", 7050000},
      {"145.1234567", 145123456},
      {"1296.25", 1296250000},
      {".5", 500000},
      {"", 0},
      {"abc", 0},
  };
  for (const auto& [text, hz] : cases) EXPECT_EQ(HzFromMegahertzText(text), hz) << text;
}

TEST(RigctlProtocol, GivesTheMeterAsDecibelsRelativeToS9) {
  const std::vector<std::pair<int, int>> cases = {
      {-3, -54}, {0, -54}, {1, -48}, {8, -6}, {9, 0}, {10, 5}, {12, 15}, {21, 60}, {40, 60},
  };
  for (const auto& [meter, strength] : cases) {
    EXPECT_EQ(StrengthFromMeter(meter), strength) << meter;
  }
}

}  // namespace
}  // namespace voxrig::rigctl
