// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "speech/speech.h"

namespace voxrig {
namespace {

using Names = std::vector<std::string>;

// The pause as the loop runs it: its wait, after which it has ended (the
// AR8600's line has no calls under way).
int WaitOf(Steps<> pause) {
  pause.Start();
  const int ms = pause.WaitMs();
  pause.Resume();
  EXPECT_TRUE(pause.Done());
  return ms;
}

class SpeechTest : public ::testing::Test {
 protected:
  Names Heard() const { return program.Heard(); }
  fakes::TestProgram program;
  Context& ctx = program.ctx;
};

// The pause is a wait the loop keeps for the operation that awaits it: no
// one sleeps through it.
TEST_F(SpeechTest, PromptsAreQueuedAndThePauseAsksTheLoopForTheClocksTime) {
  Say(ctx, "ok");
  SayAlways(ctx, "beep");
  EXPECT_EQ(WaitOf(Pause(ctx)), kPauseMs);
  EXPECT_EQ(program.sound.requested(), (Names{"wave\\ok", "wave\\beep", "wave\\shdel"}));
  EXPECT_EQ(program.time.now(), 0);
  // The pause's silence is heard after the prompts before it.
  EXPECT_EQ(program.sound.Find("shdel")->start, 200);
}

// The receiver's pacing is the clock's: the same with the voice off and with
// the pause's file missing or of another length.
TEST_F(SpeechTest, ThePauseLastsItsTimeWhateverTheVoiceAndThePromptSet) {
  ctx.app.voicePrefix = "";
  Say(ctx, "1");
  SpeakSignalLevel(ctx);
  EXPECT_TRUE(program.sound.requested().empty());
  EXPECT_EQ(WaitOf(Pause(ctx)), kPauseMs);
  SayAlways(ctx, "beep");
  EXPECT_EQ(program.sound.requested(), (Names{"wave\\shdel", "wave\\beep"}));

  program.sound.SetMissing("shdel");
  EXPECT_EQ(WaitOf(Pause(ctx)), kPauseMs);
  program.sound.SetLength("shdel", 20);
  EXPECT_EQ(WaitOf(Pause(ctx)), kPauseMs);
}

// A readout is cut by the next key; once an outcome is said, all the speech
// since the last key is kept, also what follows it.
// A readout is cut by the next key; an outcome keeps all that its key or tick
// says, before and after it, and nothing of the key or tick before.
TEST_F(SpeechTest, AnOutcomeKeepsAllThatItsKeyOrTickSays) {
  Say(ctx, "7");  // the start-up's readout
  StartSpeechUnit(ctx);
  Say(ctx, "connected");  // a tick's outcome
  CutStaleSpeech(ctx);
  Say(ctx, "3");
  Say(ctx, "ok");
  Say(ctx, "skipped");
  Say(ctx, "2");
  CutStaleSpeech(ctx);
  Say(ctx, "1");
  Say(ctx, "4");
  program.time.Advance(550);
  CutStaleSpeech(ctx);
  Say(ctx, "s");
  std::vector<std::pair<std::string, bool>> cut;
  for (const auto& prompt : program.sound.played()) cut.emplace_back(prompt.name, prompt.cut);
  EXPECT_EQ(cut, (std::vector<std::pair<std::string, bool>>{{"7", true},
                                                            {"connected", false},
                                                            {"3", false},
                                                            {"ok", false},
                                                            {"skipped", false},
                                                            {"2", false},
                                                            {"1", true},
                                                            {"4", true},
                                                            {"s", false}}));
  EXPECT_EQ(program.sound.Find("connected")->start, 0);  // closed up once "7" was cut
  EXPECT_EQ(program.sound.Find("s")->start, 550);

  // Listeners who want every readout whole get it.
  ctx.speech.wholeReadouts = true;
  Say(ctx, "5");
  CutStaleSpeech(ctx);
  EXPECT_FALSE(program.sound.Find("5")->cut);
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
    ctx.poll.signalLevel = c.level;
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
