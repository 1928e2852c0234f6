// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdl/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>

namespace voxrig {

namespace {

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

const FcChar8* AsFc(const std::string& text) {
  return reinterpret_cast<const FcChar8*>(text.c_str());
}

}  // namespace

std::vector<std::string> FamiliesFor(const std::string& face) {
  const std::string name = LowerCase(face);
  if (name.empty()) return {"sans-serif"};
  if (name == "ariel" || name == "aerial" || name == "arial") {
    return {"Arial", "Liberation Sans", "Arimo", "sans-serif"};
  }
  return {face, "sans-serif"};
}

FontLookup::FontLookup() : config_(FcInitLoadConfigAndFonts()) {}

FontLookup::~FontLookup() {
  if (config_) FcConfigDestroy(config_);
}

std::optional<FontFile> FontLookup::Find(const std::string& face, int weight) {
  if (!config_) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return std::nullopt;
  for (const std::string& family : FamiliesFor(face)) {
    FcPatternAddString(pattern, FC_FAMILY, AsFc(family));
  }
  const int openTypeWeight = weight <= 0 ? 400 : std::clamp(weight, 1, 1000);
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(openTypeWeight));
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config_, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config_, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return std::nullopt;

  std::optional<FontFile> found;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
    FontFile font;
    font.path = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) font.index = index;
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family) {
      font.family = reinterpret_cast<const char*>(family);
    }
    int matchedWeight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
    font.bold = matchedWeight >= FC_WEIGHT_BOLD;
    found = font;
  }
  FcPatternDestroy(match);
  return found;
}

}  // namespace voxrig
