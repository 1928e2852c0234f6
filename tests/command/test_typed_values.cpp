// SPDX-License-Identifier: GPL-3.0-or-later
// What the panel shows and says is what the receiver holds: a refused key
// changes nothing, a typed value the receiver cannot take never reaches it,
// and a frequency finer than the receiver tunes goes out, and is shown,
// rounded to its resolution.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "panel/display_lines.h"
#include "tuning/modes.h"

namespace voxrig::testing {
namespace {

using fakes::ConnectedPanel;
using ::testing::ElementsAreArray;
using Strings = std::vector<std::string>;

std::string DrawnAt(const ConnectedPanel& panel, Line line) {
  return panel.program.display.TextAt(LineFacts(line).x, LineFacts(line).y);
}

// The commands sent that change the receiver: the level poll and the
// receive-state question are left out.
Strings ChangesSent(const ConnectedPanel& panel) {
  Strings sent;
  for (const std::string& command : panel.Commands()) {
    if (command != "LM" && command != "RX") sent.push_back(command);
  }
  return sent;
}

// The part of a record made since it held `mark` entries.
Strings Since(const Strings& record, std::size_t mark) {
  return Strings(record.begin() + static_cast<std::ptrdiff_t>(mark), record.end());
}

// Everything the listener can read or hear of the receiver's settings.
struct WhatThePanelTells {
  std::string frequencyLine;
  std::string modeLine;
  std::string frequency;
  std::string mode;
  std::string step;
  int attenuator = 0;
  int noiseLimiter = 0;
  Strings saidByF;
  bool operator==(const WhatThePanelTells&) const = default;
};

void PrintTo(const WhatThePanelTells& tells, std::ostream* out) {
  *out << "line \"" << tells.frequencyLine << "\" mode line \"" << tells.modeLine << "\" "
       << tells.frequency << " " << tells.mode << " step " << tells.step << " AT"
       << tells.attenuator << " NL" << tells.noiseLimiter << " F says";
  for (const std::string& prompt : tells.saidByF) *out << " " << prompt;
}

WhatThePanelTells Tells(ConnectedPanel& panel) {
  const TuningState& tuning = panel.ctx.tuning;
  WhatThePanelTells tells{DrawnAt(panel, Line::kFrequency),
                          DrawnAt(panel, Line::kMode),
                          tuning.frequencyText.str(),
                          tuning.modeText.str(),
                          tuning.searchStepText.str(),
                          tuning.attenuatorOn,
                          tuning.noiseLimiterOn,
                          {}};
  const std::size_t mark = panel.Spoken().size();
  panel.Press('F');
  tells.saidByF = Since(panel.Spoken(), mark);
  return tells;
}

// A connected panel with its frequency and mode lines drawn, as the connect
// sequence leaves them.
struct DrawnPanel : ConnectedPanel {
  DrawnPanel() {
    ShowFrequency(ctx);
    DrawModeLine(ctx);
  }
};

// Keys typed as text ("." the full stop, "\r" Enter), then one more key.
struct Keys {
  std::string typed;
  int then = 0;
};

void PressKeys(ConnectedPanel& panel, const Keys& keys) {
  panel.Type(keys.typed);
  if (keys.then != 0) panel.Press(keys.then);
}

void StopSearchOnSignal(ConnectedPanel& panel) {
  panel.Type("CR");
  panel.answers["RX"] = "VS RF0145512500 ST012500 AU0 MD1 AT0\r\n";
  panel.Cycle(fakes::kSignal);
  ASSERT_EQ(panel.ctx.poll.searchState, Search::kStopped);
}

TEST(TypedValues, ARefusedKeyChangesNothingShownOrSaid) {
  struct Row {
    const char* what;
    std::function<void(ConnectedPanel&)> before;
    Keys keys;
    Strings spoken;
  };
  const auto away = [](ConnectedPanel& panel) {
    panel.ctx.link.receiverLost = true;
    panel.silent = true;
  };
  const auto connected = [](ConnectedPanel&) {};
  const auto holdingMemoryChannel = [](ConnectedPanel& panel) {
    panel.ctx.poll.scanState = ReceiverScan::kScanning;
    panel.Cycle("LC 120 MA05 RF0145125000\r\n");
  };
  const auto searching = [](ConnectedPanel& panel) { panel.Type("R"); };
  const Row rows[] = {
      {"away", away, {"146.5\r"}, {"1", "4", "6", "point", "5", "rnc"}},
      {"away", away, {"", keys::kF1 + 1}, {"rnc"}},
      {"away", away, {"", keys::kPageUp}, {"rnc"}},
      {"away", away, {"146.5", keys::kPageUp}, {"1", "4", "6", "point", "5", "rnc"}},
      {"away", away, {"", keys::kUp}, {"rnc"}},
      {"away", away, {"I25\r"}, {"incr", "2", "5", "rnc"}},
      {"away", away, {"A"}, {"rnc"}},
      {"away", away, {"L"}, {"noise", "rnc"}},
      {"away", away, {"R"}, {"rnc"}},
      {"away", away, {"B05\r"}, {"bank", "0", "5", "rnc"}},
      {"connected", connected, {"3000\r"}, {"3", "0", "0", "0", "inv"}},
      {"connected", connected, {"1.4.5\r"}, {"1", "point", "4", "point", "5", "inv"}},
      {"connected", connected, {"3000", keys::kRight}, {"3", "0", "0", "0", "inv"}},
      {"connected", connected, {"3000", keys::kPageDown}, {"3", "0", "0", "0", "inv"}},
      {"connected", connected, {"3000", keys::kDown}, {"3", "0", "0", "0", "inv"}},
      {"connected", connected, {"2040", keys::kPageUp}, {"2", "0", "4", "0", "inv"}},
      {"search stopped", StopSearchOnSignal, {"3000\r"}, {"3", "0", "0", "0", "inv"}},
      {"memory channel held", holdingMemoryChannel, {"3000\r"}, {"3", "0", "0", "0", "inv"}},
      {"searching", searching, {"3000\r"}, {"3", "0", "0", "0", "inv"}},
  };
  for (const Row& row : rows) {
    DrawnPanel panel;
    panel.PutBankFile("bank05.dat", "AM", {"146.5"});
    row.before(panel);
    const WhatThePanelTells before = Tells(panel);
    const Search search = panel.ctx.poll.searchState;
    const std::string searchLog = panel.program.files.files["bank00.dat"];
    const std::size_t spoken = panel.Spoken().size(), sent = ChangesSent(panel).size();
    PressKeys(panel, row.keys);
    const std::string keys = std::string(row.what) + ": " + row.keys.typed;
    EXPECT_EQ(Since(panel.Spoken(), spoken), row.spoken) << keys;
    EXPECT_THAT(Since(ChangesSent(panel), sent), ::testing::IsEmpty()) << keys;
    EXPECT_EQ(Tells(panel), before) << keys;
    // A search goes on sweeping, and its log is not written, while the
    // panel still shows it.
    EXPECT_EQ(panel.ctx.poll.searchState, search) << keys;
    EXPECT_EQ(panel.program.files.files["bank00.dat"], searchLog) << keys;
    EXPECT_EQ(panel.ctx.poll.bankScanState, BankScan::kOff) << keys;
  }
}

// The receiver hangs up just as a key's command goes out: the command never
// reached it, so the panel keeps what the receiver had.
TEST(TypedValues, AReceiverFoundGoneByAKeyKeepsWhatItHadOnThePanel) {
  struct Row {
    Keys keys;
    Strings spoken;
  };
  const Row rows[] = {
      {{"146.5\r"}, {"1", "4", "6", "point", "5", "rnc"}},
      {{"", keys::kPageUp}, {"rnc"}},
      {{"146.5", keys::kRight}, {"1", "4", "6", "point", "5", "rnc"}},
      {{"", keys::kF1 + 1}, {"AM", "rnc"}},  // the mode is named before it goes out
      {{"A"}, {"atton", "rnc"}},
      {{"I25\r"}, {"incr", "2", "5", "rnc"}},
  };
  for (const Row& row : rows) {
    DrawnPanel panel;
    const WhatThePanelTells before = Tells(panel);
    const std::size_t spoken = panel.Spoken().size();
    panel.program.line.hungUp = true;
    PressKeys(panel, row.keys);
    EXPECT_EQ(Since(panel.Spoken(), spoken), row.spoken) << row.keys.typed;
    EXPECT_TRUE(panel.ctx.link.receiverLost) << row.keys.typed;
    EXPECT_EQ(Tells(panel), before) << row.keys.typed;
  }
}

// Key sequences and what goes on the wire: a frequency finer than the
// receiver's 50 Hz goes out rounded and is shown so; a limit or step the
// receiver cannot take is put back, with "inv", before the next key acts.
TEST(TypedValues, WhatGoesOnTheWireIsWhatIsShown) {
  struct Row {
    Keys keys;
    Strings wire;
    std::string frequency;  // the frequency shown afterwards
    Strings spoken;         // the prompts heard, when they matter to the row
  };
  const Strings searchFrom145 = {"VA0145000000", "VB0146000000", "ST012.50", "MD1", "VS"};
  const Row rows[] = {
      {{"145.12345678901\r"}, {"VA0145.123450"}, "145.12345", {}},
      {{"145.00002\r"}, {"VA0145000000"}, "145.0", {}},
      {{"145.123475\r"}, {"VA0145.12350"}, "145.1235", {}},
      {{"145.12345678901", keys::kRight}, {"VA0145.123550"}, "145.12355", {}},
      {{"145.5\r"}, {"VA0145.50000"}, "145.5", {}},
      {{"0145.5\r"}, {"VA0145.50000"}, "0145.5", {}},
      {{"145.\r"}, {"VA0145.00000"}, "145.", {}},
      {{"145.12345\r"}, {"VA0145.123450"}, "145.12345", {}},
      {{"145", keys::kRight}, {"VA0145.00010"}, "145.0001", {}},
      {{"S145.123456789\rR"},
       {"VA0145.123450", "VB0146000000", "ST012.50", "MD1", "VS"},
       "145.0",
       {}},
      {{"S3000R"},
       searchFrom145,
       "145.0",
       {"start", "3", "0", "0", "0", "inv", "srch", "FM", "act"}},
      {{"I99999R"},
       searchFrom145,
       "145.0",
       {"incr", "9", "9", "9", "9", "9", "inv", "srch", "FM", "act"}},
      {{"E1.4.5R"},
       searchFrom145,
       "145.0",
       {"end", "1", "point", "4", "point", "5", "inv", "srch", "FM", "act"}},
      {{"S3000W"}, {}, "145.0", {"start", "3", "0", "0", "0", "inv", "write", "fromb"}},
      {{"E1.4.5X"}, {}, "145.0", {"end", "1", "point", "4", "point", "5", "inv", "read", "intob"}},
      // A sequence completed during a search ends the receiver's sweep too,
      // where the panel shows it.
      {{"RS144\r"},
       {"VA0145000000", "VB0146000000", "ST012.50", "MD1", "VS", "VA0145.00000"},
       "145.0",
       {}},
      {{"RP01\r"},
       {"VA0145000000", "VB0146000000", "ST012.50", "MD1", "VS", "VA0145.00000"},
       "145.0",
       {}},
  };
  for (const Row& row : rows) {
    DrawnPanel panel;
    PressKeys(panel, row.keys);
    EXPECT_THAT(ChangesSent(panel), ElementsAreArray(row.wire)) << row.keys.typed;
    EXPECT_EQ(panel.ctx.tuning.frequencyText, row.frequency) << row.keys.typed;
    EXPECT_TRUE(DrawnAt(panel, Line::kFrequency).starts_with(row.frequency)) << row.keys.typed;
    if (!row.spoken.empty()) {
      EXPECT_EQ(panel.Spoken(), row.spoken) << row.keys.typed;
    }
    // The limits and the step hold what the receiver was sent.
    EXPECT_EQ(panel.ctx.tuning.searchUpperText, "146") << row.keys.typed;
    EXPECT_EQ(panel.ctx.tuning.searchStepText, "12.5") << row.keys.typed;
  }
}

// What is being typed stands in the key echo area while it is typed, and
// goes when the sequence ends: the command key with its argument, or the
// frequency.
TEST(TypedValues, TheEntryInProgressIsShownUntilItEnds) {
  const struct {
    const char* typed;
    const char* shown;
  } rows[] = {
      {"145.5", "145.5"}, {"145.5\r", ""}, {"B", "B"},      {"B03", "B 03"}, {"S14", "S 14"},
      {"S", "S"},         {"GA", "G A"},   {"X01", "X 01"}, {"T02\r", ""},
  };
  for (const auto& row : rows) {
    ConnectedPanel panel;
    panel.program.display.Clear();
    panel.Type(row.typed);
    std::string drawn = DrawnAt(panel, Line::kEcho);
    drawn.erase(drawn.find_last_not_of(' ') + 1);
    EXPECT_EQ(drawn, row.shown) << row.typed;
  }
}

}  // namespace
}  // namespace voxrig::testing
