// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/bounded_text.h"
#include "core/text_rules.h"

namespace voxrig {
namespace {

TEST(TextPieces, LeftAndRightClampTheirCounts) {
  struct Case {
    std::string text;
    long long count;
    std::string left;
    std::string right;
  };
  const std::vector<Case> cases = {
      {"abcdef", 2, "ab", "ef"},
      {"abcdef", 0, "", ""},
      {"abcdef", -1, "", ""},
      {"abcdef", 6, "abcdef", "abcdef"},
      {"abcdef", 99, "abcdef", "abcdef"},
      {"", 3, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LeftText(c.text, c.count), c.left) << c.text << " " << c.count;
    EXPECT_EQ(RightText(c.text, c.count), c.right) << c.text << " " << c.count;
  }
}

TEST(TextPieces, MiddleStartsAtPositionOneAndStopsAtTheEnd) {
  struct Case {
    long long start;
    long long count;
    std::string piece;
  };
  const std::vector<Case> cases = {
      {2, 3, "bcd"}, {1, 6, "abcdef"}, {0, 2, "ab"}, {-5, 2, "ab"}, {5, 10, "ef"},
      {6, 1, "f"},   {7, 1, ""},       {3, 0, ""},   {3, -1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MiddleText("abcdef", c.start, c.count), c.piece) << c.start << " " << c.count;
  }
  // Without a count: to the end of the text.
  EXPECT_EQ(MiddleText("PORTCOM2", 5), "COM2");
  EXPECT_EQ(MiddleText("abc", 1), "abc");
  EXPECT_EQ(MiddleText("abc", 0), "abc");
  EXPECT_EQ(MiddleText("abc", 3), "c");
  EXPECT_EQ(MiddleText("abc", 4), "");
  EXPECT_EQ(MiddleText("", 1), "");
}

TEST(TextPieces, FindGivesFirstPositionFromOneOrZero) {
  EXPECT_EQ(FindText("abcabc", "bc"), 2u);
  EXPECT_EQ(FindText("abc", "abc"), 1u);
  EXPECT_EQ(FindText("abc", "c"), 3u);
  EXPECT_EQ(FindText("abc", "x"), 0u);
  EXPECT_EQ(FindText("abc", "abcd"), 0u);
  EXPECT_EQ(FindText("", "a"), 0u);
  EXPECT_EQ(FindText("abc", ""), 0u);
  EXPECT_EQ(FindText("LM%05", "%"), 3u);
}

TEST(NumberFromText, FollowsTheDecimalGrammarAndReadsJunkAsZero) {
  struct Case {
    std::string text;
    double value;
  };
  const std::vector<Case> cases = {
      {"145.5", 145.5},
      {"  \t12", 12},
      {"-3.25", -3.25},
      {"12.5kHz", 12.5},
      {"+5", 0},
      {"1e5", 1},
      {"", 0},
      {"abc", 0},
      {".", 0},
      {"-.5", -0.5},
      {".5", 0.5},
      {"12.", 12},
      {"1.2.3", 1.2},
      {" - 5", 0},
      {"0019200", 19200},
      {"\n5", 0},
      {"145.0125", 145.0125},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(NumberFromText(c.text), c.value) << "'" << c.text << "'";
  }
}

TEST(NumberToInteger, StoringRoundsTiesToEvenWhileIntegerPartTruncates) {
  struct Case {
    double value;
    long long stored;
    long long integerPart;
  };
  const std::vector<Case> cases = {
      {12.5, 12, 12}, {13.5, 14, 13}, {-12.5, -12, -12}, {0.4, 0, 0},
      {2.6, 3, 2},    {-2.6, -3, -2}, {0.5, 0, 0},       {1.5, 2, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RoundToInteger(c.value), c.stored) << c.value;
    EXPECT_EQ(IntegerPart(c.value), c.integerPart) << c.value;
  }
}

TEST(NumberToInteger, HugeTypedNumbersSaturateInsteadOfOverflowing) {
  const double huge = NumberFromText(std::string(254, '9'));
  EXPECT_EQ(RoundToInteger(huge), std::numeric_limits<long long>::max());
  EXPECT_EQ(IntegerPart(huge), std::numeric_limits<long long>::max());
  EXPECT_EQ(IntegerPart(-huge), std::numeric_limits<long long>::min());
  EXPECT_EQ(RoundToInteger(-huge), std::numeric_limits<long long>::min());
}

TEST(TextFromNumber, WholeNumbersAsDigitsOthersWithTwoDecimalsAfterABlank) {
  struct Case {
    double value;
    std::string text;
  };
  const std::vector<Case> cases = {
      {5, " 5"},      {-5, " -5"},       {0, " 0"},
      {-0.0, " 0"},   {12.5, " 12.50"},  {145.0125, " 145.01"},
      {0.5, " 0.50"}, {19200, " 19200"}, {1e20, " 100000000000000000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(TextFromNumber(c.value), c.text) << c.value;
}

TEST(SplitLines, EndsLinesAtCrLfOrCrLfPair) {
  struct Case {
    std::string content;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\n", {"a"}},
      {"", {}},
      {"a\n\r b", {"a", "", " b"}},
      {"\r\r\n", {"", ""}},
      {"last line", {"last line"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLines(c.content), c.lines);
}

TEST(BoundedText, EveryCopyIsCutTo254Characters) {
  const std::string longText(300, 'x');
  BoundedText constructed(longText);
  EXPECT_EQ(constructed.size(), 254u);
  BoundedText assigned;
  assigned = longText;
  EXPECT_EQ(assigned.size(), 254u);
  assigned = "short";
  EXPECT_EQ(assigned, "short");
  BoundedText fromLiteral = longText.c_str();
  EXPECT_EQ(fromLiteral.size(), 254u);

  BoundedText appended = "ab";
  appended += std::string(300, 'y');
  EXPECT_EQ(appended.size(), 254u);
  EXPECT_EQ(appended.str().substr(0, 3), "aby");
  appended += 'z';
  appended += "more";
  EXPECT_EQ(appended.size(), 254u);
  EXPECT_EQ(appended.str().back(), 'y');

  BoundedText grows = "ab";
  grows += 'c';
  grows += "de";
  EXPECT_EQ(grows, "abcde");
}

TEST(BoundedText, JoinsWithLiteralsAndStringsAndComparesExactly) {
  const BoundedText version = "4.0b";
  const std::string blank = " ";
  EXPECT_EQ("V " + version + " ***", "V 4.0b ***");
  EXPECT_EQ(blank + version + blank, " 4.0b ");
  EXPECT_EQ(version + 'x', "4.0bx");
  EXPECT_EQ(version + version, "4.0b4.0b");
  EXPECT_EQ(version + std::string_view("!"), "4.0b!");
  // A joined text is an ordinary string; it is cut only when stored.
  const BoundedText full(std::string(254, 'a'));
  EXPECT_EQ((full + "bc").size(), 256u);
  BoundedText stored = full + "bc";
  EXPECT_EQ(stored.size(), 254u);
  EXPECT_FALSE(BoundedText("FM") == "fm");
  EXPECT_FALSE(BoundedText("CW ") == "CW");
  EXPECT_TRUE(BoundedText("CW ") == BoundedText("CW "));
}

}  // namespace
}  // namespace voxrig
