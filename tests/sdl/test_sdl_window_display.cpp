// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <thread>
#include <vector>

#include "sdl/sdl_display.h"
#include "sdl/sdl_window.h"

// These tests need an X server: run them with DISPLAY set (Xvfb will do).

// SDL's video start-up connects to D-Bus for the input method, and libdbus
// keeps a read buffer that it never frees: not the panel's leak. Read by
// LeakSanitizer when the suite is built with the sanitizers.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}

namespace voxrig {
namespace {

const WindowSpec kPanel{"*** AR8600 Voxrig Front Panel v4.0b***", 250, 100, 950, 500};

Uint32 PixelAt(const SDL_Surface* surface, int x, int y) {
  const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
  return reinterpret_cast<const Uint32*>(row)[x];
}

struct Area {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive
};

// Counts the pixels of one colour in an area, and notes the rows they span.
struct ColourCount {
  int pixels = 0;
  int others = 0;  // neither that colour nor the background
  int firstRow = -1;
  int lastRow = -1;
};

ColourCount CountColour(const SDL_Surface* surface, const Area& area, SDL_Color colour) {
  const Uint32 wanted = SDL_MapRGB(surface->format, colour.r, colour.g, colour.b);
  const Uint32 background =
      SDL_MapRGB(surface->format, kPanelBackground.r, kPanelBackground.g, kPanelBackground.b);
  ColourCount count;
  for (int y = area.top; y < area.bottom && y < surface->h; ++y) {
    for (int x = area.left; x < area.right && x < surface->w; ++x) {
      const Uint32 pixel = PixelAt(surface, x, y) & 0xFFFFFF;
      if (pixel == (wanted & 0xFFFFFF)) {
        ++count.pixels;
        if (count.firstRow < 0) count.firstRow = y;
        count.lastRow = y;
      } else if (pixel != (background & 0xFFFFFF)) {
        ++count.others;
      }
    }
  }
  return count;
}

constexpr SDL_Color kBlue{0, 0, 255, 255};

std::vector<WindowEvent> OnlyClose() {
  return {WindowEvent{EventKind::kCloseRequest, 0}};
}
std::vector<WindowEvent> OnlyTick() {
  return {WindowEvent{EventKind::kTimerTick, 0}};
}
std::vector<WindowEvent> OnlyWake() {
  return {WindowEvent{EventKind::kWake, 0}};
}

class SdlWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
    ASSERT_TRUE(window_.Open(kPanel));
  }

  // Pushes the events and returns what the panel gets from them.
  std::vector<WindowEvent> Deliver(std::vector<SDL_Event> events) {
    for (SDL_Event& event : events) SDL_PushEvent(&event);
    return window_.WaitEvents();
  }

  static SDL_Event Key(Uint32 type, SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    return event;
  }
  static SDL_Event Quit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    return event;
  }

  SdlWindow window_;
};

TEST_F(SdlWindowTest, OpensAFixedSizeWindowWithThePanelsTitle) {
  SDL_Window* handle = window_.Handle();
  ASSERT_NE(handle, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(handle), kPanel.title.c_str());
  const Uint32 flags = SDL_GetWindowFlags(handle);
  EXPECT_EQ(flags & SDL_WINDOW_RESIZABLE, 0u);
  EXPECT_NE(flags & SDL_WINDOW_SHOWN, 0u);
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(handle, &width, &height);
  // The client area is the outer size less whatever frame the window manager gives.
  EXPECT_LE(width, 950);
  EXPECT_LE(height, 500);
  EXPECT_GE(width, 900);
  EXPECT_GE(height, 440);
  ASSERT_NE(window_.Canvas(), nullptr);
  EXPECT_EQ(window_.Canvas()->w, width);
  EXPECT_EQ(window_.Canvas()->h, height);
}

TEST_F(SdlWindowTest, KeysArriveWithTheirVirtualKeyCodesAndTheRestIsLeftOut) {
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  SDL_Event repeat = Key(SDL_KEYDOWN, SDLK_5);
  repeat.key.repeat = 1;
  const std::vector<WindowEvent> events =
      Deliver({Key(SDL_KEYDOWN, SDLK_a, KMOD_LSHIFT), text, Key(SDL_KEYUP, SDLK_a),
               Key(SDL_KEYDOWN, SDLK_LSHIFT), Key(SDL_KEYDOWN, SDLK_x, KMOD_LALT),
               Key(SDL_KEYDOWN, SDLK_F10), Key(SDL_KEYDOWN, SDLK_KP_ENTER), repeat});
  const std::vector<WindowEvent> expected = {{EventKind::kKeyDown, 65},
                                             {EventKind::kKeyUp, 65},
                                             {EventKind::kKeyDown, 13},
                                             {EventKind::kKeyDown, 53, true}};
  EXPECT_EQ(events, expected);
}

TEST_F(SdlWindowTest, AQuitOrAWindowCloseIsOneCloseRequest) {
  EXPECT_EQ(Deliver({Quit()}), OnlyClose());

  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = SDL_GetWindowID(window_.Handle());
  EXPECT_EQ(Deliver({close, Quit()}), OnlyClose());
}

TEST_F(SdlWindowTest, TheTimerKeepsAtMostOneTickPending) {
  window_.StartTimer(100);
  // Three periods pass while the panel is busy elsewhere: one tick waits.
  SDL_Delay(350);
  EXPECT_EQ(window_.WaitEvents(), OnlyTick());
  // And the timer goes on.
  EXPECT_EQ(window_.WaitEvents(), OnlyTick());
  window_.StopTimer();
  SDL_Delay(150);
  EXPECT_EQ(Deliver({Quit()}), OnlyClose());
}

TEST_F(SdlWindowTest, AWakeUpComesOnceAtItsMomentAndALaterOneReplacesIt) {
  const auto msSince = [](Uint64 start) { return SDL_GetTicks64() - start; };
  Uint64 start = SDL_GetTicks64();
  window_.WakeAfter(30);
  EXPECT_EQ(window_.WaitEvents(), OnlyWake());
  EXPECT_GE(msSince(start), 30u);

  // The one due at once is already queued when it is replaced: the
  // replacement alone comes, at its own moment.
  start = SDL_GetTicks64();
  window_.WakeAfter(0);
  window_.WakeAfter(150);
  EXPECT_EQ(window_.WaitEvents(), OnlyWake());
  EXPECT_GE(msSince(start), 150u);

  start = SDL_GetTicks64();
  window_.WakeAfter(2000);
  window_.WakeAfter(20);
  EXPECT_EQ(window_.WaitEvents(), OnlyWake());
  EXPECT_LT(msSince(start), 1000u);

  // None is repeated.
  SDL_Delay(100);
  EXPECT_EQ(Deliver({Quit()}), OnlyClose());
}

// The network's and the receiver's threads wake the loop: each kind comes
// once however often it was posted before the loop took it.
TEST_F(SdlWindowTest, PostsFromOtherThreadsComeOnceEach) {
  std::thread poster([this] {
    window_.PostRadioActivity();
    window_.PostRadioActivity();
    window_.PostNetworkActivity();
  });
  poster.join();
  const std::vector<WindowEvent> both = {{EventKind::kRadioActivity, 0},
                                         {EventKind::kNetworkActivity, 0}};
  EXPECT_EQ(window_.WaitEvents(), both);
  window_.PostRadioActivity();
  EXPECT_EQ(window_.WaitEvents(), (std::vector<WindowEvent>{{EventKind::kRadioActivity, 0}}));
}

TEST_F(SdlWindowTest, AClosedWindowAsksToCloseInsteadOfWaitingForEver) {
  window_.Close();
  EXPECT_EQ(window_.Handle(), nullptr);
  EXPECT_EQ(window_.WaitEvents(), OnlyClose());
}

class SdlDisplayTest : public SdlWindowTest {
 protected:
  void SetUp() override {
    SdlWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    display_ = std::make_unique<SdlDisplay>(window_);
  }
  void TearDown() override { display_.reset(); }

  std::unique_ptr<SdlDisplay> display_;
};

TEST_F(SdlDisplayTest, PrintedTextIsBlueWithoutSmoothingAndMovesThePositionOn) {
  display_->SetFont(Font{"Ariel", 50, 700});
  display_->SetColour(Colour::kBlue);
  display_->SetTextPosition(300, 150);
  display_->Print("8888");
  const int end = display_->TextX();
  EXPECT_GT(end, 300 + 4 * 20);
  EXPECT_LT(end, 300 + 4 * 45);
  EXPECT_EQ(display_->TextY(), 150);

  const SDL_Surface* canvas = window_.Canvas();
  const ColourCount drawn = CountColour(canvas, {300, 150, end, 150 + 90}, kBlue);
  EXPECT_GT(drawn.pixels, 400);
  EXPECT_EQ(drawn.others, 0) << "glyphs must be drawn without smoothing";
  // Nothing beyond the run, above it or below it.
  EXPECT_EQ(CountColour(canvas, {end, 140, end + 200, 240}, kBlue).pixels, 0);
  EXPECT_EQ(CountColour(canvas, {300, 100, end, 150}, kBlue).pixels, 0);
  // 50 points are 50 x DPI / 72 pixels of character height; a digit stands
  // about seven tenths of that.
  const double em = 50.0 * display_->VerticalDpi() / 72.0;
  const int digitHeight = drawn.lastRow - drawn.firstRow + 1;
  EXPECT_GT(digitHeight, 0.6 * em);
  EXPECT_LT(digitHeight, 0.8 * em);
}

TEST_F(SdlDisplayTest, ASecondPrintContinuesWhereTheFirstEnded) {
  display_->SetFont(Font{"Ariel", 30, 700});
  display_->SetTextPosition(80, 250);
  display_->Print("1234");
  const int afterFirst = display_->TextX();
  display_->Print("5678");
  const int afterSecond = display_->TextX();

  display_->SetTextPosition(80, 320);
  display_->Print("12345678");
  EXPECT_EQ(display_->TextX(), afterSecond);
  EXPECT_GT(afterFirst, 80);
  EXPECT_GT(afterSecond, afterFirst);
}

TEST_F(SdlDisplayTest, AFinalLineEndIsNotDrawnAndEmptyTextDrawsNothing) {
  display_->SetFont(Font{"Ariel", 30, 700});
  display_->SetTextPosition(0, 100);
  display_->Print("FM");
  const int plainWidth = display_->TextX();

  display_->SetTextPosition(0, 200);
  display_->Print("FM\r\n");
  EXPECT_EQ(display_->TextX(), plainWidth);
  EXPECT_EQ(display_->TextY(), 200);

  display_->Print("");
  display_->Print("\n");
  EXPECT_EQ(display_->TextX(), plainWidth);

  // A NUL byte ends the run, for drawing and for moving on alike.
  display_->SetTextPosition(0, 300);
  display_->Print(std::string("FM\0XY", 5));
  EXPECT_EQ(display_->TextX(), plainWidth);

  EXPECT_EQ(TextToDraw("FM      \r\n"), "FM      ");
  EXPECT_EQ(TextToDraw("FM\n"), "FM");
  EXPECT_EQ(TextToDraw("FM\r"), "FM\r");
  EXPECT_EQ(TextToDraw("\r\n"), "");
}

TEST_F(SdlDisplayTest, TrailingBlanksEraseALongerEarlierText) {
  display_->SetFont(Font{"Ariel", 30, 700});
  display_->SetColour(Colour::kBlue);
  display_->SetTextPosition(270, 320);
  display_->Print("Search Mode Active");
  const int longEnd = display_->TextX();
  ASSERT_GT(CountColour(window_.Canvas(), {270, 320, longEnd, 380}, kBlue).pixels, 0);

  display_->SetColour(Colour::kRed);
  display_->SetTextPosition(270, 320);
  display_->Print(std::string(40, ' '));
  EXPECT_EQ(CountColour(window_.Canvas(), {270, 320, longEnd, 380}, kBlue).pixels, 0);
}

TEST_F(SdlDisplayTest, AnUncoveredWindowShowsThePanelAsLastDrawn) {
  display_->SetFont(Font{"Ariel", 50, 700});
  display_->SetColour(Colour::kBlue);
  display_->SetTextPosition(300, 150);
  display_->Print("145.5000");
  const int end = display_->TextX();

  SDL_Surface* screen = SDL_GetWindowSurface(window_.Handle());
  ASSERT_NE(screen, nullptr);
  EXPECT_GT(CountColour(screen, {300, 150, end, 240}, kBlue).pixels, 0);
  // Something else draws over the window, then it is uncovered.
  SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
  SDL_Event exposed{};
  exposed.type = SDL_WINDOWEVENT;
  exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
  exposed.window.windowID = SDL_GetWindowID(window_.Handle());
  EXPECT_EQ(Deliver({exposed, Quit()}), OnlyClose());

  screen = SDL_GetWindowSurface(window_.Handle());
  EXPECT_GT(CountColour(screen, {300, 150, end, 240}, kBlue).pixels, 0);
  EXPECT_EQ(CountColour(screen, {0, 0, 950, 140}, SDL_Color{0, 0, 0, 255}).pixels, 0);
}

TEST_F(SdlDisplayTest, TheDefaultFontIsUsedUntilAFontIsChosen) {
  display_->SetTextPosition(270, 0);
  display_->Print("*** Voxrig V 4.0b ***");
  const int width = display_->TextX() - 270;
  // Some 16-pixel sans: about half as wide as high per character.
  EXPECT_GT(width, 21 * 5);
  EXPECT_LT(width, 21 * 14);
  const ColourCount drawn =
      CountColour(window_.Canvas(), {270, 0, 270 + width, 30}, SDL_Color{0, 0, 0, 255});
  EXPECT_GT(drawn.pixels, 50);
  EXPECT_EQ(drawn.others, 0);
}

}  // namespace
}  // namespace voxrig
