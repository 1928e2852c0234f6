// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/display.h"
#include "sdl/font_lookup.h"
#include "sdl/sdl_window.h"

namespace voxrig {

// The font the window uses until the panel chooses one (Font{}): a bold sans
// of 12 points, as the Windows system font is (16 pixels at 96 DPI).
inline constexpr int kDefaultFontPoints = 12;
inline constexpr int kDefaultFontWeight = 700;

// The panel's text output on an SdlWindow: SDL2_ttf glyphs without smoothing,
// each run on an opaque box of the background colour, drawn into the
// window's canvas and shown at once.
class SdlDisplay : public Display {
 public:
  explicit SdlDisplay(SdlWindow& window);
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  void SetTextPosition(int x, int y) override;
  void SetFont(const Font& font) override;
  void SetColour(Colour colour) override;
  void Print(const std::string& text) override;

  int TextX() const { return x_; }
  int TextY() const { return y_; }
  // Pixels per inch used to turn points into pixels: the screen's vertical
  // DPI, or 96 when the screen does not tell (as under Xvfb).
  float VerticalDpi() const;

 private:
  struct FontCloser {
    void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
  };
  using FontKey = std::tuple<std::string, int, int>;

  TTF_Font* CurrentFont();

  SdlWindow& window_;
  bool ttfStarted_ = false;
  FontLookup lookup_;
  std::map<FontKey, std::unique_ptr<TTF_Font, FontCloser>> fonts_;
  Font font_;
  Colour colour_ = Colour::kBlack;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace voxrig
