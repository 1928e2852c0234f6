// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "panel/screen_lines.h"
#include "speech/speech.h"

// Wherever the listener lands on a channel, its number and its name follow:
// B, the arrows through a selected bank, the bank scan and the receiver's
// memory scan resting, F on a channel. A blank name says nothing, and names
// switched off leave the number alone.
namespace voxrig::testing {
namespace {

using ::testing::ElementsAreArray;
using Strings = std::vector<std::string>;

// Bank 01: three channels, the second without a name.
constexpr const char* kNamedBank =
    "bank01\r\nFM\r\n12.5\r\n \r\n"
    "145.1\r\nTower\r\n"
    "145.5\r\n   \r\n"
    "145.85\r\nHarbour Ops \r\n"
    "9999\r\n";

// The receiver's answer to "RX" while its memory scan rests on A05.
constexpr const char* kHeldA05 = "MS MXA05 MP0 RF0145850000 ST012500 AU0 MD1 AT0 TMHarbour Ops\r\n";

struct Case {
  const char* name;
  std::function<void(fakes::ConnectedPanel&)> act;
  Strings spokenLast;  // what the panel said last, in order
  const char* shown;   // the channel line of the window and the terminal
};

void SelectNamedBank(fakes::ConnectedPanel& panel) {
  panel.program.files.files["bank01.dat"] = kNamedBank;
  panel.Type("B01\r");
}

// Selects bank 01 and scans it until it rests on its third channel.
void ScanToTheThirdChannel(fakes::ConnectedPanel& panel) {
  SelectNamedBank(panel);
  panel.Type("R");
  panel.Cycles(3, fakes::kQuiet);
  panel.Cycle(fakes::kSignal);
}

// The receiver's memory scan rests on A05 and the poll cycle has seen it.
void RestInMemoryScan(fakes::ConnectedPanel& panel) {
  panel.answers["RX"] = kHeldA05;
  panel.ctx.poll.scanState = ReceiverScan::kScanning;
  panel.Cycle("LC 120 MA05 RF0145850000\r\n");
}

const Case kCases[] = {
    {"B says the first channel after selected",
     SelectNamedBank,
     {"sel", "channel", "1", "name:Tower"},
     "C01 Tower"},
    {"Up lands on a channel with a blank name: its number alone",
     [](fakes::ConnectedPanel& p) {
       SelectNamedBank(p);
       p.Press(keys::kUp);
     },
     {"1", "4", "5", "point", "5", "channel", "2"},
     "C02"},
    {"Down from the first channel goes round to the last",
     [](fakes::ConnectedPanel& p) {
       SelectNamedBank(p);
       p.Press(keys::kDown);
     },
     {"sel", "channel", "1", "name:Tower", "1", "4", "5", "point", "8", "5", "channel", "3",
      "name:Harbour Ops"},
     "C03 Harbour Ops"},
    {"Up round to the first channel: the beep, then the channel",
     [](fakes::ConnectedPanel& p) {
       SelectNamedBank(p);
       for (int i = 0; i < 3; ++i) p.Press(keys::kUp);
     },
     {"beep", "1", "4", "5", "point", "1", "channel", "1", "name:Tower"},
     "C01 Tower"},
    {"the bank scan rests: stop, then where",
     ScanToTheThirdChannel,
     {"stop", "1", "4", "5", "point", "8", "5", "channel", "3", "name:Harbour Ops"},
     "C03 Harbour Ops"},
    {"F where the bank scan rests",
     [](fakes::ConnectedPanel& p) {
       ScanToTheThirdChannel(p);
       p.Type("F");
     },
     {"1", "4", "5", "point", "8", "5", "channel", "3", "name:Harbour Ops", "fm.wav"},
     "C03 Harbour Ops"},
    {"F on a selected bank's channel: number and name before the mode",
     [](fakes::ConnectedPanel& p) {
       SelectNamedBank(p);
       p.Type("F");
     },
     {"1", "4", "5", "point", "1", "channel", "1", "name:Tower", "fm.wav"},
     "C01 Tower"},
    {"F tuned away from the channel says no channel",
     [](fakes::ConnectedPanel& p) {
       SelectNamedBank(p);
       p.Type("146\rF");
     },
     {"1", "4", "6", "point", "0", "fm.wav"},
     ""},
    {"the memory scan rests: the receiver's channel and name",
     RestInMemoryScan,
     {"stop", "1", "4", "5", "point", "8", "5", "channel", "A", "5", "name:Harbour Ops"},
     "A05 Harbour Ops"},
    {"F where the memory scan rests",
     [](fakes::ConnectedPanel& p) {
       RestInMemoryScan(p);
       p.Cycle("LC 120 MA05 RF0145850000\r\n");
       p.Type("F");
     },
     {"1", "4", "5", "point", "8", "5", "channel", "A", "5", "name:Harbour Ops"},
     "A05 Harbour Ops"},
    {"names switched off keep the name silent, not the number",
     [](fakes::ConnectedPanel& p) {
       KeepNamesSilent(p.ctx);
       SelectNamedBank(p);
     },
     {"sel", "channel", "1"},
     "C01 Tower"},
};

TEST(ChannelNames, FollowWhereverTheListenerLandsOnAChannel) {
  for (const Case& c : kCases) {
    fakes::ConnectedPanel panel;
    c.act(panel);
    const Strings spoken = panel.Spoken();
    ASSERT_GE(spoken.size(), c.spokenLast.size()) << c.name;
    EXPECT_THAT(Strings(spoken.end() - static_cast<long>(c.spokenLast.size()), spoken.end()),
                ElementsAreArray(c.spokenLast))
        << c.name;
    const ScreenLine& line = LineFacts(Line::kChannel);
    std::string shown = panel.program.display.TextAt(line.x, line.y);
    shown.erase(shown.find_last_not_of(' ') + 1);
    EXPECT_EQ(shown, c.shown) << c.name;
  }
}

TEST(ChannelNames, MemoryScanAsksForTheNameOnceARest) {
  fakes::ConnectedPanel panel;
  RestInMemoryScan(panel);
  panel.Cycles(2, "LC 120 MA05 RF0145850000\r\n");
  EXPECT_EQ(panel.Count("RX"), 1);
  // Scanning on and resting again asks again.
  panel.Cycle(fakes::kQuiet);
  panel.Cycle("LC 120 MA05 RF0145850000\r\n");
  EXPECT_EQ(panel.Count("RX"), 2);
}

}  // namespace
}  // namespace voxrig::testing
