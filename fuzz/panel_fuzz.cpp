// SPDX-License-Identifier: GPL-3.0-or-later
// A whole panel around the fakes, fed from one input: its configuration, a
// bank file, the keys the listener presses, the timer ticks between them, and
// whatever the receiver sends back. What must hold whatever comes: the panel
// ends in order with exit code 0 (1 when a key came before the receiver ever
// answered), the last thing the receiver hears is "EX",
// every text stays within its bounds, and the key queue never overflows.
//
// And once it has ended nothing is left to be heard but what it said last
// ("quit", or why it ends), whatever a burst of keys left queued.
//
// Input: up to the first 0xFF, VOXRIG.CFG; up to the next 0xFF, bank03.dat;
// the rest is a script. Each script byte is an event: 0x00-0x35 a key from
// the panel's keyboard; 0x36-0x3F a burst, the key of the next byte pressed
// 12 times for each step above 0x35 with no tick between (a paste, a macro,
// a key struck fast; Q in a burst ends the panel there); 0x40-0x7F that many
// minus 0x3F ticks; 0xC0-0xDF bytes from a terminal, 24 for each step above
// 0xC0 and one more, following, decoded into keys as the terminal's keys
// are (escape sequences, long ones too, Ctrl+C and Ctrl+D); any other byte a
// chunk of receiver bytes (its length in the low five bits, the bytes
// following).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "app/startup.h"
#include "command/key_codes.h"
#include "fakes/test_program.h"
#include "terminal/terminal_key_decoder.h"

namespace {

namespace keys = voxrig::keys;

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "panel_fuzz: %s\n", what);
  std::abort();
}

// Every key the interpreter knows, and a few it ignores.
constexpr int kKeys[] = {keys::kEnter,
                         keys::kSpace,
                         keys::kPageUp,
                         keys::kPageDown,
                         keys::kLeft,
                         keys::kUp,
                         keys::kRight,
                         keys::kDown,
                         keys::kPoint,
                         keys::kFullStop,
                         keys::kF1,
                         keys::kF7,
                         '0',
                         '1',
                         '2',
                         '3',
                         '4',
                         '5',
                         '6',
                         '7',
                         '8',
                         '9',
                         'A',
                         'B',
                         'C',
                         'D',
                         'E',
                         'F',
                         'G',
                         'H',
                         'I',
                         'J',
                         'K',
                         'L',
                         'M',
                         'N',
                         'O',
                         'P',
                         'R',
                         'S',
                         'T',
                         'U',
                         'V',
                         'W',
                         'X',
                         'Y',
                         'Z',
                         96,
                         105,
                         113,
                         27,
                         8,
                         9,
                         'Q'};
constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];
static_assert(kKeyCount == 0x36, "the script's key bytes are 0x00-0x35");

std::string_view TakeUntil(std::string_view& rest) {
  const std::size_t split = rest.find('\xff');
  const std::string_view piece = rest.substr(0, split);
  rest = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);
  return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view configuration = TakeUntil(rest);
  const std::string_view bank = TakeUntil(rest);

  voxrig::fakes::TestProgram program;
  program.files.files["VOXRIG.CFG"] = std::string(configuration);
  program.files.files["bank03.dat"] = std::string(bank);

  std::deque<std::string> answers;
  program.line.responder = [&answers](const std::string&) {
    if (answers.empty()) return std::string();
    std::string answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  };

  voxrig::TerminalKeyDecoder terminal;
  int events = 0;
  for (std::size_t i = 0; i < rest.size() && events < 400; ++i, ++events) {
    const auto byte = static_cast<std::uint8_t>(rest[i]);
    if (byte < kKeyCount) {
      const int key = kKeys[byte];
      // Q ends the program: keep it for the script's end so the rest is run.
      if (key == 'Q' && i + 1 < rest.size()) continue;
      program.window.AddKey(key);
    } else if (byte < 0x40) {
      if (i + 1 >= rest.size()) break;
      const int key = kKeys[static_cast<std::uint8_t>(rest[++i]) % kKeyCount];
      for (int press = 0; press < (byte - 0x35) * 12; ++press) program.window.AddKey(key);
    } else if (byte < 0x80) {
      program.window.AddTicks(byte - 0x3F);
    } else if (byte >= 0xC0 && byte < 0xE0) {
      const std::size_t length = (byte - 0xC0) * 24 + 1;
      std::vector<voxrig::WindowEvent> keys;
      terminal.Take(rest.substr(i + 1, length), keys);
      terminal.Settle(keys);
      i += length;
      for (const voxrig::WindowEvent& event : keys) program.window.AddBatch({event});
    } else {
      const std::size_t length = byte & 0x1F;
      answers.emplace_back(rest.substr(i + 1, length));
      i += length;
    }
  }
  program.window.AddTicks(3);

  const int exitCode = voxrig::RunProgram(program.ctx);
  // The panel waits for a receiver that never answers: every end is orderly.
  Check(exitCode == voxrig::kExitOrderly,
        "the panel ended with an exit code that does not tell how it ended");
  Check(!program.ctx.app.programRunning, "the panel still runs after its loop");
  Check(!program.window.timerRunning, "the timer was left running");
  Check(program.ctx.panel.keyQueueCount >= 0 &&
            program.ctx.panel.keyQueueCount <= voxrig::PanelState::kQueueSize,
        "the key queue count left its bounds");
  if (!program.line.written.empty() &&
      program.ctx.link.linkState != voxrig::ReceiverAnswer::kAwaitingFirst) {
    const std::string& written = program.line.written;
    Check(written.size() >= 3 && written.compare(written.size() - 3, 3, "EX\r") == 0,
          "the receiver was not told EX last");
  }
  const auto& played = program.sound.played();
  for (const auto& prompt : played) {
    Check(prompt.end <= program.time.now() || prompt.unit == played.back().unit,
          "the panel ended with more than its last words still to be heard");
  }
  for (const std::string& command : program.Commands()) {
    Check(command.size() <= 254, "a command longer than a text holds went out");
  }
  return 0;
}
