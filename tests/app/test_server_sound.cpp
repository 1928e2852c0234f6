// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/server_sound.h"
#include "fakes/fake_sound.h"
#include "fakes/memory_file_system.h"
#include "speech/prompt_words.h"

namespace voxrig {
namespace {

// Writes down what the panel asks of the speech server, one entry a call.
class FakeSpeechServer : public SpeechServer {
 public:
  bool Reachable() const override { return reachable; }
  void Say(const std::string& words) override { calls.push_back("say " + words); }
  void EndMessage() override { calls.push_back("end"); }
  void StartUnit() override { calls.push_back("unit"); }
  void KeepUnit() override { calls.push_back("keep"); }
  void CutReadouts() override { calls.push_back("cut"); }
  void EndWithThisUnit() override { calls.push_back("end with this unit"); }

  bool reachable = true;
  std::vector<std::string> calls;
};

class ServerSoundTest : public ::testing::Test {
 protected:
  fakes::FakeTime time;
  fakes::FakeSound prompts{time};
  fakes::MemoryFileSystem files;
  std::unique_ptr<OutputFile> messages = files.CreateFile("stderr");
  FakeSpeechServer server;
  ServerSound sound{server, prompts, PromptWords::ForLanguage("en"), *messages};
};

TEST_F(ServerSoundTest, PromptsGoAsTheirWordsAndPausesAndBeepsStayRecorded) {
  struct Row {
    const char* path;
    std::vector<std::string> calls;  // to the server
    std::vector<std::string> recorded;
  };
  const std::vector<Row> rows = {
      {"wave\\1", {"say one"}, {}},
      {"wave\\point", {"say point"}, {}},
      {"wave\\FM", {"say F M"}, {}},
      {"wave\\fm.wav", {"say F M"}, {}},
      {"wave\\shdel", {"end"}, {"wave\\shdel"}},
      {"wave\\beep", {"end"}, {"wave\\beep"}},
      {"wave\\differ", {"say channels differ"}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    server.calls.clear();
    prompts.Clear();
    sound.PlayPrompt(row.path);
    EXPECT_EQ(server.calls, row.calls);
    EXPECT_EQ(prompts.requested(), row.recorded);
  }
}

TEST_F(ServerSoundTest, NamesGoAsTheyStandInUtf8AndUnitsReachBothSides) {
  sound.CutReadouts();
  sound.SpeakText("M\xfcnster Ops");
  sound.KeepUnit();
  sound.StartUnit();
  sound.EndWithThisUnit();
  EXPECT_EQ(server.calls, (std::vector<std::string>{"cut", "say M\xc3\xbcnster Ops", "keep", "unit",
                                                    "end with this unit"}));
  EXPECT_TRUE(prompts.requested().empty());
}

TEST_F(ServerSoundTest, ALostServerIsToldOnceAndTheRecordedPromptsSpeakFromThen) {
  sound.PlayPrompt("wave\\1");
  server.reachable = false;
  // Found lost at a name, it is told with the recorded prompt, from the
  // folder the prompts come from.
  sound.SpeakText("Harbour Ops");
  sound.PlayPrompt("wave\\2");
  EXPECT_EQ(server.calls, std::vector<std::string>{"say one"});
  EXPECT_EQ(prompts.heard(), (std::vector<std::string>{"nospd", "name:Harbour Ops", "2"}));
  EXPECT_EQ(files.files["stderr"],
            "voxrig: speech-dispatcher was lost; speaking with the recorded prompts\n");
}

}  // namespace
}  // namespace voxrig
