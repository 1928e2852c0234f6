// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/display.h"

struct _FcConfig;

namespace voxrig {

// The installed font file that stands for a panel font.
struct FontFile {
  std::string path;
  int index = 0;  // face within a font collection
  std::string family;
  bool bold = false;  // the file's own weight is bold or heavier
};

// The families to ask fontconfig for, best first. The panel's faces "Ariel"
// and "Aerial" mean Arial; where Arial itself is missing, Liberation Sans has
// the same widths, so the panel's lines keep their places; then any sans.
// The window's default font (empty face) is a plain sans.
std::vector<std::string> FamiliesFor(const std::string& face);

// Finds font files with fontconfig: upright, weight as the panel asks (700 is
// bold, 0 or 400 regular).
class FontLookup {
 public:
  FontLookup();
  ~FontLookup();
  FontLookup(const FontLookup&) = delete;
  FontLookup& operator=(const FontLookup&) = delete;

  std::optional<FontFile> Find(const std::string& face, int weight);

 private:
  _FcConfig* config_ = nullptr;
};

}  // namespace voxrig
