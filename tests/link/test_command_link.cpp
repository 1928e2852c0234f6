// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "link/command_link.h"

namespace voxrig {
namespace {

using fakes::TestProgram;

class CommandLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.AttachReceiver();
    program.ctx.app.debugEnabled = true;
    program.ctx.panel.debugFile = program.files.CreateFile("debug1.dat");
  }
  std::string Log() { return program.files.files["debug1.dat"]; }
  void Send(const std::string& command) {
    program.ctx.link.commandText = command;
    SendCommand(program.ctx);
  }
  std::string Read(const std::string& arrived) {
    program.line.Answer(arrived);
    ReadReply(program.ctx);
    return program.ctx.link.replyText.str();
  }

  TestProgram program;
};

TEST_F(CommandLinkTest, CommandGoesOutWithItsCarriageReturnAndATxLogLine) {
  Send("EX");
  EXPECT_EQ(program.line.written, "EX\r");
  EXPECT_EQ(Log(), "TX= EX\r\n");
  EXPECT_EQ(program.ctx.panel.logLine, "TX= EX");
  EXPECT_EQ(program.ctx.link.commandText, "EX\r");

  Send("VA0145.50000");
  EXPECT_EQ(program.line.written, "EX\rVA0145.50000\r");
  EXPECT_EQ(Log(), "TX= EX\r\nTX= VA0145.50000\r\n");
}

TEST_F(CommandLinkTest, EmptyCommandSendsNothingAndLogsNothing) {
  program.ctx.panel.logLine = "**A";
  Send("");
  EXPECT_EQ(program.line.written, "");
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(program.ctx.panel.logLine, "**A");
}

TEST_F(CommandLinkTest, LogStaysEmptyWhileDebugIsOff) {
  program.ctx.app.debugEnabled = false;
  Send("LM");
  program.line.Answer("LM 120\r\n");
  ReadReply(program.ctx);
  EXPECT_EQ(program.line.written, "LM\r");
  EXPECT_EQ(program.ctx.link.replyText, "LM 120");
  EXPECT_EQ(Log(), "");
}

TEST_F(CommandLinkTest, CommandThatFillsTheWholeTextStillEndsWithItsCarriageReturn) {
  const std::string longest(BoundedText::kCapacity, 'X');
  Send(longest);
  EXPECT_EQ(program.line.written, longest + "\r");
}

TEST(CommandLinkWithoutPort, CommandIsLoggedButGoesNowhereAndNoReplyIsRead) {
  TestProgram program;
  program.ctx.app.debugEnabled = true;
  program.ctx.panel.debugFile = program.files.CreateFile("debug1.dat");
  program.ctx.link.comPort = 1;  // never opened
  program.ctx.link.commandText = "LM";
  SendCommand(program.ctx);
  program.line.Answer("LM 120\r\n");
  ReadReply(program.ctx);
  EXPECT_EQ(program.line.written, "");
  EXPECT_EQ(program.files.files["debug1.dat"], "TX= LM\r\n");
  EXPECT_EQ(program.ctx.link.replyText, "");
  EXPECT_EQ(program.ctx.link.bytesWaiting, 0);
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
  EXPECT_EQ(program.ctx.panel.logLine, "RX= LM 120");
}

TEST_F(CommandLinkTest, TextWithoutAnyKeywordIsNoReplyAndIsNotLogged) {
  program.ctx.link.statusLine = "Connecting";
  program.ctx.link.replyText = "LM 120";
  EXPECT_EQ(Read("\r\n?\r\nMD1\r\n"), "");
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(program.ctx.link.linkState, ReceiverAnswer::kAwaitingFirst);
  EXPECT_EQ(program.ctx.link.statusLine, "Connecting");
  EXPECT_TRUE(program.Heard().empty());
}

TEST_F(CommandLinkTest, NothingWaitingLeavesAnEmptyReply) {
  program.ctx.link.replyText = "LM 120";
  ReadReply(program.ctx);
  EXPECT_EQ(program.ctx.link.replyText, "");
  EXPECT_EQ(program.ctx.link.bytesWaiting, 0);
  EXPECT_EQ(Log(), "");
}

TEST_F(CommandLinkTest, OneReadTakesAtMost255BytesAndLeavesTheRestForTheNext) {
  const std::string filler(260, 'x');
  EXPECT_EQ(Read(filler + "LM%000\r\n"), "");
  EXPECT_EQ(program.ctx.link.bytesWaiting, 268);
  EXPECT_EQ(program.line.incoming.size(), 268u - 255u);
  ReadReply(program.ctx);
  EXPECT_EQ(program.ctx.link.replyText, "LM%000");
}

TEST_F(CommandLinkTest, FirstAnswerAfterConnectingIsAnnouncedOnce) {
  program.ctx.link.statusLine = "Connecting";
  program.ctx.link.linkState = ReceiverAnswer::kAwaitingFirst;
  Read("LM%000\r\n");
  EXPECT_EQ(program.ctx.link.linkState, ReceiverAnswer::kReceived);
  EXPECT_EQ(program.ctx.link.statusLine, ">");
  Read("LM%000\r\n");
  Read("LC 100 VA\r\n");
  EXPECT_EQ(program.Heard(), std::vector<std::string>{"connected"});
}

TEST_F(CommandLinkTest, ResumeByteIsOneByteWithoutCarriageReturnOrLogLine) {
  SendResumeByte(program.ctx);
  EXPECT_EQ(program.line.written, "\x1E");
  EXPECT_EQ(program.line.Commands(), std::vector<std::string>{"<1E>"});
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace voxrig
