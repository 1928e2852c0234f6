// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/dummy_radio_record.h"
#include "net/rigctl_protocol.h"

// Requests as Hamlib's client and scripts send them, and the exact answers.
namespace voxrig::rigctl {
namespace {

const PanelView kPanel = [] {
  PanelView panel{"145.5", "FM", 12};
  panel.stepText = "12.5";
  return panel;
}();

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
      {";\\get_freq", "get_freq:;Frequency: 145500000;RPRT 0\n"},
      {"m", "FM\n15000\n"},
      {"+\\get_mode", "get_mode:\nMode: FM\nPassband: 15000\nRPRT 0\n"},
      {"|m", "get_mode:|Mode: FM|Passband: 15000|RPRT 0\n"},
      {"v", "VFOA\n"},
      {"l STRENGTH", "15\n"},
      {"+l STRENGTH", "get_level: STRENGTH\n15\nRPRT 0\n"},
      {"l ATT", "0\n"},
      {"l RAWSTR", "0\n"},
      {"\\get_dcd", "0\n"},
      {"+\\get_dcd", "get_dcd:\nDCD: 0\nRPRT 0\n"},
      {"l", "RPRT -1\n"},
      {"l RFPOWER", "RPRT -11\n"},
      {"\\chk_vfo", "0\n"},
      {"\\get_powerstat", "1\n"},
      {"s", "0\nVFOA\n"},
      {"\\get_lock_mode", "0\nRPRT 0\n"},
      {"t", "RPRT -11\n"},
      // The step the panel tunes by, in hertz.
      {"n", "12500\n"},
      {"+\\get_ts", "get_ts:\nTuning Step: 12500\nRPRT 0\n"},
      {"q", "RPRT 0\n"},
      {"\\quit", "RPRT 0\n"},
      {"", "(none)"},
      {"   \r", "(none)"},
      {"F 14074000", "(set)"},
      {"+\\set_mode USB 2400", "(set)"},
      {"V VFOA", "(set)"},
      // Unknown commands, words and bytes no request holds.
      {"x", "RPRT -11\n"},
      {"\\set_ptt 1", "RPRT -11\n"},
      {"+\\frobnicate 3", "frobnicate: 3\nRPRT -11\n"},
      {"freq", "RPRT -11\n"},
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
    SetAction action;
    std::int64_t hz;
    std::string modeText;
  };
  const std::vector<Case> cases = {
      {"F 14074000", kOk, SetAction::kTune, 14074000, ""},
      {"F 14074000.000000", kOk, SetAction::kTune, 14074000, ""},
      {"F 7.1e6", kOk, SetAction::kTune, 7100000, ""},
      {"F 145500000", kOk, SetAction::kNone, 145500000, ""},
      {"F 100000", kOk, SetAction::kTune, 100000, ""},
      {"F 2040000000", kOk, SetAction::kTune, 2040000000, ""},
      {"F 99999", kInvalidArgument, SetAction::kNone, 0, ""},
      {"F 3e9", kInvalidArgument, SetAction::kNone, 0, ""},
      {"F -5", kInvalidArgument, SetAction::kNone, 0, ""},
      {"F nan", kInvalidArgument, SetAction::kNone, 0, ""},
      {"F 14074000Hz", kInvalidArgument, SetAction::kNone, 0, ""},
      {"F", kInvalidArgument, SetAction::kNone, 0, ""},
      {"F 1 2", kInvalidArgument, SetAction::kNone, 0, ""},
      {"M USB 2400", kOk, SetAction::kSelectMode, 0, "USB"},
      {"M CW 0", kOk, SetAction::kSelectMode, 0, "CW "},
      {"M PKTUSB -1", kOk, SetAction::kSelectMode, 0, "USB"},
      {"M CWR", kOk, SetAction::kSelectMode, 0, "CW "},
      {"M FM 15000", kOk, SetAction::kNone, 0, "FM"},
      {"M usb 2400", kInvalidArgument, SetAction::kNone, 0, ""},
      {"M RTTY 2400", kInvalidArgument, SetAction::kNone, 0, ""},
      {"M USB wide", kInvalidArgument, SetAction::kNone, 0, ""},
      {"M", kInvalidArgument, SetAction::kNone, 0, ""},
      {"V VFOA", kOk, SetAction::kNone, 0, ""},
      {"V currVFO", kOk, SetAction::kNone, 0, ""},
      {"V VFOB", kNotAvailable, SetAction::kNone, 0, ""},
      {"V MEM", kNotAvailable, SetAction::kNone, 0, ""},
      {"V", kInvalidArgument, SetAction::kNone, 0, ""},
      {"L ATT 20", kOk, SetAction::kSwitchAttenuator, 0, ""},
      {"L ATT 0", kOk, SetAction::kNone, 0, ""},
      {"L ATT 10", kInvalidArgument, SetAction::kNone, 0, ""},
      {"L STRENGTH 5", kNotAvailable, SetAction::kNone, 0, ""},
      {"L ATT", kInvalidArgument, SetAction::kNone, 0, ""},
  };
  for (const Case& c : cases) {
    const SetOrder order = CheckSet(*ParseRequest(c.line), kPanel);
    EXPECT_EQ(order.error, c.error) << c.line;
    if (order.error != kOk) continue;
    EXPECT_EQ(order.action, c.action) << c.line;
    EXPECT_EQ(order.frequencyHz, c.hz) << c.line;
    EXPECT_EQ(order.modeText, c.modeText) << c.line;
  }
}

TEST(RigctlProtocol, AnswersSetsWithTheirReport) {
  EXPECT_EQ(AnswerSet(*ParseRequest("F 14074000"), kOk), "RPRT 0\n");
  EXPECT_EQ(AnswerSet(*ParseRequest("M USB 2400"), kRejected), "RPRT -9\n");
  EXPECT_EQ(AnswerSet(*ParseRequest("+F 14074000"), kOk), "set_freq: 14074000\nRPRT 0\n");
  EXPECT_EQ(AnswerSet(*ParseRequest(",\\set_mode USB 2400"), kRejected),
            "set_mode: USB 2400,RPRT -9\n");
}

TEST(RigctlProtocol, DumpStateTellsTheClientTheReceiversRangeModesAndLevel) {
  const std::string state = Answer("\\dump_state");
  EXPECT_EQ(state.rfind("1\n2\n0\n100000.000000 2040000000.000000 0x6f -1 -1 0x1 0x0\n", 0), 0u)
      << state;
  // ATT, RAWSTR and STRENGTH read, ATT set; the attenuator's 20 dB.
  EXPECT_NE(state.find("\n\n20 \n0x0\n0x0\n0x44000002\n0x2\n0x0\n0x0\n"), std::string::npos);
  // Its settings follow only once the client has checked the VFO mode.
  EXPECT_EQ(state.find("rig_model="), std::string::npos);
  const std::string checked = AnswerRequest(*ParseRequest("+\\dump_state"),
                                            PanelView{"145.5", "FM", 12, 0, false, false, true});
  EXPECT_NE(checked.find("\nrig_model=2\n"), std::string::npos);
  EXPECT_TRUE(checked.ends_with("\ndone\nRPRT 0\n")) << checked;
}

// A radio other than the AR8600 (a record like Hamlib's dummy radio's, and
// one of two ranges): the clients are told its name, ranges and modes, and
// its lack of an attenuator, and sets are checked against it.
TEST(RigctlProtocol, DescribesTheRadioDrivenAndChecksSetsAgainstIt) {
  const ReceiverCapabilities dummy = fakes::DummyRadioRecord();
  ReceiverCapabilities twoRanges = dummy;
  twoRanges.receiveRanges = {{100'000, 1'000'000'000}, {1'240'000'000, 1'300'000'000}};
  twoRanges.modes = {Mode::kFM, Mode::kAM};
  PanelView panel = kPanel;
  panel.radio = &dummy;
  const std::string caps = Answer("\\dump_caps", panel);
  for (const char* line :
       {"\nModel name:\tDummy through the voxrig panel\n", "\nMfg name:\tHamlib\n",
        "\nAttenuator: None\n", "\nMode list: AM CW USB LSB FM WFM \n",
        "\nGet level: RAWSTR(0..0/0) STRENGTH(0..0/0) \n", "\nSet level: \n",
        "\nRX ranges #1 for TBD:\n\t150000 Hz - 1500000000 Hz\n", "\nCan set Level:\tN\n",
        "\nCan get Level:\tY\n"}) {
    EXPECT_NE(caps.find(line), std::string::npos) << line << caps;
  }
  EXPECT_EQ(Answer("_", panel), "Hamlib Dummy through the voxrig panel\n");
  EXPECT_NE(Answer("\\get_rig_info", panel).find("\nRig=Dummy\n"), std::string::npos);
  EXPECT_EQ(Answer("l ATT", panel), "RPRT -11\n");
  const std::string state = Answer("\\dump_state", panel);
  EXPECT_TRUE(state.starts_with(
      "1\n2\n0\n150000.000000 1500000000.000000 0x6f -1 -1 0x1 0x0\n0 0 0 0 0 0 0\n"))
      << state;
  EXPECT_NE(state.find("\n\n\n0x0\n0x0\n0x44000000\n0x0\n0x0\n0x0\n"), std::string::npos) << state;
  panel.radio = &twoRanges;
  EXPECT_TRUE(Answer("\\dump_state", panel)
                  .starts_with("1\n2\n0\n100000.000000 1000000000.000000 0x21 -1 -1 0x1 0x0\n"
                               "1240000000.000000 1300000000.000000 0x21 -1 -1 0x1 0x0\n0 0 0"));

  struct Case {
    const ReceiverCapabilities* radio;
    std::string line;
    int error;
    std::int64_t hz;
  };
  const std::vector<Case> cases = {
      {&dummy, "F 1800000000", kInvalidArgument, 0},
      {&dummy, "F 149999", kInvalidArgument, 0},
      {&dummy, "F 150000", kOk, 150000},
      {&dummy, "F 1500000000", kOk, 1500000000},
      {&dummy, "F 145123456", kOk, 145123456},  // tuned to the hertz
      {&dummy, "L ATT 20", kNotAvailable, 0},
      {&twoRanges, "F 1100000000", kInvalidArgument, 0},
      {&twoRanges, "F 1296000000", kOk, 1296000000},
  };
  for (const Case& c : cases) {
    panel.radio = c.radio;
    const SetOrder order = CheckSet(*ParseRequest(c.line), panel);
    EXPECT_EQ(order.error, c.error) << c.line;
    EXPECT_EQ(order.frequencyHz, c.hz) << c.line;
  }
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
