#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "speech/speech.h"

namespace voxrig {
namespace {

using Names = std::vector<std::string>;

class SpeechTest : public ::testing::Test {
 protected:
  Names Heard() const { return program.Heard(); }
  fakes::TestProgram program;
  Context& ctx = program.ctx;
};

TEST_F(SpeechTest, SayAndSayAlwaysPlayFromThePromptFolder) {
  Say(ctx, "ok");
  SayAlways(ctx, "beep");
  Pause(ctx);
  EXPECT_EQ(program.sound.requested(), (Names{"wave\\ok", "wave\\beep", "wave\\shdel"}));
  // The pause lasts as long as "shdel".
  EXPECT_EQ(program.time.now(), 100 + 100 + 150);
}

TEST_F(SpeechTest, VoiceOffSilencesSayButNotThePacingSounds) {
  ctx.app.voicePrefix = "";
  Say(ctx, "1");
  SpeakSignalLevel(ctx);
  EXPECT_TRUE(program.sound.requested().empty());
  EXPECT_EQ(program.time.now(), 0);
  Pause(ctx);
  SayAlways(ctx, "beep");
  EXPECT_EQ(program.sound.requested(), (Names{"wave\\shdel", "wave\\beep"}));
  EXPECT_EQ(program.time.now(), 250);
}

TEST_F(SpeechTest, FrequencyIsTrimmedOfDecimalZerosAndSpokenCharacterByCharacter) {
  struct Case {
    std::string digits;
    Names heard;
  };
  const std::vector<Case> cases = {
      {"145.", {"1", "4", "5", "point", "0"}},
      {"145.000", {"1", "4", "5", "point", "0"}},
      {"145.500", {"1", "4", "5", "point", "5"}},
      {"145.1250", {"1", "4", "5", "point", "1", "2", "5"}},
      {"145.0125", {"1", "4", "5", "point", "0", "1", "2", "5"}},
      {"12.5", {"1", "2", "point", "5"}},
      {"5", {"5"}},
      {"100", {"1", "0", "0"}},
      {"430", {"4", "3", "0"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    program.sound.Clear();
    SpeakFrequency(ctx, c.digits);
    EXPECT_EQ(Heard(), c.heard) << c.digits;
  }
}

TEST_F(SpeechTest, ModeIsSpokenOnlyForAnExactModeName) {
  struct Case {
    std::string mode;
    Names heard;
  };
  const std::vector<Case> cases = {
      {"WFM", {"wfm.wav"}},
      {"FM", {"fm.wav"}},
      {"AM", {"am.wav"}},
      {"USB", {"usb.wav"}},
      {"LSB", {"lsb.wav"}},
      {"CW ", {"cw.wav"}},
      {"AUT", {"auto"}},
      {"ATT ON", {"atton.wav"}},
      {"ATT OFF", {"attoff.wav"}},
      {"CW", {}},
      {"cw ", {}},
      {"fm", {}},
      {"", {}},
      {"FM ", {}},
  };
  for (const Case& c : cases) {
    program.sound.Clear();
    ctx.tuning.modeText = c.mode;
    SpeakMode(ctx);
    EXPECT_EQ(Heard(), c.heard) << "'" << c.mode << "'";
  }
}

TEST_F(SpeechTest, SignalLevelIsSDigitAndPlusAboveNine) {
  struct Case {
    int level;
    Names heard;
  };
  const std::vector<Case> cases = {
      {0, {"s", "0"}},          {5, {"s", "5"}},          {9, {"s", "9"}},
      {10, {"s", "9", "plus"}}, {12, {"s", "9", "plus"}}, {-1, {"s", "0"}},
  };
  for (const Case& c : cases) {
    program.sound.Clear();
    ctx.link.signalLevel = c.level;
    SpeakSignalLevel(ctx);
    EXPECT_EQ(Heard(), c.heard) << c.level;
  }
}

TEST_F(SpeechTest, CountsUseTheTwoDigitRuleAndDigitsFromOneHundred) {
  struct Case {
    int count;
    Names heard;
  };
  const std::vector<Case> cases = {
      {0, {"0"}},
      {7, {"7"}},
      {10, {"1", "0"}},
      {42, {"4", "2"}},
      {99, {"9", "9"}},
      {100, {"1", "0", "0"}},
      {105, {"1", "0", "5"}},
      {198, {"1", "9", "8"}},
      {-3, {"0"}},
  };
  for (const Case& c : cases) {
    program.sound.Clear();
    SpeakCount(ctx, c.count);
    EXPECT_EQ(Heard(), c.heard) << c.count;
  }
}

}  // namespace
}  // namespace voxrig
