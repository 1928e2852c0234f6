// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "faults.h"

// The command line of ar8600-sim.
namespace ar8600sim {

struct Options {
  std::string dir = ".";  // where the COM link is made
  int port = 1;           // the link is named "COM" + port
  std::string wireLog;    // every command received, one line each
  std::string signalsFile;
  std::string memoryIn;
  std::string memoryOut;
  std::string controlFile;  // read again on SIGHUP
  Faults faults;
  int dropAfter = 0;
  int resizeMs = 1'500;
  int baud = 19'200;
  unsigned seed = 1;
  bool help = false;
};

struct ParsedOptions {
  Options options;
  std::string error;  // empty when the command line was good
};

// `arguments` without the program's name.
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

// The --help text: options and the formats of every file the simulator reads
// or writes.
std::string UsageText();

}  // namespace ar8600sim
