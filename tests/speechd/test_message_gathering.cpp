// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "speechd/message_gathering.h"

namespace voxrig {

// For failure messages: "readout |one four five|", "kept |ok|", "cancel".
std::ostream& operator<<(std::ostream& out, const SpeechAction& action) {
  if (action.kind == SpeechAction::Kind::kCancelReadouts) return out << "cancel";
  return out << (action.kept ? "kept |" : "readout |") << action.text << "|";
}

namespace {

// One thing the panel does, at a time in milliseconds: queue words, end the
// message (a pause), start a unit (a tick), keep the unit (an outcome), cut
// the readouts (a key), end the panel, or the server's thread taking what is
// due.
struct Step {
  enum class Op { kSay, kEnd, kStart, kKeep, kCut, kEndAll, kTake } op;
  std::string words;
  long long ms = 0;
};
using Op = Step::Op;

SpeechAction Readout(std::string text) {
  return {SpeechAction::Kind::kSay, std::move(text), false};
}
SpeechAction Kept(std::string text) {
  return {SpeechAction::Kind::kSay, std::move(text), true};
}
const SpeechAction kCancel{SpeechAction::Kind::kCancelReadouts, {}, false};

struct Case {
  const char* what;
  std::vector<Step> steps;
  std::vector<SpeechAction> sent;
};

std::vector<Step> Said(std::vector<std::string> words, long long ms) {
  std::vector<Step> steps;
  for (std::string& w : words) steps.push_back({Op::kSay, std::move(w), ms});
  return steps;
}

std::vector<Step> Then(std::vector<Step> a, const std::vector<Step>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"the digits of a frequency are one message once quiet",
       Then(Said({"one", "four", "five", "point", "five"}, 0),
            {{Op::kTake, {}, 2}, {Op::kTake, {}, 3}}),
       {Readout("one four five point five")}},
      {"a pause between commands ends the message before it",
       Then(Said({"channel", "three"}, 0), Then({{Op::kEnd, {}, 0}, {Op::kTake, {}, 0}},
                                                Then(Said({"ok"}, 150), {{Op::kTake, {}, 200}}))),
       {Readout("channel three"), Readout("ok")}},
      {"words a quiet apart are two messages",
       Then(Said({"scan"}, 0), Then(Said({"stop"}, 10), {{Op::kTake, {}, 5}, {Op::kTake, {}, 20}})),
       {Readout("scan"), Readout("stop")}},
      {"a key cuts the readout sent and drops the one not sent",
       Then(Said({"one"}, 0),
            Then({{Op::kTake, {}, 5}},
                 Then(Said({"two"}, 6), {{Op::kCut, {}, 7}, {Op::kTake, {}, 20}}))),
       {Readout("one"), kCancel}},
      {"an outcome keeps its whole unit, and a cut does not reach it",
       Then(Said({"three"}, 0),
            Then({{Op::kKeep, {}, 0}},
                 Then(Said({"channels differ"}, 0), {{Op::kCut, {}, 1}, {Op::kTake, {}, 1}}))),
       {Kept("three channels differ")}},
      {"a cut with no readout out sends no cancel",
       {{Op::kCut, {}, 0}, {Op::kCut, {}, 1}, {Op::kTake, {}, 5}},
       {}},
      {"a new unit starts a new message",
       Then(Said({"F M"}, 0),
            Then({{Op::kStart, {}, 0}}, Then(Said({"ess", "five"}, 0), {{Op::kTake, {}, 5}}))),
       {Readout("F M"), Readout("ess five")}},
      {"the end keeps only the kept unit now queued",
       Then(Said({"one", "two"}, 0),
            Then({{Op::kTake, {}, 5}, {Op::kStart, {}, 6}},
                 Then(Said({"seven"}, 6),
                      Then({{Op::kStart, {}, 7}, {Op::kKeep, {}, 7}},
                           Then(Said({"quit"}, 7), {{Op::kEndAll, {}, 7}, {Op::kTake, {}, 7}}))))),
       {Readout("one two"), kCancel, Kept("quit")}},
  };
  return cases;
}

TEST(MessageGathering, JoinsAndCutsAsThePanelsUnitsSay) {
  for (const Case& test : Cases()) {
    SCOPED_TRACE(test.what);
    MessageGathering gathering(3);
    std::vector<SpeechAction> sent;
    for (const Step& step : test.steps) {
      switch (step.op) {
        case Op::kSay:
          gathering.Add(step.words, step.ms);
          break;
        case Op::kEnd:
          gathering.EndMessage();
          break;
        case Op::kStart:
          gathering.StartUnit();
          break;
        case Op::kKeep:
          gathering.KeepUnit();
          break;
        case Op::kCut:
          gathering.CutReadouts();
          break;
        case Op::kEndAll:
          gathering.EndWithThisUnit();
          break;
        case Op::kTake: {
          for (SpeechAction& action : gathering.TakeDue(step.ms)) sent.push_back(action);
          break;
        }
      }
    }
    EXPECT_EQ(sent, test.sent);
  }
}

TEST(MessageGathering, AMessageFallsDueAQuietAfterItsLastWord) {
  MessageGathering gathering(3);
  EXPECT_FALSE(gathering.DueAt());
  gathering.Add("one", 10);
  gathering.Add("two", 11);
  EXPECT_EQ(gathering.DueAt(), 14);
  EXPECT_TRUE(gathering.TakeDue(13).empty());
  EXPECT_EQ(gathering.TakeDue(14), std::vector<SpeechAction>{Readout("one two")});
  EXPECT_FALSE(gathering.DueAt());
}

}  // namespace
}  // namespace voxrig
