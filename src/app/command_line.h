// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace voxrig {

inline constexpr int kExitUsage = 2;

// The loopback address unless another is named: nothing outside this
// computer reaches the receiver by default.
struct NetAddress {
  std::string host = "127.0.0.1";
  int port = 0;
  bool operator==(const NetAddress&) const = default;
};

// "[ADDRESS:]PORT"; an IPv6 address goes in brackets ("[::1]:4532"). None
// when the port is not a number from 1 to 65535 or the address is empty.
std::optional<NetAddress> ParseNetAddress(const std::string& text);

// What the panel speaks with: its recorded prompts, or speech-dispatcher.
enum class SpeechOutput { kPrompts, kSpeechd };

struct CommandLine {
  // --help, --keys or --version: print it and end without opening the window.
  bool help = false;
  bool keys = false;
  bool version = false;
  // Where the transcript goes; none when it was not asked for.
  std::optional<std::string> transcriptPath;
  // Where other programs reach the panel over the network; none without --net.
  std::optional<NetAddress> net;
  // Every readout is heard to its end: keys never cut speech short.
  bool wholeReadouts = false;
  // A channel's name is said after its number.
  bool names = true;
  // --speech: none when not given, and VOXRIG.CFG then has its say.
  std::optional<SpeechOutput> speech;
  // The panel in the terminal rather than a window, and the braille line.
  bool terminal = false;
  bool braille = true;
  // First-run set-up, or the receiver probe into a file, instead of the panel.
  bool setup = false;
  std::optional<std::string> probeFile;
  std::optional<std::string> device;
  // With --setup: a radio that Hamlib drives, "hamlib:" and its model number.
  std::optional<std::string> radio;
  // The probe may replace a file that is there.
  bool force = false;
  bool operator==(const CommandLine&) const = default;
};

// One option of the panel's command line: how --help shows it, and what it
// sets in the command line.
struct Option {
  const char* name;
  const char* value;  // the value's name in the help, or null for a switch
  const char* meaning;
  // Takes the option's value (empty for a switch) into `line`. None when
  // taken; else why it is refused, said after the option's name.
  std::optional<std::string> (*set)(const std::string& value, CommandLine& line);
};

// Every option, in the order --help lists them. ParseCommandLine knows an
// option only from here, so a new option is one row.
std::span<const Option> Options();

// The options after the program's name. None when an option is unknown, is
// given twice or lacks its value, when --device comes without --setup or
// --probe, --radio without --setup, --force without --probe, or both of
// those come; `problem` then says which, in one line.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                            std::string* problem = nullptr);

// What --help prints: the options, and the files the panel uses. The prompts
// are looked for in the wave/ folder of each of `promptRoots` in turn.
std::string HelpText(const std::vector<std::string>& promptRoots);

}  // namespace voxrig
