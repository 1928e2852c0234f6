// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "link/command_link.h"
#include "link/radio_choice.h"

namespace voxrig {
namespace {

using fakes::TestProgram;
using link::TakeReception;
using link::ToRadio;

class CommandLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.AttachReceiver();
    program.ctx.app.debugEnabled = true;
    program.ctx.panel.debugFile = program.files.CreateFile("debug1.dat");
  }
  std::string Log() { return program.files.files["debug1.dat"]; }
  // The answer taken, as the log shows it; empty when none was.
  std::string Read(const std::string& arrived) {
    program.files.files["debug1.dat"].clear();
    program.line.Answer(arrived);
    TakeReception(program.ctx);
    const std::string logged = Log();
    if (logged.empty()) return logged;
    EXPECT_TRUE(logged.starts_with("RX= ") && logged.ends_with("\r\n")) << logged;
    return logged.substr(4, logged.size() - 6);
  }

  TestProgram program;
};

TEST_F(CommandLinkTest, CommandGoesOutWithItsCarriageReturnAndATxLogLine) {
  ToRadio(program.ctx, [](Receiver& radio) { return radio.ExitRemote(); });
  EXPECT_EQ(program.line.written, "EX\r");
  EXPECT_EQ(Log(), "TX= EX\r\n");

  ToRadio(program.ctx, [](Receiver& radio) { return radio.SetFrequency(Vfo::kA, "145.5"); });
  EXPECT_EQ(program.line.written, "EX\rVA0145.50000\r");
  EXPECT_EQ(Log(), "TX= EX\r\nTX= VA0145.50000\r\n");
}

TEST_F(CommandLinkTest, LogStaysEmptyWhileDebugIsOff) {
  program.ctx.app.debugEnabled = 0;
  ToRadio(program.ctx, [](Receiver& radio) { return radio.AskReception(); });
  program.line.Answer("LM 120\r\n");
  EXPECT_EQ(TakeReception(program.ctx)->level, 120);
  EXPECT_EQ(program.line.written, "LM\r");
  EXPECT_EQ(Log(), "");
}

TEST(CommandLinkWithoutPort, CommandIsLoggedButGoesNowhereAndNoReplyIsRead) {
  TestProgram program;
  program.ctx.app.debugEnabled = true;
  program.ctx.panel.debugFile = program.files.CreateFile("debug1.dat");
  program.ctx.link.comPort = 1;  // never opened
  ToRadio(program.ctx, [](Receiver& radio) { return radio.AskReception(); });
  program.line.Answer("LM 120\r\n");
  EXPECT_FALSE(TakeReception(program.ctx).has_value());
  EXPECT_EQ(program.line.written, "");
  EXPECT_EQ(program.files.files["debug1.dat"], "TX= LM\r\n");
}

TEST_F(CommandLinkTest, ReplyIsFoundByKeywordAndCutToThatKeywordsLength) {
  struct Row {
    std::string arrived;
    std::string reply;
  };
  const Row rows[] = {
      {"LM%000\r\n", "LM%000"},
      {"LM 142\r\n", "LM 142"},
      {"LM 1", "LM 1"},  // a level answer shorter than six keeps what it has
      {"\r\nLC 142 VA RF0145500000 and the rest of a long line\r\n",
       "LC 142 VA RF0145500000 and the"},
      {"junkMW A:50 a:50\r\n", "MW A:50 a:50\r"},
      {"VS RF0145512500 ST012500 AU0 MD1 AT0\r\n", "VS RF0145512500 ST"},
      // The table's order decides, not the place in the text.
      {"LM 142\r\nLC%000 VA\r\n", "LC%000 VA\r\n"},
      {"LM 142\r\nMW A:90 a:10\r\n", "MW A:90 a:10\r"},
      {"LM 142\r\nVS RF0145512500 ST012500\r\n", "VS RF0145512500 ST"},
      {"VS RF0145512500 ST012500\r\nLC 142 VA\r\n", "LC 142 VA\r\n"},
      // Only the first occurrence of the deciding keyword counts.
      {"LM 100\r\nLM 200\r\n", "LM 100"},
      {std::string("\0\0LM 050", 8), "LM 050"},
  };
  for (const Row& row : rows) EXPECT_EQ(Read(row.arrived), row.reply) << row.arrived;
  EXPECT_EQ(program.line.incoming, "");
}

TEST_F(CommandLinkTest, AcceptedReplyIsLoggedAsRx) {
  Read("\r\nLM 120\r\n");
  EXPECT_EQ(Log(), "RX= LM 120\r\n");
}

TEST_F(CommandLinkTest, TextWithoutAnyKeywordIsNoReplyAndIsNotLogged) {
  program.ctx.link.statusLine = "Connecting";
  EXPECT_EQ(Read("\r\n?\r\nMD1\r\n"), "");
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(program.ctx.link.linkState, ReceiverAnswer::kAwaitingFirst);
  EXPECT_EQ(program.ctx.link.statusLine, "Connecting");
  EXPECT_TRUE(program.Heard().empty());
}

TEST_F(CommandLinkTest, NothingWaitingLeavesAnEmptyReply) {
  EXPECT_FALSE(TakeReception(program.ctx).has_value());
  EXPECT_EQ(Log(), "");
}

TEST_F(CommandLinkTest, OneReadTakesAtMost255BytesAndLeavesTheRestForTheNext) {
  const std::string filler(260, 'x');
  EXPECT_EQ(Read(filler + "LM%000\r\n"), "");
  EXPECT_EQ(program.line.incoming.size(), 268u - 255u);
  EXPECT_EQ(Read(""), "LM%000");
}

struct NewsRow {
  const char* what;
  std::function<void(TestProgram&)> before;
  std::function<void(Context&)> call;
  LinkNews news;
  bool lostAfter;
};

// The link keeps its state and records its news, for the floor above to
// tell: it says and draws nothing itself, and news is news once.
TEST(CommandLinkNews, EachNewsIsRecordedOnceAndNothingIsSaidOrDrawn) {
  const auto read = [](Context& ctx) { TakeReception(ctx); };
  const auto sent = [](Context& ctx) {
    ToRadio(ctx, [](Receiver& radio) { return radio.AskReception(); });
  };
  const NewsRow rows[] = {
      {"first answer", [](TestProgram& p) { p.ctx.link.statusLine = "Connecting"; }, read,
       LinkNews::kAnswered, false},
      {"back after a loss",
       [](TestProgram& p) {
         p.ctx.link.linkState = ReceiverAnswer::kReceived;
         p.ctx.link.receiverLost = true;
       },
       read, LinkNews::kBack, false},
      {"line gone",
       [](TestProgram& p) {
         p.ctx.link.linkState = ReceiverAnswer::kReceived;
         p.line.hungUp = true;
       },
       sent, LinkNews::kLost, true},
      {"no first answer", [](TestProgram&) {}, link::NoticeNoFirstAnswer, LinkNews::kNoFirstAnswer,
       true},
  };
  for (const NewsRow& row : rows) {
    SCOPED_TRACE(row.what);
    TestProgram program;
    program.AttachReceiver();
    Context& ctx = program.ctx;
    row.before(program);
    program.line.Answer("LM%000\r\n");
    row.call(ctx);
    EXPECT_EQ(ctx.link.news, row.news);
    EXPECT_EQ(ctx.link.receiverLost, row.lostAfter);
    EXPECT_EQ(ctx.link.statusLine, row.lostAfter ? kLostStatus : ">");
    program.line.Answer("LM%000\r\n");
    row.call(ctx);
    EXPECT_EQ(ctx.link.news, LinkNews::kNone);
    EXPECT_TRUE(program.Heard().empty());
    EXPECT_TRUE(program.display.runs().empty());
  }
}

TEST_F(CommandLinkTest, ResumeByteIsOneByteWithoutCarriageReturnOrLogLine) {
  ToRadio(program.ctx, [](Receiver& radio) { return radio.GoOn(); });
  EXPECT_EQ(program.line.written, "\x1E");
  EXPECT_EQ(program.line.Commands(), std::vector<std::string>{"<1E>"});
  EXPECT_EQ(Log(), "");
}

TEST(CommandLinkRadio, TheAr8600IsChosenWithWhatItCanDoAndALineThatWillNotOpenOpensNone) {
  TestProgram program;
  program.ctx.app.radioSetting = "=AR8600";
  program.ctx.link.comPort = 1;
  program.ctx.link.baudRate = 19200;
  ChooseRadio(program.ctx);
  program.serial.unplugged = true;
  OpenRadio(program.ctx);
  EXPECT_FALSE(RadioOpen(program.ctx));
  // What it can do is known before its line opens.
  ASSERT_TRUE(program.ctx.link.capabilities.has_value());
  EXPECT_EQ(program.ctx.link.capabilities->modelName, "AR8600");

  program.serial.unplugged = false;
  OpenRadio(program.ctx);
  ASSERT_TRUE(RadioOpen(program.ctx));
  ASSERT_TRUE(program.ctx.link.capabilities.has_value());
  EXPECT_EQ(program.ctx.link.capabilities->modelName, "AR8600");
  // The line reads without waiting, in the receiver's line format.
  EXPECT_EQ(program.line.readTimeoutMultiplier, -1);
  EXPECT_EQ(program.line.stopBitsCode, 2);
  CloseRadio(program.ctx);
  EXPECT_FALSE(RadioOpen(program.ctx));
  EXPECT_FALSE(program.line.open);
}

}  // namespace
}  // namespace voxrig
