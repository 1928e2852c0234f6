// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include "frequency_text.h"

namespace ar8600sim {

namespace {

bool ParseNumber(const std::string& text, int lowest, int highest, int& value) {
  if (text.empty() || text.size() > 9 || !AllDigits(text)) return false;
  const int number = std::stoi(text);
  if (number < lowest || number > highest) return false;
  value = number;
  return true;
}

// The value that follows an option on the command line; taking it moves the
// reading past it.
struct OptionValue {
  const std::vector<std::string>& arguments;
  std::size_t& index;

  bool Text(std::string& into) {
    if (index + 1 >= arguments.size()) return false;
    into = arguments[++index];
    return true;
  }
  bool Number(int lowest, int highest, int& into) {
    if (index + 1 >= arguments.size()) return false;
    if (!ParseNumber(arguments[index + 1], lowest, highest, into)) return false;
    ++index;
    return true;
  }
};

enum class OptionRead { kGood, kBadValue, kUnknown };

OptionRead Outcome(bool good) {
  return good ? OptionRead::kGood : OptionRead::kBadValue;
}

// The switches, and the options that take a text.
OptionRead ReadSwitchOrText(const std::string& name, OptionValue value, Options& options) {
  if (name == "--help" || name == "-h") {
    options.help = true;
  } else if (name == "--silent") {
    options.faults.silent = true;
  } else if (name == "--garbage") {
    options.faults.garbage = true;
  } else if (name == "--search-answer") {
    return Outcome(value.Text(options.faults.searchAnswer) &&
                   IsKeyword(options.faults.searchAnswer));
  } else if (name == "--dir") {
    return Outcome(value.Text(options.dir));
  } else if (name == "--wire-log") {
    return Outcome(value.Text(options.wireLog));
  } else if (name == "--signals") {
    return Outcome(value.Text(options.signalsFile));
  } else if (name == "--memory-in") {
    return Outcome(value.Text(options.memoryIn));
  } else if (name == "--memory-out") {
    return Outcome(value.Text(options.memoryOut));
  } else if (name == "--control") {
    return Outcome(value.Text(options.controlFile));
  } else {
    return OptionRead::kUnknown;
  }
  return OptionRead::kGood;
}

// The options that take a number.
OptionRead ReadNumberOption(const std::string& name, OptionValue value, Options& options) {
  if (name == "--port") return Outcome(value.Number(1, 256, options.port));
  if (name == "--drop-after") return Outcome(value.Number(0, 1'000'000, options.dropAfter));
  if (name == "--reply-delay-ms") {
    int delay = 0;
    const bool good = value.Number(0, 600'000, delay);
    if (good) options.faults.replyDelayMs = delay;
    return Outcome(good);
  }
  if (name == "--resize-ms") return Outcome(value.Number(0, 600'000, options.resizeMs));
  if (name == "--baud") {
    return Outcome(value.Number(0, 1'000'000, options.baud) &&
                   (options.baud == 4800 || options.baud == 9600 || options.baud == 19200));
  }
  if (name == "--seed") {
    int seed = 0;
    const bool good = value.Number(0, 999'999'999, seed);
    options.seed = static_cast<unsigned>(seed);
    return Outcome(good);
  }
  return OptionRead::kUnknown;
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    OptionValue value{arguments, i};
    OptionRead read = ReadSwitchOrText(name, value, parsed.options);
    if (read == OptionRead::kUnknown) read = ReadNumberOption(name, value, parsed.options);
    switch (read) {
      case OptionRead::kGood:
        break;
      case OptionRead::kBadValue:
        parsed.error = "option " + name + " needs a valid value";
        return parsed;
      case OptionRead::kUnknown:
        parsed.error = "unknown option '" + name + "'";
        return parsed;
    }
  }
  return parsed;
}

std::string UsageText() {
  return R"(ar8600-sim: a simulated AOR AR8600 receiver on a pseudo-terminal.

It opens a pseudo-terminal, links DIR/COM<port> to its slave side, prints the
slave's path on stdout and answers the receiver's serial commands there until
SIGTERM or SIGINT (then it removes the link, writes the memory file and exits 0).

Replugging: a second simulator started with the same --dir and --port replaces
the link of the first (or a stale one left by a killed run); the first, when
it stops later, leaves the second's link alone. Any other file at that path is
never touched: the simulator then refuses to start.

Options:
  --dir DIR             folder for the COM link (default: .)
  --port N              the link is named COM<N> (1-256, default 1)
  --wire-log FILE       log every command received, one line each
  --signals FILE        the signals on the air (default: 145.2125 MHz level 142,
                        145.5125 MHz level 96, 145.8 MHz level 201)
  --memory-in FILE      memory channels to start with
  --memory-out FILE     where the memory is written on SIGUSR1 and at exit
  --control FILE        faults file, read again on every SIGHUP
  --silent              read commands but never answer
  --garbage             answer with garbage bytes (no letters, so no keyword)
  --search-answer XX    the keyword RX answers first during a VFO search
                        (default VS, a guess; "SS" as a related AOR receiver
                        answers: "SS RF0145512500 ST012500 AU0 MD1 AT0")
  --drop-after N        hang up once N commands are served: when the client has
                        read the last answer, the pty closes and the link goes
  --reply-delay-ms N    first answer byte N ms after the CR (normally 7-20 ms)
  --resize-ms N         an "MW" resize takes N ms plus 10 ms per stored channel
                        of the pair (default 1500)
  --baud N              line speed for the pace: 4800, 9600 or 19200 (default);
                        the pty is set to it too, and no answer comes faster
  --seed N              seed of the answer delays and the garbage (default 1)
  --help                this text

Wire log: one line per command, flushed at once:
  <ms since start> <command>
The time is when the command's CR reached the receiver at line speed, in whole
milliseconds. Printable bytes are shown as they are; any other byte, and '<',
as <XX> in hex: the byte 30 alone is "<1E>", a lone CR "<0D>". LF is dropped.

Signals file: one signal a line, '#' starts a comment line:
  <MHz> <level 0-255> [from=<ms>] [until=<ms>]
  145.5125 142 from=2000 until=6000
The squelch opens when a signal on the air is within half a step of the tuned
frequency; times count from the simulator's start.

Memory file (--memory-in, --memory-out): one stored channel a line, banks A-J
then a-j, channels in order:
  A00 0145500000 MD1 ST012500 MP0 TM<name, 12 characters>
" AU1" and " AT1" stand before " MP" when on. Pairs not split 50/50 come first
as "MW A:90 a:10". On loading, the frequency may also be MHz with a point, the
fields take every form of the "MX" command, and '#' lines are skipped.

Control file (--control, read on SIGHUP), one setting a line:
  silent on|off   garbage on|off   drop-after N   hang-up   reply-delay-ms N|off
  search-answer XX

Reading a bank without selecting a channel ("MA"):
  MAA    answers channels A00-A09 as ten lines, one a channel
  MA     answers the next ten (A10-A19, ...)
Each line is the channel as "MR" answers it, or "---" for an empty channel:
  MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRepeater
  ---
Once the bank's last ten are read, "MA" answers "?" and the read is over;
"MA" with no "MA"+bank before it answers "?" too. Nothing is recalled: RX,
the scan and the squelch stay as they were.

Guesses: these are our choices where no source settles what a real AR8600
does; the program should survive either form.
  - "VS RF..." as the RX answer during a VFO search (see --search-answer)
  - "---" for an empty channel in an "MA" read (other programs' drivers read
    it so), and "?" past the bank's end or without "MA"+bank
  - the byte 30 acting alone, without its CR
  - "LC 142 VA RF..." with a blank after LC, by analogy with LM
  - a "VA"+frequency ending a search; commands sent during a resize queued
)";
}

}  // namespace ar8600sim
