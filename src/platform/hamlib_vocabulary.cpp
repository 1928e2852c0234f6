// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/hamlib_vocabulary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace voxrig::hamlib_vocabulary {

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Decimal text with exactly one point, times `scale`, rounded to the hertz.
std::optional<long long> ScaledDecimal(std::string_view text, double scale) {
  const auto point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = text.substr(point + 1);
  if ((!whole.empty() && !AllDigits(whole)) || (!fraction.empty() && !AllDigits(fraction)) ||
      whole.size() + fraction.size() == 0 || whole.size() > 6 || fraction.size() > 9) {
    return std::nullopt;
  }
  const double value = std::stod("0" + std::string(text) + "0");
  return std::llround(value * scale);
}

}  // namespace

std::optional<long long> FrequencyHz(std::string_view text) {
  if (text.find('.') != std::string_view::npos) return ScaledDecimal(text, 1e6);
  if (!AllDigits(text) || text.size() > 12) return std::nullopt;
  return std::stoll(std::string(text));
}

std::optional<long long> StepHz(std::string_view text) {
  std::optional<long long> hz;
  if (text.find('.') != std::string_view::npos) {
    hz = ScaledDecimal(text, 1e3);
  } else if (AllDigits(text) && text.size() <= 9) {
    hz = std::stoll(std::string(text));
  }
  if (!hz || *hz <= 0) return std::nullopt;
  return hz;
}

std::string LevelAnswer(bool squelchOpen, int level) {
  char answer[8];
  std::snprintf(answer, sizeof answer, "LM%c%03d", squelchOpen ? ' ' : '%',
                std::clamp(level, 0, 255));
  return answer;
}

std::string ReceiveStateAnswer(std::string_view state, long long hz, long long stepHz, int modeCode,
                               bool attenuatorOn) {
  char answer[64];
  std::snprintf(answer, sizeof answer, " RF%010lld ST%06lld AU0 MD%d AT%d",
                std::clamp(hz, 0LL, 9999999999LL), std::clamp(stepHz, 0LL, 999999LL), modeCode,
                attenuatorOn ? 1 : 0);
  return std::string(state) + answer;
}

int LevelFromStrength(int decibelsOverS9) {
  // Six dB to an S unit, twelve meter figures to an S unit.
  return std::clamp((decibelsOverS9 + 54) * 2, 0, 255);
}

}  // namespace voxrig::hamlib_vocabulary
