// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/transcript.h"
#include "core/text_rules.h"
#include "fakes/test_program.h"
#include "platform/text_voice.h"
#include "posix/broken_pipe.h"
#include "sdl/sdl_sound.h"

namespace voxrig {
namespace {

class TranscriptTest : public ::testing::Test {
 protected:
  std::vector<std::string> Lines() const {
    const auto it = files.files.find("transcript");
    if (it == files.files.end()) return {};
    return SplitLines(it->second);
  }

  fakes::MemoryFileSystem files;
  std::unique_ptr<OutputFile> out = files.CreateFile("transcript");
  fakes::FakeTime time;
  fakes::FakeDisplay display;
  fakes::FakeSound sound{time};
  TranscriptDisplay transcriptDisplay{display, *out};
  TranscriptSound transcriptSound{sound, *out};
};

TEST_F(TranscriptTest, PromptLineIsWrittenBeforeThePromptPlays) {
  std::string transcriptWhilePlaying;
  sound.OnPlayed([&](const std::string&) { transcriptWhilePlaying = files.files["transcript"]; });
  transcriptSound.PlayPrompt("wave\\vxr");
  transcriptSound.PlayPrompt("wave\\fm.wav");
  EXPECT_EQ(transcriptWhilePlaying, "prompt wave\\vxr\nprompt wave\\fm.wav\n");
  // A channel's name said as it stands: one line, a line break in it a blank.
  transcriptSound.SpeakText("Harbour\nOps");
  EXPECT_EQ(transcriptWhilePlaying, "prompt wave\\vxr\nprompt wave\\fm.wav\nname Harbour Ops\n");
  EXPECT_EQ(sound.heard(), (std::vector<std::string>{"vxr", "fm.wav", "name:Harbour\nOps"}));
}

TEST_F(TranscriptTest, TextLinesGiveTheRunsPlaceAndItsWholeTextSoFar) {
  transcriptDisplay.SetTextPosition(270, 0);
  transcriptDisplay.Print("*** Voxrig V 4.0b ***");
  transcriptDisplay.Print("  by us");
  transcriptDisplay.SetTextPosition(300, 150);
  transcriptDisplay.SetFont(Font{"Ariel", 50, 700});
  transcriptDisplay.SetColour(Colour::kBlue);
  transcriptDisplay.Print("145.5");
  transcriptDisplay.SetColour(Colour::kBlack);  // a new colour continues the same run
  transcriptDisplay.Print("000  \r\n");
  transcriptDisplay.SetTextPosition(370, 80);
  transcriptDisplay.Print("FM\nnext\n");
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "text 270,0 *** Voxrig V 4.0b ***",
                         "text 270,0 *** Voxrig V 4.0b ***  by us",
                         "text 300,150 145.5",
                         "text 300,150 145.5000  ",
                         "text 370,80 FM next",
                     }));
  // Everything still reaches the display underneath, font and colour included.
  EXPECT_EQ(display.TextAt(300, 150), "145.5000  ");
  EXPECT_EQ(display.RunAt(300, 150).font, (Font{"Ariel", 50, 700}));
  EXPECT_EQ(display.colour(), Colour::kBlack);
  EXPECT_EQ(display.TextAt(270, 0), "*** Voxrig V 4.0b ***  by us");
}

TEST_F(TranscriptTest, ATextIsWrittenOnlyWhenTheTextAtItsPlaceChanges) {
  const auto meter = [&](const std::string& text) {
    transcriptDisplay.SetTextPosition(320, 30);
    transcriptDisplay.Print(text);
  };
  meter("*****>   ");
  meter("*****>   ");  // the same level, polled again
  transcriptDisplay.SetTextPosition(370, 80);
  transcriptDisplay.Print("FM      ");
  meter("*****>   ");  // another place drawn between changes nothing here
  meter(">        ");
  meter("*****>   ");  // back to a level shown before: a change all the same
  transcriptSound.PlayPrompt("wave\\s");
  transcriptSound.PlayPrompt("wave\\s");  // prompts are never left out
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "text 320,30 *****>   ",
                         "text 370,80 FM      ",
                         "text 320,30 >        ",
                         "text 320,30 *****>   ",
                         "prompt wave\\s",
                         "prompt wave\\s",
                     }));
  EXPECT_EQ(display.runs().size(), 6u);  // the display underneath draws every one
}

// A text drawn again after another drawing covered its place is drawn anew,
// and written anew: the second search's "*** STOPPED ***" after the lower
// panel was cleared, or after "Search Mode Active" was drawn over it.
TEST_F(TranscriptTest, ATextDrawnAgainAfterItsPlaceWasCoveredIsWrittenAgain) {
  struct Row {
    const char* name;
    int x;
    int y;
    int points;
    std::string text;
    bool covers;
  };
  const Row rows[] = {
      {"lower panel cleared", 150, 300, 70, std::string(40, ' '), true},
      {"search started over it", 290, 320, 30, "Search Mode Active", true},
      {"the key echo below it", 340, 370, 50, "1", false},
      {"the level meter above it", 320, 30, 30, "*****>", false},
  };
  for (const Row& row : rows) {
    const auto file = files.CreateFile(row.name);
    TranscriptDisplay shown(display, *file);
    const auto status = [&] {
      shown.SetFont(Font{"Ariel", 30, 700});
      shown.SetTextPosition(270, 320);
      shown.Print("*** STOPPED ***");
    };
    status();
    shown.SetFont(Font{"Ariel", row.points, 700});
    shown.SetTextPosition(row.x, row.y);
    shown.Print(row.text);
    status();
    const std::string statusLine = "text 270,320 *** STOPPED ***";
    const std::string other =
        "text " + std::to_string(row.x) + "," + std::to_string(row.y) + " " + row.text;
    EXPECT_EQ(SplitLines(files.files[row.name]),
              row.covers ? (std::vector<std::string>{statusLine, other, statusLine})
                         : (std::vector<std::string>{statusLine, other}))
        << row.name;
  }
}

TEST(TranscriptOfTheProgram, ShowsTheBannerThenTheFourStartUpPromptsInOrder) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] =
      "PORTCOM1\r\nSPEED=19200\r\nRADIOAR8600\r\nVOICE=1\r\nDEBUG=0\r\n";
  auto out = program.files.CreateFile("transcript");
  TranscriptDisplay display(program.display, *out);
  TranscriptSound sound(program.sound, *out);
  program.ctx.platform.display = &display;
  program.ctx.platform.sound = &sound;
  ASSERT_EQ(RunProgram(program.ctx), 0);

  const std::vector<std::string> lines = SplitLines(program.files.files["transcript"]);
  const std::string banner = "*** Voxrig V 4.0b ***";
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
            (std::vector<std::string>{
                "text 270,0 " + banner,
                "text 270,0 " + banner + kAuthorshipText,
                "prompt wave\\vxr",
                "prompt wave\\4",
                "prompt wave\\point",
                "prompt wave\\0",
            }));
}

TEST(TranscriptOfTheProgram, SpeechDispatcherOutOfReachIsShownPrintedAndSaidOnce) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] =
      "PORTCOM1\r\nSPEED=19200\r\nRADIOAR8600\r\nVOICE=1\r\nDEBUG=0\r\nSPEECH=speechd\r\n";
  program.ctx.app.speechServerUnreachable = true;
  auto out = program.files.CreateFile("transcript");
  TranscriptDisplay display(program.display, *out);
  TranscriptSound sound(program.sound, *out);
  program.ctx.platform.display = &display;
  program.ctx.platform.sound = &sound;
  ASSERT_EQ(RunProgram(program.ctx), 0);
  const std::vector<std::string> lines = SplitLines(program.files.files["transcript"]);
  const auto version = std::find(lines.begin(), lines.end(), "prompt wave\\0");
  ASSERT_NE(version, lines.end());
  // Right after the version: the line under the banner, and the prompt.
  EXPECT_EQ(std::vector<std::string>(version + 1, version + 3),
            (std::vector<std::string>{std::string("text 0,60 ") + kSpeechServerUnreachable,
                                      "prompt wave\\nospd"}));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "prompt wave\\nospd"), 1);
  EXPECT_NE(program.messages.text.find(kSpeechServerUnreachable), std::string::npos);
}

// A voice that cannot say anything, as espeak-ng without its data.
class FailingVoice : public TextVoice {
 public:
  explicit FailingVoice(std::atomic<int>& tried) : tried_(tried) {}
  std::vector<std::int16_t> Synthesize(const std::string&) override {
    ++tried_;
    return {};
  }
  int SampleRate() const override { return 0; }

 private:
  std::atomic<int>& tried_;
};

TEST(TranscriptOfNames, ANameIsWrittenWhenQueuedThoughItsSynthesisFails) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  fakes::MemoryFileSystem files;
  auto out = files.CreateFile("transcript");
  std::atomic<int> tried{0};
  {
    fakes::MemoryFileSystem prompts;
    SdlSound sdl(prompts, {std::filesystem::temp_directory_path().string()});
    sdl.SetTextVoice(std::make_unique<FailingVoice>(tried));
    TranscriptSound sound(sdl, *out);
    sound.SpeakText("Harbour Ops");
    // The synthesis has failed by the time the sound closes.
  }
  unsetenv("SDL_AUDIODRIVER");
  EXPECT_EQ(tried.load(), 1);
  EXPECT_EQ(files.files["transcript"], "name Harbour Ops\n");
}

TEST(TranscriptOfTheProgram, VoiceOffShowsOnlyThePromptsThatStillPlay) {
  fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] =
      "PORTCOM1\r\nSPEED=19200\r\nRADIOAR8600\r\nVOICE=0\r\nDEBUG=0\r\n";
  auto out = program.files.CreateFile("transcript");
  TranscriptSound sound(program.sound, *out);
  program.ctx.platform.sound = &sound;
  // The receiver answers the first level poll: the known state's pauses play.
  program.line.responder = [](const std::string& command) {
    return std::string(command == "LM" ? "LM%000\r\n" : "\r\n");
  };
  program.window.AddTicks(1);
  ASSERT_EQ(RunProgram(program.ctx), 0);
  const std::vector<std::string> lines = SplitLines(program.files.files["transcript"]);
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) EXPECT_EQ(line, "prompt wave\\shdel");
}

TEST(StreamOutputFile, WritesEveryLineThroughToTheNamedFile) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("voxrig-transcript-" + std::to_string(::getpid()));
  {
    std::ofstream(path) << "old content that must go\n";
    auto file = StreamOutputFile::Open(path.string());
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Write("prompt wave\\vxr\n"));
    // Flushed at once: readable while the program still runs.
    std::ifstream reader(path);
    std::stringstream content;
    content << reader.rdbuf();
    EXPECT_EQ(content.str(), "prompt wave\\vxr\n");
  }
  std::filesystem::remove(path);
  EXPECT_EQ(StreamOutputFile::Open((path / "no" / "such" / "folder").string()), nullptr);
}

TEST(StreamOutputFile, DashIsStandardOutput) {
  ::testing::internal::CaptureStdout();
  {
    auto file = StreamOutputFile::Open("-");
    ASSERT_NE(file, nullptr);
    file->Write("text 0,30 hello\n");
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "text 0,30 hello\n");
}

// A transcript piped into a reader that exits: the panel is not killed by
// SIGPIPE; the write fails, the stream is let go, and later lines cost nothing.
TEST(StreamOutputFile, APipeWhoseReaderHasGoneIsClosedAndThePanelGoesOn) {
  IgnoreBrokenPipes();
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  struct stat pipeInfo {};
  ASSERT_EQ(::fstat(ends[1], &pipeInfo), 0);
  auto file = StreamOutputFile::Open("/dev/fd/" + std::to_string(ends[1]));
  ::close(ends[1]);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("prompt wave\\vxr\n"));
  ::close(ends[0]);
  EXPECT_FALSE(file->Write("prompt wave\\ok\n"));
  EXPECT_FALSE(file->Write("prompt wave\\ok\n"));
  // No descriptor of this process still holds the pipe.
  const std::string pipeName = "pipe:[" + std::to_string(pipeInfo.st_ino) + "]";
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    EXPECT_NE(std::filesystem::read_symlink(entry.path(), error).string(), pipeName);
  }
}

}  // namespace
}  // namespace voxrig
