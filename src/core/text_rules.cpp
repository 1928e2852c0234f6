// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text_rules.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace voxrig {

std::string LeftText(std::string_view text, long long count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, static_cast<std::size_t>(count)));
}

std::string RightText(std::string_view text, long long count) {
  if (count <= 0) return {};
  const auto n = std::min<std::size_t>(static_cast<std::size_t>(count), text.size());
  return std::string(text.substr(text.size() - n));
}

std::string MiddleText(std::string_view text, long long start, long long count) {
  if (count <= 0) return {};
  if (start < 1) start = 1;
  const auto from = static_cast<std::size_t>(start - 1);
  if (from >= text.size()) return {};
  return std::string(text.substr(from, static_cast<std::size_t>(count)));
}

std::string MiddleText(std::string_view text, long long start) {
  if (start < 1) start = 1;
  const auto from = static_cast<std::size_t>(start - 1);
  if (from >= text.size()) return {};
  return std::string(text.substr(from));
}

std::size_t FindText(std::string_view haystack, std::string_view needle) {
  if (haystack.empty() || needle.empty()) return 0;
  const auto at = haystack.find(needle);
  return at == std::string_view::npos ? 0 : at + 1;
}

double NumberFromText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  // Collect the digits as text and let the C library convert them, so that
  // decimals such as 145.5125 come out exactly as a double can hold them.
  std::string digits;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') digits += text[i++];
  if (i < text.size() && text[i] == '.') {
    std::string decimals;
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') decimals += text[i++];
    if (!decimals.empty()) digits += "." + decimals;
  }
  if (digits.empty() || digits[0] == '.') digits.insert(0, "0");
  const double value = std::strtod(digits.c_str(), nullptr);
  return negative ? -value : value;
}

namespace {

// A whole number beyond the range of a 64-bit integer (a typed entry of 254
// digits reads as 1e253) saturates instead of overflowing the conversion.
long long SaturatedInteger(double whole) {
  if (std::isnan(whole)) return 0;
  if (whole >= 9223372036854775808.0) return std::numeric_limits<long long>::max();
  if (whole < -9223372036854775808.0) return std::numeric_limits<long long>::min();
  return static_cast<long long>(whole);
}

// The number with the given count of decimals, however many digits it has.
std::string FixedText(double value, int decimals) {
  const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
  return text;
}

}  // namespace

// The default floating-point rounding mode rounds ties to even.
long long RoundToInteger(double value) {
  return SaturatedInteger(std::nearbyint(value));
}

long long IntegerPart(double value) {
  return SaturatedInteger(std::trunc(value));
}

std::string TextFromNumber(double value) {
  if (value == 0) value = 0;  // a negative zero reads as 0
  return " " + FixedText(value, value == std::trunc(value) ? 0 : 2);
}

std::vector<std::string> SplitLines(std::string_view content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = start;
    while (end < content.size() && content[end] != '\r' && content[end] != '\n') ++end;
    lines.emplace_back(content.substr(start, end - start));
    if (end < content.size()) {
      const bool crlf =
          content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n';
      end += crlf ? 2 : 1;
    }
    start = end;
  }
  return lines;
}

bool HoldsOnlyDigits(const std::string& text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace voxrig
