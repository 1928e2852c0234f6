// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The signals on the air around the simulated receiver.
namespace ar8600sim {

struct Signal {
  std::int64_t hz = 0;
  int level = 0;                  // 0-255, as the receiver reports it
  std::optional<double> fromMs;   // on the air from this time (ms since start) ...
  std::optional<double> untilMs;  // ... until this time; absent: always

  bool operator==(const Signal&) const = default;
};

bool IsOnAir(const Signal& signal, double nowMs);

struct Reception {
  bool squelchOpen = false;
  int level = 0;

  bool operator==(const Reception&) const = default;
};

// The squelch opens when a signal on the air is within half a step of the
// tuned frequency; the strongest such signal sets the level.
Reception Receive(const std::vector<Signal>& signals, std::int64_t tunedHz, int stepHz,
                  double nowMs);

// The first time after `afterMs` at which a signal comes or goes.
std::optional<double> NextSignalChange(const std::vector<Signal>& signals, double afterMs);

// Three signals in the 2 m band: 145.2125, 145.5125 and 145.8 MHz.
std::vector<Signal> DefaultSignals();

// The signals file: one signal per line,
//   <MHz> <level 0-255> [from=<ms>] [until=<ms>]
// e.g. "145.5125 142 from=2000 until=6000". Times count from the simulator's
// start. Blank lines and lines starting with '#' are skipped.
struct SignalsLoad {
  std::vector<Signal> signals;
  int line = 0;  // 1-based line of the first error, 0 when none
  std::string error;
};
SignalsLoad ParseSignalsFile(std::string_view text);

}  // namespace ar8600sim
