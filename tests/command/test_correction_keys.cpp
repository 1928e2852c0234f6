// SPDX-License-Identifier: GPL-3.0-or-later
// Escape abandons what is being typed and BackSpace takes back its last
// character, in every state a sequence can be in: what the listener hears,
// what reaches the receiver (nothing of what was abandoned), and what the
// frequency line shows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/connected_panel.h"
#include "panel/display_lines.h"

namespace voxrig::testing {
namespace {

using fakes::ConnectedPanel;
using ::testing::ElementsAreArray;
using Strings = std::vector<std::string>;

// Keys as ConnectedPanel::Type takes them, with these two besides.
#define ESC "\x1b"
#define BKSP "\b"

// A lone Enter tunes the frequency on the line again: the sign that nothing
// typed before it was left behind.
constexpr const char* kRetuned = "VA0145.00000";

struct Row {
  const char* keys;
  Strings spoken;
  Strings changesSent;         // commands but the level poll and "RX"
  const char* line = "145.0";  // the frequency line afterwards
};

const Row kRows[] = {
    // Escape.
    {ESC, {"cancelled"}, {}},
    {"146.2" ESC "\r", {"1", "4", "6", "point", "2", "cancelled", "ok"}, {kRetuned}},
    {"T0" ESC "\r", {"transfer", "0", "cancelled", "ok"}, {kRetuned}},
    {"146.2P" ESC "\r", {"1", "4", "6", "point", "2", "put", "cancelled", "ok"}, {kRetuned}},
    {"O01" ESC "\r", {"sort", "0", "1", "cancelled", "ok"}, {kRetuned}},
    {"B01" ESC "\r", {"bank", "0", "1", "cancelled", "ok"}, {kRetuned}},
    {"D01" ESC "\r", {"delete", "0", "1", "cancelled", "ok"}, {kRetuned}},
    {"W01B" ESC "\r", {"write", "fromb", "0", "1", "torb", "B", "cancelled", "ok"}, {kRetuned}},
    {"X02" ESC "\r", {"read", "intob", "0", "2", "fromrb", "cancelled", "ok"}, {kRetuned}},
    {"GA" ESC "\r", {"radbank", "A", "cancelled", "ok"}, {kRetuned}},
    {"S14" ESC "S\r", {"start", "1", "4", "cancelled", "start", "1", "4", "5"}, {}},
    {"E1" ESC "E\r", {"end", "1", "cancelled", "end", "1", "4", "6"}, {}},
    {"I5" ESC "I\r", {"incr", "5", "cancelled", "incr", "1", "2", "point", "5"}, {"ST012.50"}},
    // BackSpace.
    {BKSP, {"inv"}, {}},
    {"146.25" BKSP "\r",
     {"1", "4", "6", "point", "2", "5", "1", "4", "6", "point", "2", "ok"},
     {"VA0146.20000"},
     "146.2"},
    {"14" BKSP BKSP "\r", {"1", "4", "1", "cancelled", "ok"}, {kRetuned}},
    {"T0" BKSP BKSP "\r", {"transfer", "0", "transfer", "cancelled", "ok"}, {kRetuned}},
    {"146.2T" BKSP "\r", {"1", "4", "6", "point", "2", "transfer", "cancelled", "ok"}, {kRetuned}},
    {"W01B" BKSP "C" BKSP BKSP BKSP,
     {"write", "fromb", "0", "1", "torb", "B", "0", "1", "C", "0", "1", "0", "write"},
     {}},
    {"GA" BKSP BKSP, {"radbank", "A", "radbank", "cancelled"}, {}},
    {"S146" BKSP BKSP BKSP "\r",
     {"start", "1", "4", "6", "1", "4", "1", "start", "1", "4", "5"},
     {}},
    {"I5" BKSP "5\r", {"incr", "5", "incr", "5", "ok"}, {"ST005000"}},
    // A refused sequence leaves nothing typed behind for a later Enter.
    {"146.2T0\r\r", {"1", "4", "6", "point", "2", "transfer", "0", "inv", "ok"}, {kRetuned}},
    {"146.2GK\r\r", {"1", "4", "6", "point", "2", "radbank", "inv", "inv", "ok"}, {kRetuned}},
};

std::string DrawnAt(const ConnectedPanel& panel, Line line) {
  return panel.program.display.TextAt(LineFacts(line).x, LineFacts(line).y);
}

TEST(CorrectionKeys, EscapeAbandonsAndBackSpaceTakesBackInEveryState) {
  for (const Row& row : kRows) {
    ConnectedPanel panel;
    panel.PutBankFile("bank01.dat", "FM", {"145.1"});
    panel.Type(row.keys);
    Strings changes;
    for (const std::string& command : panel.Commands()) {
      if (command != "LM" && command != "RX") changes.push_back(command);
    }
    const std::string keys = row.keys;
    EXPECT_THAT(panel.Spoken(), ElementsAreArray(row.spoken)) << keys;
    EXPECT_THAT(changes, ElementsAreArray(row.changesSent)) << keys;
    EXPECT_EQ(panel.ctx.tuning.frequencyText, row.line) << keys;
    EXPECT_EQ(panel.ctx.tuning.searchLowerText, "145") << keys;
    EXPECT_EQ(panel.ctx.tuning.searchUpperText, "146") << keys;
    EXPECT_EQ(panel.program.files.files.count("bank01.dat"), 1u) << keys;
    EXPECT_EQ(panel.program.files.files.size(), 1u) << keys << ": no bank file made";
    if (!changes.empty() && changes.back().starts_with("VA")) {
      EXPECT_TRUE(DrawnAt(panel, Line::kFrequency).starts_with(row.line)) << keys;
    }
  }
}

// K takes back the channel it would delete, and a selected bank's channels
// stay as they were.
TEST(CorrectionKeys, KIsTakenBackWithTheSelectedBankUntouched) {
  for (const char* keys : {"K" ESC "\r", "K" BKSP "\r"}) {
    ConnectedPanel panel;
    panel.SelectInMemory({"145.1", "145.5"});
    panel.Type(keys);
    EXPECT_THAT(panel.Spoken(), ElementsAreArray(Strings{"kill", "cancelled", "ok"})) << keys;
    EXPECT_EQ(panel.ctx.banks.bankSlots[6].str(), "145.5") << keys;
  }
}

}  // namespace
}  // namespace voxrig::testing
