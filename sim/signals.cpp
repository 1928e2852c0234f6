// SPDX-License-Identifier: GPL-3.0-or-later
#include "signals.h"

#include <cstdlib>
#include <sstream>

#include "data_lines.h"
#include "frequency_text.h"

namespace ar8600sim {

bool IsOnAir(const Signal& signal, double nowMs) {
  return (!signal.fromMs || nowMs >= *signal.fromMs) &&
         (!signal.untilMs || nowMs < *signal.untilMs);
}

Reception Receive(const std::vector<Signal>& signals, std::int64_t tunedHz, int stepHz,
                  double nowMs) {
  Reception reception;
  for (const Signal& signal : signals) {
    const std::int64_t offset = std::llabs(signal.hz - tunedHz);
    if (!IsOnAir(signal, nowMs) || 2 * offset >= stepHz) continue;
    if (!reception.squelchOpen || signal.level > reception.level) {
      reception = {true, signal.level};
    }
  }
  return reception;
}

std::optional<double> NextSignalChange(const std::vector<Signal>& signals, double afterMs) {
  std::optional<double> next;
  for (const Signal& signal : signals) {
    for (const auto& change : {signal.fromMs, signal.untilMs}) {
      if (change && *change > afterMs && (!next || *change < *next)) next = *change;
    }
  }
  return next;
}

std::vector<Signal> DefaultSignals() {
  return {{145'212'500, 142, {}, {}}, {145'512'500, 96, {}, {}}, {145'800'000, 201, {}, {}}};
}

namespace {

std::optional<double> ParseMilliseconds(std::string_view text) {
  if (text.empty() || !AllDigits(text)) return std::nullopt;
  return std::strtod(std::string(text).c_str(), nullptr);
}

// One non-comment line; an error text, or empty when it was read.
std::string ParseSignalLine(const std::string& line, Signal& signal) {
  std::istringstream words(line);
  std::string frequency, level, option;
  words >> frequency >> level;
  const auto hz = ParseMegahertzExact(frequency);
  if (!hz || !FrequencyInRange(*hz)) return "expected a frequency in MHz, like 145.5125";
  if (level.empty() || level.size() > 3 || !AllDigits(level) || std::stoi(level) > 255) {
    return "expected a level from 0 to 255 after the frequency";
  }
  signal = {*hz, std::stoi(level), {}, {}};
  while (words >> option) {
    const std::string_view word = option;
    if (word.starts_with("from=")) {
      signal.fromMs = ParseMilliseconds(word.substr(5));
      if (!signal.fromMs) return "expected from=<milliseconds>";
    } else if (word.starts_with("until=")) {
      signal.untilMs = ParseMilliseconds(word.substr(6));
      if (!signal.untilMs) return "expected until=<milliseconds>";
    } else {
      return "unknown word '" + option + "' (from=<ms> and until=<ms> are known)";
    }
  }
  return {};
}

}  // namespace

SignalsLoad ParseSignalsFile(std::string_view text) {
  SignalsLoad result;
  result.line = ForEachDataLine(text, result.error, [&result](std::string_view line) {
    Signal signal;
    std::string error = ParseSignalLine(std::string(line), signal);
    if (error.empty()) result.signals.push_back(signal);
    return error;
  });
  if (result.line != 0) result.signals.clear();
  return result;
}

}  // namespace ar8600sim
