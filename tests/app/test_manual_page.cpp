// SPDX-License-Identifier: GPL-3.0-or-later
// The manual page voxrig(1) against the option table: an option the parser
// takes but the page leaves out is an option a listener never hears of, and
// one the page names but the parser refuses sends them astray.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "app/startup.h"
#include "setup/probe.h"
#include "setup/setup.h"

namespace voxrig {
namespace {

std::string ReadManualPage() {
  const char* sourceDir = std::getenv("VOXRIG_SOURCE_DIR");
  if (sourceDir == nullptr) return {};
  std::ifstream page(std::string(sourceDir) + "/doc/voxrig.1");
  return std::string((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
}

// The lines of the section .SH `name`, with roff's "\-" read as "-".
std::string Section(const std::string& page, const std::string& name) {
  std::istringstream lines(page);
  std::string text;
  bool inside = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(".SH ", 0) == 0) {
      inside = line == ".SH " + name;
      continue;
    }
    if (!inside) continue;
    for (std::size_t at; (at = line.find("\\-")) != std::string::npos;) line.replace(at, 2, "-");
    text += line + "\n";
  }
  return text;
}

// The items a section describes (options, exit statuses): the first word of
// each tag line after a .TP.
std::set<std::string> DescribedOptions(const std::string& options) {
  std::istringstream lines(options);
  std::set<std::string> described;
  bool tagNext = false;
  for (std::string line; std::getline(lines, line);) {
    if (tagNext) {
      std::istringstream words(line);
      std::string macro, option;
      words >> macro >> option;
      described.insert(option);
    }
    tagNext = line == ".TP";
  }
  return described;
}

TEST(ManualPage, DescribesEveryOptionOfTheTableAndNoOther) {
  const std::string page = ReadManualPage();
  ASSERT_FALSE(page.empty()) << "doc/voxrig.1 not found (is VOXRIG_SOURCE_DIR set?)";
  std::set<std::string> table;
  for (const Option& option : Options()) table.insert(option.name);
  EXPECT_EQ(DescribedOptions(Section(page, "OPTIONS")), table);
  const std::string synopsis = Section(page, "SYNOPSIS");
  for (const std::string& option : table) {
    EXPECT_NE(synopsis.find(option), std::string::npos) << option << " is not in the synopsis";
  }
  // Every section a listener looks for is there.
  for (const char* section : {"KEYS", "FILES", "ENVIRONMENT", "EXIT STATUS"}) {
    EXPECT_FALSE(Section(page, section).empty()) << section;
  }
}

TEST(ManualPage, ListsEveryExitStatusTheProgramEndsWith) {
  const std::set<std::string> listed = DescribedOptions(Section(ReadManualPage(), "EXIT STATUS"));
  for (const int status : {kExitOrderly, kExitNoWindow, kExitUsage, kSetupDone, kSetupNoReceiver,
                           kSetupCannotWrite, kSetupNoPrompts, kExitNoConfiguration}) {
    EXPECT_EQ(listed.count(std::to_string(status)), 1u) << status;
  }
  EXPECT_EQ(listed.size(), 6u);
}

}  // namespace
}  // namespace voxrig
