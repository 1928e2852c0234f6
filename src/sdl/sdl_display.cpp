// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdl/sdl_display.h"

#include <algorithm>

namespace voxrig {

namespace {

SDL_Color ColourOf(Colour colour) {
  switch (colour) {
    case Colour::kGreen:
      return SDL_Color{0, 255, 0, 255};
    case Colour::kRed:
      return SDL_Color{255, 0, 0, 255};
    case Colour::kBlue:
      return SDL_Color{0, 0, 255, 255};
    case Colour::kBlack:
      break;
  }
  return SDL_Color{0, 0, 0, 255};
}

constexpr float kFallbackDpi = 96.0f;

// The width a run moves the text position on by: the sum of its characters'
// whole-pixel advances, as Windows counts it. So a run printed in two parts
// ends where it ends printed in one, whatever the last glyph's overhang.
// Panel text is 8-bit Latin-1, so each byte is its own code point.
int AdvanceWidth(TTF_Font* font, const std::string& text) {
  int width = 0;
  for (unsigned char c : text) {
    int advance = 0;
    if (TTF_GlyphMetrics32(font, c, nullptr, nullptr, nullptr, nullptr, &advance) == 0) {
      width += advance;
    }
  }
  return width;
}

}  // namespace

SdlDisplay::SdlDisplay(SdlWindow& window) : window_(window), ttfStarted_(TTF_Init() == 0) {}

SdlDisplay::~SdlDisplay() {
  fonts_.clear();
  if (ttfStarted_) TTF_Quit();
}

void SdlDisplay::SetTextPosition(int x, int y) {
  x_ = x;
  y_ = y;
}

void SdlDisplay::SetFont(const Font& font) {
  font_ = font;
}

void SdlDisplay::SetColour(Colour colour) {
  colour_ = colour;
}

float SdlDisplay::VerticalDpi() const {
  SDL_Window* handle = window_.Handle();
  if (!handle) return kFallbackDpi;
  const int screen = SDL_GetWindowDisplayIndex(handle);
  float diagonal = 0;
  float horizontal = 0;
  float vertical = 0;
  if (screen < 0 || SDL_GetDisplayDPI(screen, &diagonal, &horizontal, &vertical) != 0) {
    return kFallbackDpi;
  }
  // A screen that reports a size no real screen has is not believed.
  if (vertical < 48.0f || vertical > 480.0f) return kFallbackDpi;
  return vertical;
}

// Opens each font once, at its pixel height: points times the vertical DPI
// over 72, the character height the panel's sizes were chosen for.
TTF_Font* SdlDisplay::CurrentFont() {
  if (!ttfStarted_) return nullptr;
  const bool isDefault = font_.face.empty();
  const int points = isDefault || font_.points <= 0 ? kDefaultFontPoints : font_.points;
  const int weight = isDefault ? kDefaultFontWeight : font_.weight;
  const FontKey key{font_.face, points, weight};
  auto cached = fonts_.find(key);
  if (cached != fonts_.end()) return cached->second.get();

  TTF_Font* opened = nullptr;
  if (std::optional<FontFile> file = lookup_.Find(font_.face, weight)) {
    const unsigned dpi = static_cast<unsigned>(VerticalDpi() + 0.5f);
    opened = TTF_OpenFontIndexDPI(file->path.c_str(), points, file->index, dpi, dpi);
    if (opened) {
      // The panel's text is drawn without smoothing; hinting for one-bit
      // glyphs keeps the strokes even at every size.
      TTF_SetFontHinting(opened, TTF_HINTING_MONO);
      // Windows draws a run without kerning: glyphs stand at the sum of the
      // advances before them, where AdvanceWidth counts them.
      TTF_SetFontKerning(opened, 0);
      // Where no bold face of the family is installed, embolden the regular one.
      if (weight >= 600 && !file->bold) TTF_SetFontStyle(opened, TTF_STYLE_BOLD);
    }
  }
  // A font that cannot be opened is remembered too, so it is not looked for
  // again on every print.
  return fonts_.emplace(key, std::unique_ptr<TTF_Font, FontCloser>(opened)).first->second.get();
}

void SdlDisplay::Print(const std::string& text) {
  // SDL_ttf reads C strings: a NUL byte ends the run for measuring too.
  const std::string drawn = TextToDraw(text.substr(0, text.find('\0')));
  if (drawn.empty()) return;
  TTF_Font* font = CurrentFont();
  if (!font) return;
  const int width = AdvanceWidth(font, drawn);
  const int height = TTF_FontHeight(font);

  if (SDL_Surface* canvas = window_.Canvas()) {
    const SDL_Rect box{x_, y_, width, height};
    SDL_FillRect(
        canvas, &box,
        SDL_MapRGB(canvas->format, kPanelBackground.r, kPanelBackground.g, kPanelBackground.b));
    // Solid rendering: one-bit glyphs, no smoothing, on a see-through ground
    // that lets the box show.
    SDL_Rect shown = box;
    if (SDL_Surface* glyphs = TTF_RenderText_Solid(font, drawn.c_str(), ColourOf(colour_))) {
      SDL_Rect at{x_, y_, glyphs->w, glyphs->h};
      SDL_UnionRect(&box, &at, &shown);
      SDL_BlitSurface(glyphs, nullptr, canvas, &at);
      SDL_FreeSurface(glyphs);
    }
    window_.ShowCanvas(shown);
  }
  x_ += width;
}

}  // namespace voxrig
