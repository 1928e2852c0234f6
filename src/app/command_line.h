#pragma once

#include <optional>
#include <string>
#include <vector>

namespace voxrig {

inline constexpr int kExitUsage = 2;

// One option of the panel's command line, as --help lists it.
struct OptionInfo {
  const char* name;
  const char* value;  // the value's name in the help, or null for a switch
  const char* meaning;
};

// Every option, in the order --help lists them. A new option is a row here
// and a case in ParseCommandLine.
inline constexpr OptionInfo kOptions[] = {
    {"--transcript", "FILE",
     "also write every prompt played and every panel text drawn to FILE, one line each (\"-\" is "
     "standard output)"},
    {"--net", "[ADDRESS:]PORT",
     "serve Hamlib's rigctld protocol (NET rigctl, model 2) on PORT, at 127.0.0.1 unless ADDRESS "
     "is given, so logging programs can follow the receiver"},
    {"--whole-readouts", nullptr,
     "let every readout be heard to its end; without it the next key cuts short a frequency, "
     "mode, level or typed character still being read out"},
    {"--setup", nullptr,
     "find the receiver among the serial devices, write VOXRIG.CFG for it in this folder and "
     "link it there as COM1"},
    {"--probe", "FILE", "record the receiver's answers to questions that change nothing into FILE"},
    {"--device", "PATH", "with --setup or --probe: try this serial device only"},
    {"--help", nullptr, "say what the options are and where the panel looks for its files"},
    {"--version", nullptr, "print the version"},
    {"--export", "BANK.dat [FILE.csv]",
     "write the bank file as a CSV channel list to FILE.csv, or to standard output, and end; "
     "given first and alone"},
    {"--import", "FILE.csv BANK.dat",
     "make the bank file from a CSV channel list, all or nothing, and end; given first and alone"},
};

// The loopback address unless another is named: nothing outside this
// computer reaches the receiver by default.
struct NetAddress {
  std::string host = "127.0.0.1";
  int port = 0;
};

// "[ADDRESS:]PORT"; an IPv6 address goes in brackets ("[::1]:4532"). None
// when the port is not a number from 1 to 65535 or the address is empty.
std::optional<NetAddress> ParseNetAddress(const std::string& text);

struct CommandLine {
  // --help or --version: print it and end without opening the window.
  bool help = false;
  bool version = false;
  // Where the transcript goes; none when it was not asked for.
  std::optional<std::string> transcriptPath;
  // Where other programs reach the panel over the network; none without --net.
  std::optional<NetAddress> net;
  // Every readout is heard to its end: keys never cut speech short.
  bool wholeReadouts = false;
  // First-run set-up, or the receiver probe into a file, instead of the panel.
  bool setup = false;
  std::optional<std::string> probeFile;
  std::optional<std::string> device;
};

// The options after the program's name. None when an option is unknown, is
// given twice or lacks its value, when --device comes without --setup or
// --probe, or both of those come; `problem` then says which, in one line.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                            std::string* problem = nullptr);

// What --help prints: the options, and the files the panel uses. The prompts
// are looked for in the wave/ folder of each of `promptRoots` in turn.
std::string HelpText(const std::vector<std::string>& promptRoots);

}  // namespace voxrig
