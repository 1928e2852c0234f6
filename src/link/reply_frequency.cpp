// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/reply_frequency.h"

#include <cctype>

#include "core/text_rules.h"

namespace voxrig {

namespace {

// The receiver's frequency field: four megahertz digits and six more. An
// eleventh digit is kept when it comes (seven decimals).
constexpr std::size_t kFieldDigits = 10;
constexpr std::size_t kMostDigits = 11;

std::string WithoutLeadingZeros(std::string text) {
  const auto first = text.find_first_not_of('0');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string WithoutTrailingZeros(std::string text) {
  const auto last = text.find_last_not_of('0');
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

}  // namespace

std::optional<ReplyFrequency> SearchHitFrequency(std::string_view reply) {
  const std::size_t at = FindText(reply, "RF");
  if (at == 0) return std::nullopt;
  std::string digits;
  for (std::size_t i = at + 1; i < reply.size() && digits.size() < kMostDigits; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(reply[i]))) break;
    digits += reply[i];
  }
  if (digits.size() < kFieldDigits) return std::nullopt;
  const std::string withPoint = LeftText(digits, 4) + "." + MiddleText(digits, 5);
  std::string text = WithoutTrailingZeros(WithoutLeadingZeros(withPoint));
  // Whole megahertz are shown and logged as a typed 145 is: 145.0.
  if (text.ends_with('.')) text += '0';
  return ReplyFrequency{digits, text};
}

std::optional<ReplyFrequency> HeldScanFrequency(std::string_view reply) {
  const std::size_t at = FindText(reply, "RF");
  if (at == 0) return std::nullopt;
  // A line cut short or garbled on the way must not put letters or blanks on
  // the frequency line: the nine digits the text is made of must all be there.
  const std::string_view field = reply.substr(at + 1, 9);
  if (field.size() < 9) return std::nullopt;
  for (char c : field) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  const std::string text =
      WithoutLeadingZeros(MiddleText(reply, at + 2, 4) + "." + MiddleText(reply, at + 6, 5));
  return ReplyFrequency{text, text};
}

}  // namespace voxrig
