// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "fakes/test_program.h"
#include "panel/debug_log.h"

namespace voxrig {
namespace {

TEST(DebugLog, StartsANewLogWithTheVersionDateAndTime) {
  fakes::TestProgram program;
  program.files.files["debug1.dat"] = "a log of an earlier run\r\n";
  program.ctx.app.debugEnabled = true;
  OpenDebugLog(program.ctx);
  EXPECT_EQ(program.files.files["debug1.dat"], "VOXRIG 4.0b  07-12-2026   09:05:03\r\n");
}

TEST(DebugLog, DateAndTimeHaveLeadingZerosAndA24HourClock) {
  fakes::TestProgram program;
  program.clock.now = LocalDateTime{2031, 1, 31, 23, 0, 59};
  program.ctx.app.debugEnabled = true;
  OpenDebugLog(program.ctx);
  EXPECT_EQ(program.files.files["debug1.dat"], "VOXRIG 4.0b  31-01-2031   23:00:59\r\n");
}

TEST(DebugLog, EachLineEndsWithCrLfAndClosingStopsTheWrites) {
  fakes::TestProgram program;
  program.ctx.app.debugEnabled = true;
  OpenDebugLog(program.ctx);
  program.ctx.panel.logLine = "TX= LM";
  WriteLogLine(program.ctx);
  for (const char* key : {"**C/R", "**SPC", "**."}) {
    program.ctx.panel.logLine = key;
    WriteLogLine(program.ctx);
  }
  CloseDebugLog(program.ctx);
  EXPECT_EQ(program.ctx.panel.debugFile, nullptr);
  program.ctx.panel.logLine = "TX= EX";
  WriteLogLine(program.ctx);
  EXPECT_EQ(program.files.files["debug1.dat"],
            "VOXRIG 4.0b  07-12-2026   09:05:03\r\nTX= LM\r\n**C/R\r\n**SPC\r\n**.\r\n");
}

TEST(DebugLog, NothingIsWrittenWhileDebuggingIsOff) {
  fakes::TestProgram program;
  program.ctx.app.debugEnabled = true;
  OpenDebugLog(program.ctx);
  program.ctx.app.debugEnabled = false;
  program.ctx.panel.logLine = "RX= LM012";
  WriteLogLine(program.ctx);
  EXPECT_EQ(program.files.files["debug1.dat"], "VOXRIG 4.0b  07-12-2026   09:05:03\r\n");
}

TEST(DebugLog, LogThatCannotBeCreatedIsSilentlyNotKept) {
  fakes::TestProgram program;
  program.files.failingWrites.insert("debug1.dat");
  program.ctx.app.debugEnabled = true;
  OpenDebugLog(program.ctx);
  EXPECT_EQ(program.ctx.panel.debugFile, nullptr);
  program.ctx.panel.logLine = "TX= LM";
  WriteLogLine(program.ctx);  // goes nowhere, and does not fail
  CloseDebugLog(program.ctx);
  EXPECT_EQ(program.files.files.count("debug1.dat"), 0u);
}

}  // namespace
}  // namespace voxrig
