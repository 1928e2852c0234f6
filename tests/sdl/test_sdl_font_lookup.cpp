// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sdl/font_lookup.h"

namespace voxrig {
namespace {

TEST(FontLookup, ThePanelsMisspelledFacesAskForArialAndItsMetricTwin) {
  const std::vector<std::string> arial = {"Arial", "Liberation Sans", "Arimo", "sans-serif"};
  EXPECT_EQ(FamiliesFor("Ariel"), arial);
  EXPECT_EQ(FamiliesFor("Aerial"), arial);
  EXPECT_EQ(FamiliesFor("ARIEL"), arial);
  EXPECT_EQ(FamiliesFor("Arial"), arial);
  EXPECT_EQ(FamiliesFor(""), std::vector<std::string>{"sans-serif"});
  EXPECT_EQ(FamiliesFor("Courier New"), (std::vector<std::string>{"Courier New", "sans-serif"}));
}

TEST(FontLookup, ArielBoldIsArialOrLiberationSansBoldWhereInstalled) {
  FontLookup lookup;
  const std::optional<FontFile> liberation = lookup.Find("Liberation Sans", 700);
  if (!liberation || liberation->family != "Liberation Sans") {
    GTEST_SKIP() << "fonts-liberation is not installed";
  }
  for (const std::string face : {"Ariel", "Aerial"}) {
    const std::optional<FontFile> found = lookup.Find(face, 700);
    ASSERT_TRUE(found.has_value()) << face;
    EXPECT_TRUE(found->family == "Arial" || found->family == "Liberation Sans") << found->family;
    EXPECT_TRUE(found->bold) << face;
    EXPECT_TRUE(std::filesystem::is_regular_file(found->path)) << found->path;
  }
}

TEST(FontLookup, TheDefaultFaceAndUnknownFacesFindSomeInstalledFont) {
  FontLookup lookup;
  for (const std::string face : {"", "No Such Face Anywhere"}) {
    const std::optional<FontFile> found = lookup.Find(face, 400);
    ASSERT_TRUE(found.has_value()) << face;
    EXPECT_TRUE(std::filesystem::is_regular_file(found->path)) << found->path;
  }
}

}  // namespace
}  // namespace voxrig
