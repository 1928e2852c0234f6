// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace voxrig {
namespace {

using Strings = std::vector<std::string>;

TEST(CommandLine, AcceptsEachOptionOnceWithItsValue) {
  const auto none = ParseCommandLine({});
  ASSERT_TRUE(none.has_value());
  EXPECT_FALSE(none->transcriptPath || none->help || none->version);

  const auto file = ParseCommandLine({"--transcript", "panel.txt"});
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->transcriptPath, "panel.txt");
  EXPECT_EQ(ParseCommandLine({"--transcript", "-"})->transcriptPath, "-");
  // A value that looks like an option is still the value.
  EXPECT_EQ(ParseCommandLine({"--transcript", "--help"})->transcriptPath, "--help");

  EXPECT_FALSE(none->terminal);
  EXPECT_TRUE(none->braille);
  const auto terminal = ParseCommandLine({"--terminal", "--no-braille"});
  ASSERT_TRUE(terminal.has_value());
  EXPECT_TRUE(terminal->terminal);
  EXPECT_FALSE(terminal->braille);

  // The speech: none given lets VOXRIG.CFG decide.
  EXPECT_FALSE(none->speech);
  EXPECT_EQ(ParseCommandLine({"--speech", "speechd"})->speech, SpeechOutput::kSpeechd);
  EXPECT_EQ(ParseCommandLine({"--speech", "prompts"})->speech, SpeechOutput::kPrompts);

  const auto asks = ParseCommandLine({"--version", "--help"});
  ASSERT_TRUE(asks.has_value());
  EXPECT_TRUE(asks->help);
  EXPECT_TRUE(asks->version);
}

TEST(CommandLine, RefusesWithOneLineSayingWhy) {
  const struct {
    std::vector<std::string> arguments;
    std::string problem;
  } refused[] = {
      {{"--transcript"}, "--transcript needs a FILE"},
      {{"-t", "x"}, "unknown option -t"},
      {{"--transcript=a"}, "unknown option --transcript=a"},
      {{"panel.txt"}, "unexpected argument panel.txt"},
      {{"--transcript", "a", "--transcript", "b"}, "--transcript given twice"},
      {{"--help", "--help"}, "--help given twice"},
      {{"--speech", "espeak"}, "--speech needs prompts or speechd, not espeak"},
      {{"--transcript", "a", "extra"}, "unexpected argument extra"},
      {{"--help", "--export", "bank05.dat"},
       "--export must come first, with only its files after it"},
  };
  for (const auto& row : refused) {
    std::string problem;
    EXPECT_FALSE(ParseCommandLine(row.arguments, &problem).has_value()) << row.problem;
    EXPECT_EQ(problem, "voxrig: " + row.problem + " (voxrig --help lists the options)");
  }
}

// The parser knows the options only from the table --help lists. Each row,
// given alone, has an effect of its own: a command line no other row gives,
// or a refusal that names it. A row whose setting does nothing fails here.
TEST(CommandLine, EveryOptionInTheTableHasAnEffectOfItsOwn) {
  const std::string value = "4532";  // a port, a file name and a device path alike
  std::vector<CommandLine> taken = {*ParseCommandLine({})};
  for (const Option& option : Options()) {
    Strings arguments = {option.name};
    if (option.value) arguments.push_back(value);
    std::string problem;
    const auto line = ParseCommandLine(arguments, &problem);
    if (!line) {
      EXPECT_TRUE(problem.starts_with(std::string("voxrig: ") + option.name + " ")) << problem;
      continue;
    }
    EXPECT_EQ(std::count(taken.begin(), taken.end(), *line), 0) << option.name;
    taken.push_back(*line);
  }
  EXPECT_GT(taken.size(), 5u);  // most rows are taken, so the loop compared something
}

TEST(CommandLine, HelpListsEveryOptionAndEveryPromptFolderInOrder) {
  const std::string help =
      HelpText({"/home/l/radio", "/home/l/.local/share/voxrig/", "/usr/share/voxrig"});
  for (const Option& option : Options()) {
    const std::string shown =
        std::string("\n  ") + option.name + (option.value ? std::string(" ") + option.value : "");
    EXPECT_NE(help.find(shown), std::string::npos) << option.name;
  }
  const std::size_t working = help.find("  /home/l/radio/wave/\n");
  const std::size_t own = help.find("  /home/l/.local/share/voxrig/wave/\n");
  const std::size_t installed = help.find("  /usr/share/voxrig/wave/\n");
  ASSERT_NE(installed, std::string::npos) << help;
  EXPECT_LT(working, own);
  EXPECT_LT(own, installed);
  EXPECT_NE(help.find("VOXRIG.CFG"), std::string::npos);
  EXPECT_NE(help.find("bank01.dat"), std::string::npos);
  std::size_t lineStart = 0;
  for (std::size_t end; (end = help.find('\n', lineStart)) != std::string::npos;
       lineStart = end + 1) {
    EXPECT_LE(end - lineStart, 79u) << help.substr(lineStart, end - lineStart);
  }
}

TEST(CommandLine, TakesTheNetworkAddressOnLoopbackUnlessOneIsNamed) {
  struct Case {
    std::string value;
    std::string host;
    int port;  // 0: refused
  };
  const std::vector<Case> cases = {
      {"4532", "127.0.0.1", 4532},
      {"0.0.0.0:4532", "0.0.0.0", 4532},
      {"[::1]:4533", "::1", 4533},
      {"localhost:1", "localhost", 1},
      {"65535", "127.0.0.1", 65535},
      {"0", "", 0},
      {"65536", "", 0},
      {":4532", "", 0},
      {"4532x", "", 0},
      {"", "", 0},
      {"host:", "", 0},
      {"-1", "", 0},
  };
  for (const Case& c : cases) {
    const auto line = ParseCommandLine({"--transcript", "t.txt", "--net", c.value});
    ASSERT_EQ(line.has_value(), c.port != 0) << c.value;
    if (!line) continue;
    EXPECT_EQ(line->net->host, c.host) << c.value;
    EXPECT_EQ(line->net->port, c.port) << c.value;
  }
  EXPECT_FALSE(ParseCommandLine({"--net"}).has_value());
  EXPECT_FALSE(ParseCommandLine({"--net", "1", "--net", "2"}).has_value());
  EXPECT_NE(HelpText({}).find("--net [ADDRESS:]PORT"), std::string::npos);
}

TEST(SetupCommandLine, TakesSetupProbeAndDeviceAndRefusesWhatMakesNoSense) {
  const auto setup = ParseCommandLine({"--setup", "--device", "/dev/ttyUSB0"});
  ASSERT_TRUE(setup.has_value());
  EXPECT_TRUE(setup->setup);
  EXPECT_EQ(setup->device, "/dev/ttyUSB0");
  const auto probe = ParseCommandLine({"--probe", "answers.txt"});
  ASSERT_TRUE(probe.has_value());
  EXPECT_EQ(probe->probeFile, "answers.txt");
  EXPECT_FALSE(probe->setup);
  const auto radio = ParseCommandLine({"--setup", "--radio", "hamlib:3073"});
  ASSERT_TRUE(radio.has_value());
  EXPECT_EQ(radio->radio, "hamlib:3073");
  const std::vector<Strings> refused = {
      {"--radio", "hamlib:3073"},        // a radio line is written by the set-up only
      {"--setup", "--radio", "ic7300"},  // not a Hamlib model number
      {"--setup", "--radio", "hamlib:"}, {"--device", "/dev/ttyUSB0"},  // a device for what?
      {"--setup", "--probe", "a"},       {"--setup", "--setup"},           {"--probe"},
      {"--setup", "--device"},           {"--probe", "a", "--probe", "b"},
  };
  for (const Strings& arguments : refused) {
    EXPECT_FALSE(ParseCommandLine(arguments).has_value())
        << arguments[0] << " " << arguments.size();
  }
}

}  // namespace
}  // namespace voxrig
