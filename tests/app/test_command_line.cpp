#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace voxrig {
namespace {

TEST(CommandLine, AcceptsNothingOrOneTranscriptWithItsFile) {
  const auto none = ParseCommandLine({});
  ASSERT_TRUE(none.has_value());
  EXPECT_FALSE(none->transcriptPath.has_value());

  const auto file = ParseCommandLine({"--transcript", "panel.txt"});
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->transcriptPath, "panel.txt");

  const auto standardOutput = ParseCommandLine({"--transcript", "-"});
  ASSERT_TRUE(standardOutput.has_value());
  EXPECT_EQ(standardOutput->transcriptPath, "-");
}

TEST(CommandLine, RefusesUnknownOptionsMissingValuesAndRepeats) {
  const std::vector<std::vector<std::string>> refused = {
      {"--transcript"},
      {"--help"},
      {"-t", "x"},
      {"panel.txt"},
      {"--transcript", "a", "--transcript", "b"},
      {"--transcript", "a", "extra"},
      {"--transcript=a"},
  };
  for (const auto& arguments : refused) {
    EXPECT_FALSE(ParseCommandLine(arguments).has_value()) << arguments[0];
  }
  EXPECT_NE(std::string(kUsageText).find("--transcript FILE"), std::string::npos);
  EXPECT_EQ(kExitUsage, 2);
}

}  // namespace
}  // namespace voxrig
