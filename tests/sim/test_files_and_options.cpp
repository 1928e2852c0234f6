// SPDX-License-Identifier: GPL-3.0-or-later
// The signals file, the reception rule and the command line.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "options.h"
#include "signals.h"

namespace ar8600sim {
namespace {

TEST(SignalsFile, ReadsSignalsWithTheirTimes) {
  const SignalsLoad load = ParseSignalsFile(
      "# the 2 m band on a quiet evening\n"
      "145.2125 142\r\n"
      "\n"
      "  145.5125   96 from=2000 until=6000\n"
      "118.1 30 until=500\n");
  ASSERT_TRUE(load.error.empty()) << load.error;
  ASSERT_EQ(load.signals.size(), 3u);
  EXPECT_EQ(load.signals[0], (Signal{145'212'500, 142, {}, {}}));
  EXPECT_EQ(load.signals[1], (Signal{145'512'500, 96, 2000.0, 6000.0}));
  EXPECT_EQ(load.signals[2], (Signal{118'100'000, 30, {}, 500.0}));
}

TEST(SignalsFile, NamesTheFirstBadLine) {
  for (const char* bad : {"145.5 256\n", "145.5\n", "abc 10\n", "145.5 10 at=5\n",
                          "145.5 10 from=x\n", "3000 10\n", "145.5 -1\n"}) {
    const SignalsLoad load = ParseSignalsFile(std::string("145.2125 142\n") + bad);
    EXPECT_EQ(load.line, 2) << bad;
    EXPECT_FALSE(load.error.empty()) << bad;
    EXPECT_TRUE(load.signals.empty()) << bad;
  }
}

TEST(Reception, StrongestSignalWithinHalfAStepWhileOnTheAir) {
  const std::vector<Signal> signals = {{145'500'000, 60, {}, {}}, {145'503'000, 90, 100.0, 200.0}};
  EXPECT_EQ(Receive(signals, 145'500'000, 12'500, 0), (Reception{true, 60}));
  EXPECT_EQ(Receive(signals, 145'500'000, 12'500, 150), (Reception{true, 90}));
  EXPECT_EQ(Receive(signals, 145'500'000, 12'500, 200), (Reception{true, 60}));
  EXPECT_EQ(Receive(signals, 145'506'250, 12'500, 0), (Reception{false, 0}));
  EXPECT_EQ(Receive(signals, 145'506'200, 12'500, 0), (Reception{true, 60}));
  EXPECT_EQ(Receive(signals, 145'500'100, 100, 0), (Reception{false, 0}));
  EXPECT_EQ(NextSignalChange(signals, 0), 100.0);
  EXPECT_EQ(NextSignalChange(signals, 100), 200.0);
  EXPECT_FALSE(NextSignalChange(signals, 200).has_value());
}

TEST(Options, ReadsEveryOption) {
  const ParsedOptions parsed =
      ParseOptions({"--dir",        "/tmp/x", "--port",           "3",
                    "--wire-log",   "w.log",  "--signals",        "s.txt",
                    "--memory-in",  "in.txt", "--memory-out",     "out.txt",
                    "--control",    "c.txt",  "--silent",         "--garbage",
                    "--drop-after", "12",     "--reply-delay-ms", "250",
                    "--resize-ms",  "40",     "--baud",           "9600",
                    "--seed",       "7",      "--search-answer",  "SS"});
  ASSERT_TRUE(parsed.error.empty()) << parsed.error;
  const Options& options = parsed.options;
  EXPECT_EQ(options.dir, "/tmp/x");
  EXPECT_EQ(options.port, 3);
  EXPECT_EQ(options.wireLog, "w.log");
  EXPECT_EQ(options.signalsFile, "s.txt");
  EXPECT_EQ(options.memoryIn, "in.txt");
  EXPECT_EQ(options.memoryOut, "out.txt");
  EXPECT_EQ(options.controlFile, "c.txt");
  EXPECT_TRUE(options.faults.silent);
  EXPECT_TRUE(options.faults.garbage);
  EXPECT_EQ(options.dropAfter, 12);
  EXPECT_EQ(options.faults.replyDelayMs, 250);
  EXPECT_EQ(options.resizeMs, 40);
  EXPECT_EQ(options.baud, 9600);
  EXPECT_EQ(options.seed, 7u);
  EXPECT_EQ(options.faults.searchAnswer, "SS");
  EXPECT_FALSE(options.help);
}

TEST(Options, DefaultsAndRefusals) {
  const ParsedOptions none = ParseOptions({});
  EXPECT_TRUE(none.error.empty());
  EXPECT_EQ(none.options.dir, ".");
  EXPECT_EQ(none.options.port, 1);
  EXPECT_EQ(none.options.resizeMs, 1500);
  EXPECT_EQ(none.options.baud, 19200);
  EXPECT_EQ(none.options.dropAfter, 0);
  EXPECT_FALSE(none.options.faults.replyDelayMs.has_value());
  EXPECT_EQ(none.options.faults.searchAnswer, "VS");
  EXPECT_TRUE(ParseOptions({"--help"}).options.help);
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--port", "0"},
                                             {"--port", "257"},
                                             {"--port"},
                                             {"--baud", "1200"},
                                             {"--drop-after", "x"},
                                             {"--verbose"},
                                             {"--wire-log"},
                                             {"--search-answer", "S"},
                                             {"--search-answer", "ss"}}) {
    EXPECT_FALSE(ParseOptions(bad).error.empty()) << bad.front();
  }
}

TEST(Options, HelpDocumentsEveryOptionAndFileFormat) {
  const std::string usage = UsageText();
  for (const char* word : {"--dir",
                           "--port",
                           "--wire-log",
                           "--signals",
                           "--memory-in",
                           "--memory-out",
                           "--control",
                           "--silent",
                           "--garbage",
                           "--drop-after",
                           "--reply-delay-ms",
                           "--resize-ms",
                           "--baud",
                           "--seed",
                           "--help",
                           "<1E>",
                           "<0D>",
                           "from=<ms>",
                           "until=<ms>",
                           "A00 0145500000 MD1 ST012500 MP0 TM",
                           "MW A:90 a:10",
                           "SIGHUP",
                           "SIGUSR1",
                           "hang-up",
                           "--search-answer",
                           "search-answer XX",
                           "MAA",
                           "---",
                           "Guesses",
                           "Replugging"}) {
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  }
}

// The options --help lists, and those ar8600-sim(1) describes (the first
// word after each .TP of its OPTIONS section, "\-" read as "-"): the same.
TEST(Options, TheManualPageDescribesEveryOptionTheHelpLists) {
  std::set<std::string> listed;
  std::istringstream usage(UsageText());
  bool inOptionList = false;
  for (std::string line; std::getline(usage, line);) {
    if (line == "Options:") inOptionList = true;
    if (line.empty()) inOptionList = false;
    if (inOptionList && line.rfind("  --", 0) == 0) {
      listed.insert(line.substr(2, line.find(' ', 2) - 2));
    }
  }
  ASSERT_GE(listed.size(), 15u);
  for (const std::string& option : listed) {
    // Every option the help names is one the parser knows.
    EXPECT_NE(ParseOptions({option, "SS"}).error, "unknown option '" + option + "'");
  }

  std::ifstream file(SIM_MANUAL_PAGE);
  std::istringstream page(
      std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
  std::set<std::string> described;
  bool inOptions = false;
  bool tagNext = false;
  for (std::string line; std::getline(page, line);) {
    if (line.rfind(".SH ", 0) == 0) inOptions = line == ".SH OPTIONS";
    if (inOptions && tagNext) {
      std::istringstream words(line);
      std::string macro, option;
      words >> macro >> option;
      for (std::size_t at; (at = option.find("\\-")) != std::string::npos;)
        option.replace(at, 2, "-");
      described.insert(option);
    }
    tagNext = line == ".TP";
  }
  EXPECT_EQ(described, listed);
}

}  // namespace
}  // namespace ar8600sim
