// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "tuning/receiver_news.h"

namespace voxrig {
namespace {

using fakes::TestProgram;
using Strings = std::vector<std::string>;

struct TellingRow {
  const char* what;
  std::function<void(TestProgram&)> before;
  std::function<void(Context&)> call;
  Strings heard;
  // What stands where the meter stands afterwards, and in which colour;
  // empty when nothing is drawn there.
  std::string status;
  Colour colour;
};

std::string Padded(const std::string& text) {
  return text + std::string(36 - text.size(), ' ');
}

// The receiver's news is told as it is found out, and told once: the same
// call again, with the receiver still answering or still away, says nothing.
TEST(ReceiverNews, EachNewsIsToldOnceWithItsStatusLine) {
  const auto read = [](Context& ctx) { TakeReception(ctx); };
  const auto sent = [](Context& ctx) {
    ToRadio(ctx, [](Receiver& radio) { return radio.AskReception(); });
  };
  const TellingRow rows[] = {
      {"first answer",
       [](TestProgram& p) { p.ctx.link.statusLine = "Connecting"; },
       read,
       {"connected"},
       "",
       Colour::kBlack},
      {"back after a loss",
       [](TestProgram& p) {
         p.ctx.link.linkState = ReceiverAnswer::kReceived;
         p.ctx.link.receiverLost = true;
       },
       read,
       {"connected"},
       Padded(">"),
       Colour::kGreen},
      {"line gone",
       [](TestProgram& p) {
         p.ctx.link.linkState = ReceiverAnswer::kReceived;
         p.line.hungUp = true;
       },
       sent,
       {"rnc"},
       Padded(kLostStatus),
       Colour::kRed},
      {"no first answer",
       [](TestProgram&) {},
       NoticeNoFirstAnswer,
       {"rnc", "runsetup"},
       Padded(kLostStatus),
       Colour::kRed},
  };
  for (const TellingRow& row : rows) {
    SCOPED_TRACE(row.what);
    TestProgram program;
    program.AttachReceiver();
    row.before(program);
    program.line.Answer("LM%000\r\n");
    row.call(program.ctx);
    program.line.Answer("LM%000\r\n");
    row.call(program.ctx);
    EXPECT_EQ(program.Heard(), row.heard);
    if (row.status.empty()) {
      EXPECT_FALSE(program.display.DrewAt(320, 30));
    } else {
      EXPECT_EQ(program.display.RunAt(320, 30).text, row.status);
      EXPECT_EQ(program.display.RunAt(320, 30).colour, row.colour);
    }
  }
}

TEST(ReceiverNews, NoFirstAnswerShowsAndPrintsThePortTriedAndTheFirstAnswerWipesIt) {
  TestProgram program;
  program.AttachReceiver();
  NoticeNoFirstAnswer(program.ctx);
  EXPECT_TRUE(program.ctx.link.portReportShown);
  EXPECT_EQ(program.messages.text.rfind("voxrig: no answer from the receiver on ", 0), 0u)
      << program.messages.text;
  EXPECT_EQ(program.display.TextAt(10, 405).rfind("No answer on ", 0), 0u);

  program.line.Answer("LM%000\r\n");
  TakeReception(program.ctx);
  EXPECT_EQ(program.Heard(), (Strings{"rnc", "runsetup", "connected"}));
  EXPECT_FALSE(program.ctx.link.portReportShown);
  EXPECT_EQ(program.display.TextAt(10, 405), std::string(200, ' '));
  EXPECT_EQ(program.display.TextAt(320, 30), Padded(">"));
}

}  // namespace
}  // namespace voxrig
