// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlib/hamlib_numbers.h"

#include <cinttypes>
#include <cstdio>

namespace voxrig {

namespace {

constexpr std::size_t kMostWholeDigits = 9;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::int64_t> ScaledDecimal(const std::string& text, int decimals) {
  const std::size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  if (whole.size() + fraction.size() == 0 || whole.size() > kMostWholeDigits) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : whole) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  for (int i = 0; i < decimals; ++i) {
    const std::size_t at = static_cast<std::size_t>(i);
    const char c = at < fraction.size() ? fraction[at] : '0';
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  for (std::size_t at = static_cast<std::size_t>(decimals); at < fraction.size(); ++at) {
    if (!IsDigit(fraction[at])) return std::nullopt;
  }
  return value;
}

HeardFrequency HeardFrequencyOf(std::int64_t hz) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%010" PRId64, hz);
  char megahertz[32];
  std::snprintf(megahertz, sizeof megahertz, "%" PRId64 ".%06" PRId64, hz / 1000000, hz % 1000000);
  std::string text = megahertz;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text += '0';
  return {digits, text, hz};
}

}  // namespace voxrig
