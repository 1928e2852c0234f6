// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "fakes/memory_file_system.h"
#include "posix/posix_file_system.h"
#include "speech/prompt_path.h"

namespace voxrig {
namespace {

namespace fs = std::filesystem;

class PromptPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "voxrig-prompts-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    fs::create_directory(folder_ / "wave");
  }
  void TearDown() override { fs::remove_all(folder_); }

  void MakeFile(const fs::path& relative) { std::ofstream(folder_ / relative) << "RIFF"; }
  std::optional<fs::path> Resolve(const std::string& panelPath) {
    return ResolvePromptPath(files_, folder_, panelPath);
  }
  fs::path At(const fs::path& relative) { return folder_ / relative; }

  fs::path folder_;
  PosixFileSystem files_;
};

TEST_F(PromptPathTest, FindsPromptsWhateverTheirCaseAndAddsTheExtension) {
  MakeFile("wave/point.wav");
  MakeFile("wave/Fm.Wav");
  MakeFile("wave/shdel.WAV");

  EXPECT_EQ(Resolve("wave\\point"), At("wave/point.wav"));
  EXPECT_EQ(Resolve("wave\\point.wav"), At("wave/point.wav"));
  EXPECT_EQ(Resolve("WAVE\\POINT"), At("wave/point.wav"));
  // The mode keys ask for "FM", the mode announcement for "fm.wav": one file.
  EXPECT_EQ(Resolve("wave\\FM"), At("wave/Fm.Wav"));
  EXPECT_EQ(Resolve("wave\\fm.wav"), At("wave/Fm.Wav"));
  EXPECT_EQ(Resolve("wave\\FM.WAV"), At("wave/Fm.Wav"));
  EXPECT_EQ(Resolve("wave\\shdel"), At("wave/shdel.WAV"));
}

TEST_F(PromptPathTest, NamesNoFileWhenThePromptOrItsFolderIsMissing) {
  MakeFile("wave/point.wav");

  EXPECT_EQ(Resolve("wave\\quit"), std::nullopt);
  EXPECT_EQ(Resolve("voices\\point"), std::nullopt);
  // ".wav" is added only once: "point.wav" is not "point.wav.wav".
  EXPECT_EQ(Resolve("wave\\point.wav.wav"), std::nullopt);
  // Empty names: a bare folder, a doubled or leading separator, nothing.
  EXPECT_EQ(Resolve("wave\\"), std::nullopt);
  EXPECT_EQ(Resolve("wave\\\\point"), std::nullopt);
  EXPECT_EQ(Resolve("\\wave\\point"), std::nullopt);
  EXPECT_EQ(Resolve(""), std::nullopt);
}

TEST_F(PromptPathTest, APromptWithoutFolderIsLookedForInTheWorkingFolderOnly) {
  // With the voice off the panel asks for "point": the prompt in wave\ is not it.
  MakeFile("wave/point.wav");
  EXPECT_EQ(Resolve("point"), std::nullopt);

  MakeFile("Point.wav");
  EXPECT_EQ(Resolve("point"), At("Point.wav"));
}

TEST_F(PromptPathTest, OnlyFilesAreFoundAndNothingOutsideTheWorkingFolder) {
  MakeFile("wave/point.wav");
  fs::create_directory(folder_ / "wave" / "beep.wav");
  MakeFile("outside.wav");

  // A folder that happens to be named like a prompt is not played.
  EXPECT_EQ(Resolve("wave\\beep"), std::nullopt);
  // A file is not a folder.
  EXPECT_EQ(Resolve("wave\\point.wav\\x"), std::nullopt);
  // ".." and "." are no entries of a folder.
  EXPECT_EQ(Resolve("wave\\..\\outside"), std::nullopt);
  EXPECT_EQ(Resolve(".\\outside"), std::nullopt);
  EXPECT_EQ(Resolve("wave\\../outside"), std::nullopt);
}

TEST_F(PromptPathTest, NamesThatDifferOnlyInCaseResolveTheSameWayEveryTime) {
  MakeFile("wave/b.wav");
  MakeFile("wave/B.wav");

  // The exact spelling wins; otherwise the first in name order.
  EXPECT_EQ(Resolve("wave\\b"), At("wave/b.wav"));
  EXPECT_EQ(Resolve("wave\\B"), At("wave/B.wav"));
  EXPECT_EQ(Resolve("wave\\b.WAV"), At("wave/B.wav"));
}

}  // namespace
}  // namespace voxrig

namespace voxrig {
namespace {

// The folders a prompt is looked for in, over a file system in memory.
class PromptRootsTest : public ::testing::Test {
 protected:
  void Make(const std::string& path) { files_.files[path] = "RIFF"; }
  std::optional<std::string> Resolve(const std::string& panelPath) {
    return ResolvePromptPath(files_, {"work", "own/voxrig", "/usr/share/voxrig"}, panelPath);
  }

  fakes::MemoryFileSystem files_;
};

TEST_F(PromptRootsTest, EachPromptComesFromTheFirstFolderThatHoldsIt) {
  Make("work/wave/vxr.wav");
  Make("own/voxrig/wave/Vxr.wav");
  Make("own/voxrig/wave/point.wav");
  Make("/usr/share/voxrig/wave/vxr.wav");
  Make("/usr/share/voxrig/wave/point.wav");
  Make("/usr/share/voxrig/wave/fm.wav");

  EXPECT_EQ(Resolve("wave\\vxr"), "work/wave/vxr.wav");
  EXPECT_EQ(Resolve("wave\\POINT"), "own/voxrig/wave/point.wav");
  EXPECT_EQ(Resolve("wave\\FM"), "/usr/share/voxrig/wave/fm.wav");
  EXPECT_EQ(Resolve("wave\\quit"), std::nullopt);
  // With the voice off the panel asks for "point": only the working folder
  // may answer, so the installed set never speaks for a silenced panel.
  EXPECT_EQ(Resolve("point"), std::nullopt);
  Make("work/point.wav");
  EXPECT_EQ(Resolve("point"), "work/point.wav");
}

TEST_F(PromptRootsTest, AFolderOrAFileInTheWayDoesNotHideTheNextRoot) {
  Make("work/wave/shdel.wav/inside.wav");  // a folder named like the prompt
  Make("own/voxrig/wave");                 // a file where the folder should be
  Make("/usr/share/voxrig/wave/shdel.wav");
  EXPECT_EQ(Resolve("wave\\shdel"), "/usr/share/voxrig/wave/shdel.wav");
}

TEST(PromptRoots, WorkingFolderThenTheListenersDataThenInstalledOnce) {
  const std::vector<std::string> installed = {"/opt/v/share/voxrig", "/usr/local/share/voxrig"};
  const struct {
    std::optional<std::string> xdg, home;
    std::vector<std::string> expected;
  } rows[] = {
      {"/x/data",
       "/home/l",
       {"/w", "/x/data/voxrig", "/opt/v/share/voxrig", "/usr/local/share/voxrig"}},
      {std::nullopt,
       "/home/l",
       {"/w", "/home/l/.local/share/voxrig", "/opt/v/share/voxrig", "/usr/local/share/voxrig"}},
      // An empty or relative XDG_DATA_HOME counts as unset.
      {"",
       "/home/l",
       {"/w", "/home/l/.local/share/voxrig", "/opt/v/share/voxrig", "/usr/local/share/voxrig"}},
      {"data",
       "/home/l/",
       {"/w", "/home/l/.local/share/voxrig", "/opt/v/share/voxrig", "/usr/local/share/voxrig"}},
      {std::nullopt, std::nullopt, {"/w", "/opt/v/share/voxrig", "/usr/local/share/voxrig"}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PromptRoots("/w", row.xdg, row.home, installed), row.expected)
        << row.xdg.value_or("-");
  }
  // Installed from the same prefix it was built for: the folder is listed once.
  EXPECT_EQ(
      PromptRoots("/w", std::nullopt, std::nullopt, {"/usr/share/voxrig", "/usr/share/voxrig"}),
      (std::vector<std::string>{"/w", "/usr/share/voxrig"}));
}

}  // namespace
}  // namespace voxrig
