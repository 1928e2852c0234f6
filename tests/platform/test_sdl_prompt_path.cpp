#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/prompt_path.h"

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
    return ResolvePromptPath(folder_, panelPath);
  }
  fs::path At(const fs::path& relative) { return folder_ / relative; }

  fs::path folder_;
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
