// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/connected_panel.h"
#include "link/ar8600/ar8600_answers.h"
#include "panel/display_lines.h"
#include "poll/poll_cycle.h"
#include "poll/scan_status_lines.h"

namespace voxrig {
namespace {

using fakes::ConnectedPanel;
using fakes::kQuiet;
using fakes::kSignal;
using Strings = std::vector<std::string>;

// The receiver's own answer to "RX" while its search rests on a signal.
constexpr const char* kSearchAnswer = "VS RF0145512500 ST012500 AU0 MD1 AT0\r\n";

// A search running in CONT mode (or STOP), its log holding only the header.
void StartRunningSearch(ConnectedPanel& rig, StopMode stopMode) {
  Context& ctx = rig.ctx;
  BankState::Slots& slots = ctx.banks.bankSlots;
  slots[0] = "Scanbank";
  slots[1] = "FM";
  slots[2] = "12.5";
  slots[3] = " ";
  slots[4] = "9999";
  ctx.banks.bankFileName = "bank00.dat";
  ctx.poll.searchState = Search::kSearching;
  ctx.poll.searchStopMode = stopMode;
  ctx.poll.searchHitCount = 0;
  rig.answers["RX"] = kSearchAnswer;
}

// Where a search stopped, from a receive state answer; where a scan holds,
// from a level report.
std::optional<HeardFrequency> SearchHitFrequency(const std::string& reply) {
  return receiver::ParseReceiveState(reply).frequency;
}
std::optional<HeardFrequency> HeldScanFrequency(const std::string& reply) {
  const auto level = receiver::ParseLevelAnswer(reply);
  return level ? level->holdsAt : std::nullopt;
}

TEST(SearchHitFrequency, TakesTheDigitsAfterRfWithAPointAfterTheFourth) {
  struct Row {
    std::string reply;
    std::string digits;
    std::string text;
  };
  const Row rows[] = {
      {"VS RF0145512500 ST", "0145512500", "145.5125"},  // as ReadReply cuts it
      {"VS RF01450000000", "01450000000", "145.0"},
      {"VS RF0145000000 ST", "0145000000", "145.0"},
      {"VS RF0000500000 ST", "0000500000", ".5"},
      {"VS RF1296250000 ST", "1296250000", "1296.25"},
      {"VS RF0145123456 ST", "0145123456", "145.123456"},
  };
  for (const Row& row : rows) {
    const auto hit = SearchHitFrequency(row.reply);
    ASSERT_TRUE(hit.has_value()) << row.reply;
    EXPECT_EQ(hit->digits, row.digits);
    EXPECT_EQ(hit->text, row.text);
  }
  EXPECT_FALSE(SearchHitFrequency("VS ST012500 AU0").has_value());
  EXPECT_FALSE(SearchHitFrequency("").has_value());
  EXPECT_FALSE(SearchHitFrequency("VS RF014551").has_value());  // cut short
  EXPECT_FALSE(SearchHitFrequency("VS Rf0145512500").has_value());
}

TEST(HeldScanFrequency, TakesFourDigitsAPointAndFiveMoreKeepingTrailingZeros) {
  const auto held = HeldScanFrequency("LC 120 MA05 RF0145125000");
  ASSERT_TRUE(held.has_value());
  EXPECT_EQ(held->text, "145.12500");
  EXPECT_EQ(held->digits, "145.12500");
  EXPECT_EQ(HeldScanFrequency("LC 120 VA RF0007050000")->text, "7.05000");
  EXPECT_FALSE(HeldScanFrequency("LM 120").has_value());
  // A garbled or cut line shows nothing rather than "10 .ST012".
  EXPECT_FALSE(HeldScanFrequency("LC 120 VA RF010 ST012500").has_value());
  EXPECT_FALSE(HeldScanFrequency("LC 120 VA RF01451").has_value());
}

TEST(PollSearch, StopInContModeShowsStoppedLogsTheHitAndSpeaksTheCount) {
  ConnectedPanel rig;
  StartRunningSearch(rig, StopMode::kContinue);
  rig.Cycle(kQuiet);
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kSearching);
  rig.program.ClearRecords();

  rig.Cycle(kSignal);
  EXPECT_EQ(rig.program.Commands(), (Strings{"LM", "RX"}));
  const auto status = rig.program.display.RunAt(270, 320);
  EXPECT_EQ(status.text, kStoppedLine);
  EXPECT_EQ(status.colour, Colour::kRed);
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kStopped);
  EXPECT_EQ(rig.ctx.tuning.frequencyText, "145.5125");
  EXPECT_EQ(rig.program.display.TextAt(300, 150).substr(0, 8), "145.5125");
  EXPECT_EQ(rig.ctx.banks.bankSlots[4], "145.5125");
  EXPECT_EQ(rig.ctx.banks.bankSlots[6], "9999");
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 1);
  // The count and where, no "stop".
  EXPECT_EQ(rig.program.Heard(), (Strings{"1", "1", "4", "5", "point", "5", "1", "2", "5"}));
}

// The receiver lost mid-search: the search ends at once with its hits
// written and told, is no longer shown active, and a receiver that comes
// back is not told to search again.
TEST(PollSearch, AReceiverLostMidSearchEndsItWithItsHitKeptAndTold) {
  const struct {
    const char* how;
    void (*goAway)(ConnectedPanel&);
    int cyclesUntilNoticed;
  } cases[] = {
      {"hang-up", [](ConnectedPanel& rig) { rig.program.line.hungUp = true; }, 1},
      {"silence", [](ConnectedPanel& rig) { rig.answers["LM"] = ""; }, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    ConnectedPanel rig;
    StartRunningSearch(rig, StopMode::kStop);
    rig.Cycle(kSignal);  // stops on 145.5125: "stop", logged
    rig.Cycle(kQuiet);   // sweeping again
    rig.program.ClearRecords();
    rig.program.display.Clear();
    c.goAway(rig);
    for (int i = 0; i < c.cyclesUntilNoticed; ++i) rig.Cycle();
    EXPECT_EQ(rig.program.Heard(), (Strings{"rnc", "1"}));
    EXPECT_EQ(rig.ctx.poll.searchState, Search::kOff);
    EXPECT_EQ(rig.program.files.files["bank00.dat"],
              "Scanbank\r\nFM\r\n12.5\r\n \r\n145.5125\r\n \r\n9999\r\n");
    EXPECT_EQ(rig.program.display.TextAt(150, 300), std::string(40, ' '));
    for (const auto& run : rig.program.display.runs()) EXPECT_NE(run.text, "Search Mode Active");

    // Back again: "connected", put back on the last hit the panel shows,
    // and asked nothing of a search (its one "RX" is the restore's).
    rig.program.line.hungUp = false;
    rig.answers["LM"] = kSignal;
    rig.answers["RX"] = "VA RF0145512500 ST012500 AU0 MD1 AT0\r\n";
    for (int i = 0; i < 12 && rig.ctx.link.receiverLost; ++i) rig.Cycle();
    rig.Cycles(3, kSignal);
    EXPECT_EQ(rig.Spoken(), (Strings{"rnc", "1", "connected"}));
    EXPECT_EQ(rig.Count("VA0145.51250"), 1);
    EXPECT_EQ(rig.Count("RX"), 1);
    EXPECT_EQ(rig.Count("VS") + rig.Count("<1E>"), 0);
    EXPECT_EQ(rig.ctx.poll.searchState, Search::kOff);
  }
}

TEST(PollSearch, StopInStopModeSaysStopAndNeverResumes) {
  const Strings kStopHere = {"stop", "1", "4", "5", "point", "5", "1", "2", "5"};
  ConnectedPanel rig;
  StartRunningSearch(rig, StopMode::kStop);
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.program.Heard(), kStopHere);
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 1);
  rig.Cycles(12, kSignal);
  EXPECT_EQ(rig.Count("<1E>"), 0);
  EXPECT_EQ(rig.Count("RX"), 1);
  EXPECT_EQ(rig.program.Heard(), kStopHere);
}

TEST(PollSearch, ContinuingSearchResumesAfterFiveCyclesOnTheSignal) {
  ConnectedPanel rig;
  StartRunningSearch(rig, StopMode::kContinue);
  rig.Cycle(kSignal);  // the stop
  rig.program.ClearRecords();
  rig.Cycles(4, kSignal);
  EXPECT_EQ(rig.Count("<1E>"), 0);
  EXPECT_EQ(rig.ctx.poll.resumeCountdown, 1);
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.program.Commands(), (Strings{"LM", "LM", "LM", "LM", "LM", "<1E>"}));
  EXPECT_EQ(rig.program.Heard(), Strings{"shdel"});
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kIdle);
  // The signal lasts on: five cycles later the byte goes again.
  rig.Cycles(4, kSignal);
  EXPECT_EQ(rig.Count("<1E>"), 1);
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.Count("<1E>"), 2);
  EXPECT_EQ(rig.Count("RX"), 0);
}

TEST(PollSearch, SignalGoingShowsSearchModeActiveAgain) {
  ConnectedPanel rig;
  StartRunningSearch(rig, StopMode::kStop);
  rig.Cycle(kSignal);
  rig.program.ClearRecords();
  rig.Cycle(kQuiet);
  const auto status = rig.program.display.RunAt(270, 320);
  EXPECT_EQ(status.text, "Search Mode Active      ");
  EXPECT_EQ(status.colour, Colour::kGreen);
  EXPECT_EQ(status.font, ArielBold(30));  // the font the meter left
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kSearching);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kIdle);
  // A second stop on the same frequency is logged once.
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 1);
  EXPECT_EQ(rig.ctx.banks.bankSlots[6], "9999");
}

TEST(PollSearch, CountdownIsKeptWhenTheSignalGoesSoTheNextResumeComesSooner) {
  ConnectedPanel rig;
  StartRunningSearch(rig, StopMode::kContinue);
  rig.Cycle(kSignal);      // stop
  rig.Cycles(2, kSignal);  // 5 -> 4 -> 3
  EXPECT_EQ(rig.ctx.poll.resumeCountdown, 3);
  rig.Cycle(kQuiet);  // counted once more, then the search sweeps again
  EXPECT_EQ(rig.ctx.poll.resumeCountdown, 2);
  EXPECT_EQ(rig.ctx.poll.searchState, Search::kSearching);

  rig.answers["RX"] = "VS RF0146012500 ST012500 AU0 MD1 AT0\r\n";
  rig.Cycle(kSignal);  // the next stop
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 2);
  rig.program.ClearRecords();
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.Count("<1E>"), 0);
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.program.Commands(), (Strings{"LM", "LM", "<1E>"}));
}

TEST(PollSearch, ReceiverStateIsAskedAgainUntilAnAnswerCarriesTheFrequency) {
  ConnectedPanel rig;
  StartRunningSearch(rig, StopMode::kStop);
  rig.answers["RX"] = "";
  rig.answers["LM"] = kSignal;
  rig.ctx.poll.pollState = PollStep::kSendLevelPoll;
  RunPollStep(rig.ctx);
  RunPollStep(rig.ctx);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kAskWhereSearchStopped);
  for (int ask = 0; ask < 3; ++ask) {
    RunPollStep(rig.ctx);
    RunPollStep(rig.ctx);
    EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kAskWhereSearchStopped);
  }
  rig.answers["RX"] = "VS RF014551";  // an answer cut short counts as none
  RunPollStep(rig.ctx);
  RunPollStep(rig.ctx);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kAskWhereSearchStopped);
  rig.answers["RX"] = kSearchAnswer;
  RunPollStep(rig.ctx);
  RunPollStep(rig.ctx);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kIdle);
  EXPECT_EQ(rig.Count("RX"), 5);
  EXPECT_EQ(rig.ctx.tuning.frequencyText, "145.5125");
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 1);
}

TEST(PollSearch, TheStopIsReadFromTheRfFieldWhateverKeywordTheAnswerStartsWith) {
  struct Row {
    std::string answer;
    std::string frequency;  // empty: no hit, asked again
  };
  const Row rows[] = {
      {"SS RF0145512500 ST012500 AU0 MD1 AT0\r\n", "145.5125"},
      {"VS RF0145512500 ST012500 AU0 MD1 AT0\r\n", "145.5125"},
      {"XY RF0146012500 ST012500 AU0 MD1 AT0\r\n", "146.0125"},
      {"MS MXA05 MP0 RF0433500000 ST012500 AU0 MD1 AT0 TMrepeater\r\n", "433.5"},
      // Whatever else came first on the line, the answer line is found.
      {"\r\nLM 150\r\nSS RF0145212500 ST012500\r\n", "145.2125"},
      // A level report carries the squelch's frequency, not the answer.
      {"LC 096 VA RF0144000000\r\nSS RF0145512500 ST012500\r\n", "145.5125"},
      {"LC 096 VA RF0144000000\r\n", ""},
      {"SS RF01455\r\n", ""},
      {"?\r\n", ""},
  };
  for (const Row& row : rows) {
    ConnectedPanel rig;
    StartRunningSearch(rig, StopMode::kStop);
    rig.answers["RX"] = row.answer;
    rig.answers["LM"] = kSignal;
    rig.ctx.poll.pollState = PollStep::kSendLevelPoll;
    for (int step = 0; step < 4; ++step) RunPollStep(rig.ctx);
    if (row.frequency.empty()) {
      EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kAskWhereSearchStopped) << row.answer;
      EXPECT_EQ(rig.ctx.poll.searchHitCount, 0) << row.answer;
      continue;
    }
    EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kIdle) << row.answer;
    EXPECT_EQ(rig.ctx.tuning.frequencyText, row.frequency) << row.answer;
    EXPECT_EQ(rig.ctx.poll.searchHitCount, 1) << row.answer;
    EXPECT_EQ(rig.ctx.banks.bankSlots[4], row.frequency) << row.answer;
  }
}

TEST(PollSearch, AnOtherKeywordStillHasTheAsksBounded) {
  ConnectedPanel rig;
  StartRunningSearch(rig, StopMode::kContinue);
  rig.answers["RX"] = "SS ST012500 AU0 MD1 AT0\r\n";  // no frequency field at all
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.Count("RX"), 20);
  EXPECT_EQ(rig.program.Heard(), Strings{"rnc"});
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 0);
}

TEST(PollSearch, SilentReceiverIsAskedTwentyTimesThenTheKeyboardComesBack) {
  ConnectedPanel rig;
  StartRunningSearch(rig, StopMode::kContinue);
  rig.answers["RX"] = "";
  rig.ctx.tuning.frequencyText = "145.0";
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.ctx.poll.pollState, PollStep::kIdle);
  EXPECT_EQ(rig.Count("RX"), 20);
  EXPECT_EQ(rig.program.Heard(), Strings{"rnc"});
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 0);
  EXPECT_EQ(rig.ctx.banks.bankSlots[4], "9999");
  EXPECT_EQ(rig.ctx.tuning.frequencyText, "145.0");
  // The search rules go on: the continuing search still resumes.
  rig.Cycles(5, kSignal);
  EXPECT_EQ(rig.Count("<1E>"), 1);
  EXPECT_EQ(rig.Count("RX"), 20);
  // A later stop is asked about afresh.
  rig.Cycle(kQuiet);
  rig.answers["RX"] = kSearchAnswer;
  rig.Cycle(kSignal);
  EXPECT_EQ(rig.Count("RX"), 21);
  EXPECT_EQ(rig.ctx.poll.searchHitCount, 1);
}

}  // namespace
}  // namespace voxrig
