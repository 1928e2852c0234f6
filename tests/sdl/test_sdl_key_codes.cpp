// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "sdl/sdl_key_codes.h"

namespace voxrig {
namespace {

TEST(SdlKeyCodes, EveryPanelKeyGetsItsVirtualKeyCode) {
  const std::vector<std::pair<SDL_Keycode, int>> table = {
      {SDLK_a, 65},        {SDLK_q, 81},         {SDLK_z, 90},          {SDLK_0, 48},
      {SDLK_5, 53},        {SDLK_9, 57},         {SDLK_RETURN, 13},     {SDLK_KP_ENTER, 13},
      {SDLK_SPACE, 32},    {SDLK_PAGEUP, 33},    {SDLK_PAGEDOWN, 34},   {SDLK_END, 35},
      {SDLK_HOME, 36},     {SDLK_LEFT, 37},      {SDLK_UP, 38},         {SDLK_RIGHT, 39},
      {SDLK_DOWN, 40},     {SDLK_INSERT, 45},    {SDLK_DELETE, 46},     {SDLK_KP_0, 96},
      {SDLK_KP_1, 97},     {SDLK_KP_5, 101},     {SDLK_KP_9, 105},      {SDLK_KP_MULTIPLY, 106},
      {SDLK_KP_PLUS, 107}, {SDLK_KP_MINUS, 109}, {SDLK_KP_PERIOD, 110}, {SDLK_KP_DIVIDE, 111},
      {SDLK_F1, 112},      {SDLK_F7, 118},       {SDLK_F12, 123},       {SDLK_PERIOD, 190},
      {SDLK_COMMA, 188},   {SDLK_MINUS, 189},    {SDLK_ESCAPE, 27},     {SDLK_TAB, 9},
      {SDLK_BACKSPACE, 8},
  };
  for (const auto& [key, code] : table) {
    EXPECT_EQ(VirtualKeyFromSdl(key), code) << SDL_GetKeyName(key);
  }
}

// The keypad types digits and the point with NumLock on, and is the keys
// printed on it with NumLock off; its decimal key is a point either way
// (Delete types the point), also where the layout prints a comma on it.
TEST(SdlKeyCodes, TheKeypadFollowsNumLock) {
  const std::vector<std::pair<SDL_Keycode, std::pair<int, int>>> table = {
      {SDLK_KP_0, {96, 45}},        {SDLK_KP_1, {97, 35}},       {SDLK_KP_2, {98, 40}},
      {SDLK_KP_3, {99, 34}},        {SDLK_KP_4, {100, 37}},      {SDLK_KP_5, {101, 0}},
      {SDLK_KP_6, {102, 39}},       {SDLK_KP_7, {103, 36}},      {SDLK_KP_8, {104, 38}},
      {SDLK_KP_9, {105, 33}},       {SDLK_KP_PERIOD, {110, 46}}, {SDLK_KP_COMMA, {110, 46}},
      {SDLK_KP_DECIMAL, {110, 46}}, {SDLK_KP_ENTER, {13, 13}},
  };
  for (const auto& [key, codes] : table) {
    EXPECT_EQ(VirtualKeyFromSdl(key, KMOD_NUM), codes.first) << SDL_GetKeyName(key);
    EXPECT_EQ(VirtualKeyFromSdl(key, KMOD_NONE), codes.second) << SDL_GetKeyName(key);
  }
}

TEST(SdlKeyCodes, KeysThePanelHasNoCodeForGiveNothing) {
  const std::vector<SDL_Keycode> keys = {
      SDLK_LSHIFT, SDLK_RCTRL,     SDLK_LALT, SDLK_CAPSLOCK, SDLK_NUMLOCKCLEAR,
      SDLK_SLASH,  SDLK_SEMICOLON, SDLK_F13,  SDLK_UNKNOWN,  'A'};
  for (SDL_Keycode key : keys) {
    EXPECT_EQ(VirtualKeyFromSdl(key), 0) << key;
  }
}

TEST(SdlKeyCodes, AltCombinationsAndF10AreSystemKeys) {
  EXPECT_FALSE(IsSystemKey(SDLK_a, KMOD_NONE));
  EXPECT_FALSE(IsSystemKey(SDLK_a, KMOD_LSHIFT));
  EXPECT_FALSE(IsSystemKey(SDLK_F1, KMOD_NUM));
  EXPECT_TRUE(IsSystemKey(SDLK_a, KMOD_LALT));
  EXPECT_TRUE(IsSystemKey(SDLK_F4, KMOD_RALT));
  EXPECT_TRUE(IsSystemKey(SDLK_F10, KMOD_NONE));
  // AltGr arrives as Ctrl+Alt and types ordinary characters.
  EXPECT_FALSE(IsSystemKey(SDLK_q, KMOD_RALT | KMOD_LCTRL));
}

}  // namespace
}  // namespace voxrig
