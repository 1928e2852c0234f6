// SPDX-License-Identifier: GPL-3.0-or-later
// Tuning is heard: an arrow or page key reads the frequency it lands on, a
// search's find and a scan's rest say where, and V tells where the listener
// is in every state, from what the panel knows, without a word to the
// receiver.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/connected_panel.h"

namespace voxrig::testing {
namespace {

using fakes::ConnectedPanel;
using ::testing::ElementsAreArray;
using Strings = std::vector<std::string>;

constexpr const char* kStoppedAt = "VS RF0145512500 ST012500 AU0 MD1 AT0\r\n";
constexpr const char* kHeldA05 = "MS MXA05 MP0 RF0145850000 ST012500 AU0 MD1 AT0 TMRepeater\r\n";
constexpr const char* kHeldLevel = "LC 120 MA05 RF0145850000\r\n";

struct Case {
  const char* name;
  std::function<void(ConnectedPanel&)> setUp;  // not heard
  std::function<void(ConnectedPanel&)> act;    // heard
  Strings heard;
};

void Keys(ConnectedPanel& panel, std::initializer_list<int> keys) {
  for (int key : keys) panel.Press(key);
}

void SelectTwoChannels(ConnectedPanel& panel) {
  panel.SelectInMemory({"145.1", "145.5"});
  panel.ctx.banks.selectedBankFile = "bank05.dat";
  panel.ctx.banks.tunedChannelSlot = 4;
  panel.ctx.tuning.frequencyText = "145.1";
}

void StartSearch(ConnectedPanel& panel, bool stopMode) {
  if (stopMode) panel.Type("C");
  panel.answers["RX"] = kStoppedAt;
  panel.Type("R");
}

void RestInMemoryScan(ConnectedPanel& panel) {
  panel.answers["RX"] = kHeldA05;
  panel.ctx.poll.scanState = ReceiverScan::kScanning;
  panel.Cycle(kHeldLevel);
}

void BankScanRests(ConnectedPanel& panel) {
  SelectTwoChannels(panel);
  panel.Type("R");
  panel.Cycles(2, fakes::kQuiet);
}

const Case kTuningCases[] = {
    {"Right",
     nullptr,
     [](ConnectedPanel& p) { Keys(p, {keys::kRight}); },
     {"1", "4", "5", "point", "0", "0", "0", "1"}},
    {"Left",
     nullptr,
     [](ConnectedPanel& p) { Keys(p, {keys::kLeft}); },
     {"1", "4", "4", "point", "9", "9", "9", "9"}},
    {"Up",
     nullptr,
     [](ConnectedPanel& p) { Keys(p, {keys::kUp}); },
     {"1", "4", "5", "point", "0", "0", "1"}},
    {"Down",
     nullptr,
     [](ConnectedPanel& p) { Keys(p, {keys::kDown}); },
     {"1", "4", "4", "point", "9", "9", "9"}},
    {"Page Up by the step",
     nullptr,
     [](ConnectedPanel& p) { Keys(p, {keys::kPageUp}); },
     {"1", "4", "5", "point", "0", "1", "2", "5"}},
    {"Page Down by the step",
     nullptr,
     [](ConnectedPanel& p) { Keys(p, {keys::kPageDown}); },
     {"1", "4", "4", "point", "9", "8", "7", "5"}},
    {"Up through a selected bank: the frequency, then the channel",
     SelectTwoChannels,
     [](ConnectedPanel& p) { Keys(p, {keys::kUp}); },
     {"1", "4", "5", "point", "5", "channel", "2"}},
    {"Up round to the first channel: the beep first",
     SelectTwoChannels,
     [](ConnectedPanel& p) {
       Keys(p, {keys::kUp, keys::kUp});
     },
     {"1", "4", "5", "point", "5", "channel", "2", "beep", "1", "4", "5", "point", "1", "channel",
      "1"}},
    {"a refused tuning key is no readout",
     [](ConnectedPanel& p) { p.ctx.poll.searchState = Search::kSearching; },
     [](ConnectedPanel& p) { Keys(p, {keys::kRight}); },
     {"inv"}},
    {"CONT: a find's count, then its frequency",
     [](ConnectedPanel& p) { StartSearch(p, false); },
     [](ConnectedPanel& p) { p.Cycle(fakes::kSignal); },
     {"1", "1", "4", "5", "point", "5", "1", "2", "5"}},
    {"STOP: stop, then where",
     [](ConnectedPanel& p) { StartSearch(p, true); },
     [](ConnectedPanel& p) { p.Cycle(fakes::kSignal); },
     {"stop", "1", "4", "5", "point", "5", "1", "2", "5"}},
    {"a bank scan rests: stop, the frequency, the channel",
     SelectTwoChannels,
     [](ConnectedPanel& p) {
       p.Type("R");
       p.Cycles(2, fakes::kQuiet);
       p.Forget();
       p.Cycle(fakes::kSignal);
     },
     {"stop", "1", "4", "5", "point", "5", "channel", "2"}},
    {"V leaves a refused sequence's Enter its refusal",
     [](ConnectedPanel& p) { p.Type("W01K"); },
     [](ConnectedPanel& p) { p.Type("V\r"); },
     {"1", "4", "5", "point", "0", "fm.wav", "s", "0", "inv"}},
    {"a memory scan rests: stop, the frequency, the receiver's channel",
     nullptr,
     RestInMemoryScan,
     {"stop", "1", "4", "5", "point", "8", "5", "channel", "A", "5", "name:Repeater"}},
};

// V in each state: where, the mode, the level, what runs.
const Case kWhereCases[] = {
    {"idle", nullptr, nullptr, {"1", "4", "5", "point", "0", "fm.wav", "s", "0"}},
    {"on a selected bank's channel",
     SelectTwoChannels,
     nullptr,
     {"1", "4", "5", "point", "1", "bank", "0", "5", "channel", "1", "fm.wav", "s", "0"}},
    {"typing a frequency: where the receiver is",
     [](ConnectedPanel& p) { p.Type("146.2"); },
     nullptr,
     {"1", "4", "5", "point", "0", "fm.wav", "s", "0"}},
    {"a signal",
     [](ConnectedPanel& p) { p.Cycle(fakes::kSignal); },
     nullptr,
     {"1", "4", "5", "point", "0", "fm.wav", "s", "9", "plus"}},
    {"searching",
     [](ConnectedPanel& p) {
       p.Type("R");
       p.Cycle(fakes::kQuiet);
     },
     nullptr,
     {"1", "4", "5", "point", "0", "fm.wav", "s", "0", "srching"}},
    {"a search resting",
     [](ConnectedPanel& p) {
       StartSearch(p, true);
       p.Cycle(fakes::kSignal);
     },
     nullptr,
     {"1", "4", "5", "point", "5", "1", "2", "5", "fm.wav", "s", "9", "plus", "srch", "stop"}},
    {"a bank scan moving on",
     [](ConnectedPanel& p) {
       SelectTwoChannels(p);
       p.Type("R");
       p.Cycle(fakes::kQuiet);
     },
     nullptr,
     {"bank", "0", "5", "fm.wav", "s", "0", "scan"}},
    {"a bank scan resting",
     [](ConnectedPanel& p) {
       BankScanRests(p);
       p.Cycle(fakes::kSignal);
     },
     nullptr,
     {"1", "4", "5", "point", "5", "bank", "0", "5", "channel", "2", "fm.wav", "s", "9", "plus",
      "stop"}},
    {"a memory scan moving on",
     [](ConnectedPanel& p) {
       p.ctx.poll.scanState = ReceiverScan::kScanning;
       p.Cycle(fakes::kQuiet);
     },
     nullptr,
     {"s", "0", "radbank", "scan"}},
    {"a memory scan resting",
     RestInMemoryScan,
     nullptr,
     {"1", "4", "5", "point", "8", "5", "channel", "A", "5", "name:Repeater", "s", "9", "plus",
      "radbank", "stop"}},
    {"the receiver away",
     [](ConnectedPanel& p) { p.ctx.link.receiverLost = true; },
     nullptr,
     {"1", "4", "5", "point", "0", "fm.wav", "rnc"}},
};

void Check(const Case& c, bool where) {
  ConnectedPanel panel;
  if (c.setUp) c.setUp(panel);
  panel.Forget();
  if (where) {
    panel.Type("V");
  } else {
    c.act(panel);
  }
  EXPECT_THAT(panel.Spoken(), ElementsAreArray(c.heard)) << c.name;
  if (!where) return;
  for (const std::string& command : panel.Commands()) {
    EXPECT_EQ(command, "LM") << c.name << ": only the level poll goes out";
  }
}

TEST(Readouts, TuningKeysFindsAndRestsSayWhere) {
  for (const Case& c : kTuningCases) Check(c, false);
}

TEST(Readouts, VTellsWhereTheListenerIsWithoutAskingTheReceiver) {
  for (const Case& c : kWhereCases) Check(c, true);
}

// A tuning key's readout is cut by the next key, so a key pressed over and
// over never piles speech up; the last key's readout is heard whole.
TEST(Readouts, TheNextKeyCutsATuningReadout) {
  ConnectedPanel panel;
  panel.Press(keys::kRight);
  panel.Press(keys::kRight);
  const auto& played = panel.program.sound.played();
  ASSERT_EQ(played.size(), 16u);
  EXPECT_TRUE(played[7].cut) << "the first readout's last digit";
  EXPECT_FALSE(played.back().cut);
}

}  // namespace
}  // namespace voxrig::testing
