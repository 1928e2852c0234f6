// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text and number rules that every part of the panel shares. They mirror
// the way the receiver's values travel as decimal text: positions count from
// 1, pieces clamp instead of failing, and a text that is not a number reads as
// 0 rather than stopping the listener's work.
namespace voxrig {

// The first `count` characters; a negative count gives nothing, a count past
// the end stops at the end.
std::string LeftText(std::string_view text, long long count);

// The last `count` characters, with the same clamping as LeftText.
std::string RightText(std::string_view text, long long count);

// `count` characters from position `start` (counted from 1). A start at or
// before position 0 starts at position 1; a count past the end stops there.
std::string MiddleText(std::string_view text, long long start, long long count);

// Everything from position `start` (counted from 1) to the end.
std::string MiddleText(std::string_view text, long long start);

// Position (from 1) of the first occurrence of `needle`; 0 when it does not
// occur or either text is empty.
std::size_t FindText(std::string_view haystack, std::string_view needle);

// Number from text: leading blanks and tabs, an optional "-", digits, then
// optionally "." and digits; any other character ends the number. An empty or
// non-numeric text reads as 0.
double NumberFromText(std::string_view text);

// Storing a number into an integer: nearest, ties to even (12.5 gives 12).
long long RoundToInteger(double value);

// Taking the integer part: toward zero.
long long IntegerPart(double value);

// Text from a number: a leading blank, then whole numbers as digits and any
// other number with exactly two decimals.
std::string TextFromNumber(double value);

// Only the digits 0 to 9, as a bank file number is typed: no file name with a
// point or a stray character is ever built from it. An empty text qualifies.
bool HoldsOnlyDigits(const std::string& text);

// Splits file content into lines ending at CR, LF or CR LF (the pair counts
// as one end). A last line without an end is kept whole.
std::vector<std::string> SplitLines(std::string_view content);

}  // namespace voxrig
