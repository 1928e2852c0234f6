// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <algorithm>
#include <cstring>

#include "link/radio_choice.h"

namespace voxrig {

namespace {

void Refuse(std::string* problem, const std::string& why) {
  if (problem) *problem = "voxrig: " + why + " (voxrig --help lists the options)";
}

// The words of `text` in lines of at most 79 characters, every line after
// the first indented by `indent`, under the first word.
std::string Wrapped(const std::string& text, std::size_t indent) {
  constexpr std::size_t kWidth = 79;
  std::string out;
  std::size_t column = indent;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (column > indent && column + 1 + word.size() > kWidth) {
      out += "\n" + std::string(indent, ' ');
      column = indent;
    } else if (column > indent) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    start = end + 1;
  }
  return out;
}

using Refusal = std::optional<std::string>;

Refusal SetTranscript(const std::string& file, CommandLine& line) {
  line.transcriptPath = file;
  return std::nullopt;
}

Refusal SetNet(const std::string& address, CommandLine& line) {
  line.net = ParseNetAddress(address);
  if (line.net) return std::nullopt;
  return "needs [ADDRESS:]PORT with a port from 1 to 65535, not " + address;
}

Refusal SetWholeReadouts(const std::string&, CommandLine& line) {
  line.wholeReadouts = true;
  return std::nullopt;
}

Refusal SetNoNames(const std::string&, CommandLine& line) {
  line.names = false;
  return std::nullopt;
}

Refusal SetSpeech(const std::string& output, CommandLine& line) {
  if (output == "prompts") {
    line.speech = SpeechOutput::kPrompts;
  } else if (output == "speechd") {
    line.speech = SpeechOutput::kSpeechd;
  } else {
    return "needs prompts or speechd, not " + output;
  }
  return std::nullopt;
}

Refusal SetTerminal(const std::string&, CommandLine& line) {
  line.terminal = true;
  return std::nullopt;
}

Refusal SetNoBraille(const std::string&, CommandLine& line) {
  line.braille = false;
  return std::nullopt;
}

Refusal SetSetup(const std::string&, CommandLine& line) {
  line.setup = true;
  return std::nullopt;
}

Refusal SetProbe(const std::string& file, CommandLine& line) {
  line.probeFile = file;
  return std::nullopt;
}

Refusal SetDevice(const std::string& path, CommandLine& line) {
  line.device = path;
  return std::nullopt;
}

Refusal SetRadio(const std::string& radio, CommandLine& line) {
  if (HamlibModelOf(radio) <= 0) return "needs hamlib:MODEL, the model number rigctl -l lists";
  line.radio = radio;
  return std::nullopt;
}

Refusal SetForce(const std::string&, CommandLine& line) {
  line.force = true;
  return std::nullopt;
}

Refusal SetHelp(const std::string&, CommandLine& line) {
  line.help = true;
  return std::nullopt;
}

Refusal SetKeys(const std::string&, CommandLine& line) {
  line.keys = true;
  return std::nullopt;
}

Refusal SetVersion(const std::string&, CommandLine& line) {
  line.version = true;
  return std::nullopt;
}

// --export and --import are taken before the panel's options
// (RunBankCsvCommand), and only when they come first.
Refusal RefuseBankCsvHere(const std::string&, CommandLine&) {
  return "must come first, with only its files after it";
}

constexpr Option kOptions[] = {
    {"--transcript", "FILE",
     "also write every prompt played and every panel text drawn to FILE, one line each (\"-\" is "
     "standard output)",
     SetTranscript},
    {"--net", "[ADDRESS:]PORT",
     "serve Hamlib's rigctld protocol (NET rigctl, model 2) on PORT, at 127.0.0.1 unless ADDRESS "
     "is given, so logging programs can follow the receiver",
     SetNet},
    {"--whole-readouts", nullptr,
     "let every readout be heard to its end; without it the next key cuts short a frequency, "
     "mode, level or typed character still being read out",
     SetWholeReadouts},
    {"--no-names", nullptr,
     "say a channel's number but not its name (a \"NAMES=0\" line in VOXRIG.CFG does the same)",
     SetNoNames},
    {"--speech", "prompts|speechd",
     "speak with the recorded prompts (the default), or with speech-dispatcher in your own voice, "
     "rate, language and sound card (a \"SPEECH=speechd\" line in VOXRIG.CFG does the same); "
     "when speech-dispatcher cannot be reached the panel says so and speaks with the prompts",
     SetSpeech},
    {"--terminal", nullptr,
     "run in this terminal instead of a window (over SSH, with no display): keys from the "
     "terminal, each change of the panel's lines printed as one plain line, and what the "
     "panel says printed as a line of words",
     SetTerminal},
    {"--no-braille", nullptr,
     "leave the braille display alone (a \"BRAILLE=0\" line in VOXRIG.CFG does the same); "
     "otherwise the panel shows its line there whenever brltty runs",
     SetNoBraille},
    {"--setup", nullptr,
     "find the receiver among the serial devices, write VOXRIG.CFG for it in this folder and "
     "link it there as COM1",
     SetSetup},
    {"--probe", "FILE", "record the receiver's answers to questions that change nothing into FILE",
     SetProbe},
    {"--device", "PATH", "with --setup or --probe: try this serial device only", SetDevice},
    {"--radio", "hamlib:MODEL",
     "with --setup: set up a radio that Hamlib drives instead of the AR8600, MODEL being its "
     "number as rigctl -l lists it",
     SetRadio},
    {"--force", nullptr,
     "with --probe: replace FILE when it is there (never through a link); with --export: write "
     "the list under a name that does not end in .csv",
     SetForce},
    {"--help", nullptr, "say what the options are and where the panel looks for its files",
     SetHelp},
    {"--keys", nullptr, "print the key card: every key of the panel on one page", SetKeys},
    {"--version", nullptr, "print the version", SetVersion},
    {"--export", "BANK.dat [FILE.csv]",
     "write every channel of the bank file as a CSV channel list to FILE.csv, or to standard "
     "output, and end; given first and alone. A bank file is never replaced",
     RefuseBankCsvHere},
    {"--import", "FILE.csv BANK.dat",
     "make the bank file bankNN.dat from a CSV channel list, all or nothing, keeping the old one "
     "for the panel's U, and end; given first and alone",
     RefuseBankCsvHere},
};

const Option* FindOption(const std::string& name) {
  for (const Option& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

}  // namespace

std::span<const Option> Options() {
  return kOptions;
}

std::optional<NetAddress> ParseNetAddress(const std::string& text) {
  NetAddress address;
  std::string port = text;
  const std::size_t colon = text.rfind(':');
  if (colon != std::string::npos) {
    address.host = text.substr(0, colon);
    port = text.substr(colon + 1);
    if (address.host.size() >= 2 && address.host.front() == '[' && address.host.back() == ']') {
      address.host = address.host.substr(1, address.host.size() - 2);
    }
    if (address.host.empty()) return std::nullopt;
  }
  if (port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  address.port = std::stoi(port);
  if (address.port < 1 || address.port > 65535) return std::nullopt;
  return address;
}

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                            std::string* problem) {
  CommandLine line;
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const Option* option = FindOption(argument);
    if (!option) {
      Refuse(problem, argument.rfind("-", 0) == 0 ? "unknown option " + argument
                                                  : "unexpected argument " + argument);
      return std::nullopt;
    }
    if (std::find(seen.begin(), seen.end(), argument) != seen.end()) {
      Refuse(problem, argument + " given twice");
      return std::nullopt;
    }
    seen.push_back(argument);
    std::string value;
    if (option->value) {
      if (i + 1 >= arguments.size()) {
        Refuse(problem, argument + " needs a " + option->value);
        return std::nullopt;
      }
      value = arguments[++i];
    }
    if (const Refusal refusal = option->set(value, line)) {
      Refuse(problem, argument + " " + *refusal);
      return std::nullopt;
    }
  }
  if (line.setup && line.probeFile) {
    Refuse(problem, "--setup and --probe cannot be given together");
    return std::nullopt;
  }
  if (line.radio && !line.setup) {
    Refuse(problem, "--radio is for --setup");
    return std::nullopt;
  }
  if (line.device && !line.setup && !line.probeFile) {
    Refuse(problem, "--device is for --setup or --probe");
    return std::nullopt;
  }
  if (line.force && !line.probeFile) {
    Refuse(problem, "--force is for --probe (or comes after --export's files)");
    return std::nullopt;
  }
  return line;
}

std::string HelpText(const std::vector<std::string>& promptRoots) {
  std::string text =
      "usage: voxrig [OPTION]...\n"
      "A talking front panel for the AOR AR8600 receiver, worked from the keyboard.\n\n"
      "Options:\n";
  std::size_t width = 0;
  for (const Option& option : kOptions) {
    width = std::max(width,
                     std::strlen(option.name) + (option.value ? std::strlen(option.value) + 1 : 0));
  }
  for (const Option& option : kOptions) {
    std::string left = option.name;
    if (option.value) left += std::string(" ") + option.value;
    text += "  " + left + std::string(width - left.size() + 2, ' ') +
            Wrapped(option.meaning, width + 4) + "\n";
  }
  text +=
      "\nFiles, in the folder voxrig is started in:\n"
      "  VOXRIG.CFG             the configuration: port, speed, radio, voice, log\n"
      "  bank00.dat             the search log\n"
      "  bank01.dat-bank99.dat  the bank files\n"
      "  COM1-COM9              a link to the receiver's serial device; without one,\n"
      "                         port n is /dev/ttyS(n-1)\n"
      "  debug1.dat             the debug log, when the configuration asks for it\n"
      "\nPrompts: each wave file is taken from the first of these folders that holds it:\n";
  for (const std::string& root : promptRoots) {
    text += "  " + (root.empty() || root.back() == '/' ? root : root + "/") + "wave/\n";
  }
  text += "\nvoxrig-demo tries the panel against a simulated receiver; see man voxrig.\n";
  return text;
}

}  // namespace voxrig
