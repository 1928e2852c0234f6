// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/settings.h"
#include "fakes/test_program.h"
#include "speech/speech.h"

namespace voxrig {
namespace {

// Each setting of VOXRIG.CFG lands with its owner, and the voice and names
// switches change only what they switch.
TEST(TakeConfiguration, GivesEachSettingToItsOwner) {
  struct Row {
    const char* name;
    std::optional<std::string> file;  // nothing: no VOXRIG.CFG
    bool namesBefore;                 // false: --no-names was given
    bool taken;
    const char* port;
    const char* prefix;
    bool debug;
    bool namesSpoken;
  };
  const std::string five = "PORTCOM1\r\nSPEED=19200\r\nRADIOAR8600\r\n";
  const Row rows[] = {
      {"voice and log on", five + "VOICE=1\r\nDEBUG=1\r\n", true, true, "COM1", "wave\\", true,
       true},
      {"voice off empties the prompt prefix only", five + "VOICE=0\r\nDEBUG=1\r\n", true, true,
       "COM1", "", true, true},
      {"a log switch of 0 leaves the voice on", five + "VOICE=1\r\nDEBUG=0\r\n", true, true, "COM1",
       "wave\\", false, true},
      {"NAMES=0 keeps names silent", five + "VOICE=1\r\nDEBUG=0\r\nNAMES=0\r\n", true, true, "COM1",
       "wave\\", false, false},
      {"the file cannot switch names back on", five + "VOICE=1\r\nDEBUG=0\r\n", false, true, "COM1",
       "wave\\", false, false},
      {"no file changes nothing", std::nullopt, true, false, "before", "wave\\", false, true},
  };
  for (const Row& row : rows) {
    fakes::TestProgram program;
    Context& ctx = program.ctx;
    ctx.app.voicePrefix = "wave\\";
    ctx.app.waveFolder = "wave\\";
    ctx.app.portSetting = "before";
    ctx.app.debugEnabled = false;
    if (!row.namesBefore) KeepNamesSilent(ctx);
    if (row.file) program.files.files["VOXRIG.CFG"] = *row.file;
    EXPECT_EQ(TakeConfiguration(ctx), row.taken) << row.name;
    EXPECT_EQ(ctx.app.portSetting, row.port) << row.name;
    EXPECT_EQ(ctx.app.voicePrefix, row.prefix) << row.name;
    EXPECT_EQ(ctx.app.waveFolder, "wave\\") << row.name;
    EXPECT_EQ(ctx.app.debugEnabled, row.debug) << row.name;
    EXPECT_EQ(ctx.speech.namesSpoken, row.namesSpoken) << row.name;
    if (row.taken) {
      EXPECT_EQ(ctx.app.speedSetting, "19200") << row.name;
      EXPECT_EQ(ctx.app.radioSetting, "AR8600") << row.name;
    }
  }
}

}  // namespace
}  // namespace voxrig
