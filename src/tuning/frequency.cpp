// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/frequency.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/text_rules.h"
#include "link/radio_capabilities.h"
#include "link/receiver_commands.h"
#include "panel/display_lines.h"
#include "tuning/radio_abilities.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// Far beyond any receiver, yet small enough that adding any tuning amount
// cannot overflow: a typed frequency of twenty digits stays a number.
constexpr double kLargestHz = 1e15;

constexpr std::int64_t kHzPerMegahertz = 1000000;
constexpr std::int64_t kFirstDecimalPlace = 100000;  // hertz of the first decimal
constexpr std::size_t kDecimalDigits = 6;            // hertz resolution of a megahertz text

std::int64_t WholeHz(double hz) {
  return RoundToInteger(std::clamp(hz, -kLargestHz, kLargestHz));
}

std::int64_t AddWithoutOverflow(std::int64_t a, std::int64_t b) {
  std::int64_t sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<std::int64_t>::max()
               : std::numeric_limits<std::int64_t>::min();
}

void SetVfo(Context& ctx, char vfo) {
  TuningState& tuning = ctx.tuning;
  // The radio holds a frequency to its resolution (the AR8600 to its 50 Hz):
  // a finer one goes out rounded, and a shown text that is the one sent
  // shows the rounding, so the line says what the receiver holds. Any other
  // text goes out as it is.
  const auto tunable = TunableOn(RadioCapabilities(ctx), tuning.frequencyDigits.str());
  if (tunable && tuning.frequencyDigits != *tunable) {
    if (vfo == 'A' && tuning.frequencyText == tuning.frequencyDigits) {
      tuning.frequencyText = *tunable;
    }
    tuning.frequencyDigits = *tunable;
  }
  const std::string frequency = tuning.frequencyDigits.str();
  // A frequency typed without a point is whole megahertz; show it as such.
  if (FindText(tuning.frequencyText.str(), ".") == 0) {
    tuning.frequencyText = tuning.frequencyDigits + ".0";
  }
  const Vfo which = vfo == 'A' ? Vfo::kA : Vfo::kB;
  ToRadio(ctx, [&](Receiver& radio) { return radio.SetFrequency(which, frequency); });
}

}  // namespace

void SetVfoA(Context& ctx) {
  SetVfo(ctx, 'A');
  ShowFrequency(ctx);
}

void SetVfoB(Context& ctx) {
  SetVfo(ctx, 'B');
}

void TextToHz(Context& ctx) {
  const std::string& digits = ctx.tuning.frequencyDigits.str();
  const std::size_t point = FindText(digits, ".");
  if (point == 0) {
    ctx.tuning.frequencyHz = WholeHz(NumberFromText(digits) * kHzPerMegahertz);
    return;
  }
  std::int64_t hz = WholeHz(NumberFromText(LeftText(digits, point - 1)) * kHzPerMegahertz);
  // Each decimal adds its own place; the seventh and later are below a hertz
  // and are cut, not rounded.
  std::int64_t place = kFirstDecimalPlace;
  for (std::size_t i = point; i < digits.size(); ++i) {
    const char c = digits[i];
    const std::int64_t value = c >= '0' && c <= '9' ? c - '0' : 0;
    hz += value * place;
    place /= 10;
  }
  ctx.tuning.frequencyHz = hz;
}

std::string MegahertzText(std::int64_t hz) {
  // A negative frequency has no meaning to the receiver: it reads as 0.
  std::string digits = std::to_string(std::max<std::int64_t>(hz, 0));
  // Below 100 kHz the digits are filled with zeros to a whole six-decimal
  // field, so 50 000 Hz gives .05 rather than a wrong .5.
  if (digits.size() < kDecimalDigits) digits.insert(0, kDecimalDigits - digits.size(), '0');
  std::string text = LeftText(digits, static_cast<long long>(digits.size() - kDecimalDigits)) +
                     "." + RightText(digits, kDecimalDigits);
  while (text.back() == '0') text.pop_back();
  // No frequency at all would leave a lone point; it is shown and spoken as 0.
  if (text == ".") text = "0.";
  return text;
}

void HzToText(Context& ctx) {
  ctx.tuning.frequencyDigits = MegahertzText(ctx.tuning.frequencyHz);
}

std::int64_t StepToHz(Context& ctx) {
  const std::string& step = ctx.tuning.searchStepText.str();
  const std::size_t point = FindText(step, ".");
  if (point == 0) return WholeHz(NumberFromText(step)) * 1000;
  // Only the first decimal counts: 6.25 steps by 6200 Hz.
  return WholeHz(NumberFromText(LeftText(step, point - 1)) * 1000) +
         WholeHz(NumberFromText(MiddleText(step, point + 1, 1)) * 100);
}

void TuneBy(Context& ctx, std::int64_t deltaHz) {
  ctx.tuning.frequencyDigits = ctx.tuning.frequencyText;
  TextToHz(ctx);
  ctx.tuning.frequencyHz = AddWithoutOverflow(ctx.tuning.frequencyHz, deltaHz);
  HzToText(ctx);
  ctx.tuning.frequencyText = ctx.tuning.frequencyDigits;
  SetVfoA(ctx);
}

bool TuneWithinRange(Context& ctx, std::int64_t deltaHz) {
  TuningState& tuning = ctx.tuning;
  const BoundedText shown = tuning.frequencyText;
  const BoundedText shownDigits = tuning.frequencyDigits;
  tuning.frequencyDigits = tuning.frequencyText;
  TextToHz(ctx);
  const ReceiverCapabilities& radio = RadioCapabilities(ctx);
  const std::int64_t hz = RoundedForRadio(radio, AddWithoutOverflow(tuning.frequencyHz, deltaHz));
  tuning.frequencyDigits = shownDigits;
  if (!radio.Receives(hz)) return false;
  const bool wasLost = ctx.link.receiverLost;
  TuneBy(ctx, deltaHz);
  if (!wasLost && ctx.link.receiverLost) {
    // The command found the receiver gone: it was never tuned there.
    tuning.frequencyText = shown;
    tuning.frequencyDigits = shownDigits;
    ShowFrequency(ctx);
  }
  return true;
}

void SetStep(Context& ctx) {
  const std::string step = ctx.tuning.searchStepText.str();
  ToRadio(ctx, [&](Receiver& radio) { return radio.SetStep(step); });
}

}  // namespace voxrig
