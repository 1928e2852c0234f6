// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <termkey.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/text_screen.h"
#include "terminal/terminal_display.h"
#include "terminal/termkey_key_codes.h"

namespace voxrig {
namespace {

Font Ariel(int points) {
  return Font{"Ariel", points, 700};
}

// The panel's lines as its drawing code prints them, and the rows a reader gets.
TEST(TextScreen, RowsReadAsThePanelShowsThem) {
  TextScreen screen;
  screen.Put(270, 0, Font{}, "*** Voxrig V 4.0b ***");
  screen.Put(80, 250, Ariel(30), "145.1250          ");
  screen.Put(300, 250, Ariel(30), "12.5         ");
  screen.Put(500, 250, Ariel(30), "CONT");
  screen.Put(750, 250, Ariel(30), "146        ");
  screen.Put(300, 150, Ariel(50), std::string(20, ' '));
  const int end = screen.Put(300, 150, Ariel(50), "145.5");
  screen.Put(end, 150, Ariel(50), "000" + std::string(16, ' '));
  screen.Put(290, 320, Ariel(30), "Search Mode Active");
  screen.Put(270, 320, Ariel(30), "      *** STOPPED ***  ");
  screen.Put(340, 370, Ariel(50), "145/146");
  EXPECT_EQ(screen.Row(0), "*** Voxrig V 4.0b ***");
  EXPECT_EQ(screen.Row(250), "145.1250  12.5  CONT  146");
  EXPECT_EQ(screen.Row(150), "145.5000");
  EXPECT_EQ(screen.Row(320), "*** STOPPED ***");
  EXPECT_EQ(screen.Row(370), "145/146");
  // The lower panel's 70-point blanks wipe the rows their height reaches.
  for (int y : {300, 350, 400, 450})
    screen.Put(y == 300 ? 150 : 300, y, Ariel(70), std::string(40, ' '));
  EXPECT_EQ(screen.Row(320), "");
  EXPECT_EQ(screen.Row(370), "");
  EXPECT_EQ(screen.Row(250), "145.1250  12.5  CONT  146");
  EXPECT_EQ(screen.Rows(), (std::vector<int>{0, 150, 250, 300, 320, 350, 370, 400, 450}));
}

TEST(TerminalDisplay, WritesEachChangedRowOnceAtFlush) {
  std::ostringstream out;
  TerminalDisplay display(out);
  const auto meter = [&](const std::string& text) {
    display.SetFont(Ariel(30));
    display.SetTextPosition(320, 30);
    display.Print(text);
  };
  const auto frequency = [&](const std::string& text) {
    display.SetFont(Ariel(50));
    display.SetTextPosition(300, 150);
    display.Print(std::string(20, ' '));
    display.SetTextPosition(300, 150);
    display.Print(text + "\r\n");
  };
  meter("*****>      ");
  frequency("145.5000");
  display.Flush();
  meter("*****>      ");  // polled again, unchanged
  frequency("145.5000");  // blanked and drawn again as it was
  display.Flush();
  frequency("146.0000");
  meter(">           ");
  display.Flush();
  display.SetFont(Font{});
  display.SetTextPosition(0, 60);
  display.Print("\xE9t\xE9");  // Latin-1 text reaches the terminal as UTF-8
  display.Flush();
  EXPECT_EQ(out.str(), "*****>\n145.5000\n>\n146.0000\n\xC3\xA9t\xC3\xA9\n");
}

// Keys as a terminal sends them, decoded by libtermkey, to the codes the
// window gives for the same keys.
TEST(TermkeyKeyCodes, EachKeyFamilyGetsTheWindowsKeyCode) {
  TermKey* keys = termkey_new_abstract("xterm", 0);
  ASSERT_NE(keys, nullptr);
  const std::vector<std::pair<std::string, int>> table = {
      {"a", 65},
      {"Q", 81},
      {"0", 48},
      {"9", 57},
      {".", 190},
      {" ", 32},
      {"\r", 13},
      {"\x7f", 8},
      {"\x08", 8},  // BackSpace where the terminal sends ^H
      {"\x1b", 27},
      {"\t", 9},
      {"\x1b[A", 38},
      {"\x1b[B", 40},
      {"\x1b[D", 37},
      {"\x1b[C", 39},
      {"\x1b[5~", 33},
      {"\x1b[6~", 34},
      {"\x1b[H", 36},
      {"\x1b[F", 35},
      {"\x1b[2~", 45},
      {"\x1b[3~", 46},
      {"\x1bOP", 112},
      {"\x1bOS", 115},
      {"\x1b[18~", 118},
      {"\x1b[24~", 123},
      {"\x1bOp", 96},
      {"\x1bOM", 13},
      {"\x1b[21~", 0},  // F10 is a system key
      {"\x1b"
       "a",
       0},  // Alt+A
  };
  for (const auto& [bytes, code] : table) {
    termkey_push_bytes(keys, bytes.data(), bytes.size());
    TermKeyKey key;
    ASSERT_EQ(termkey_getkey_force(keys, &key), TERMKEY_RES_KEY) << bytes;
    EXPECT_EQ(VirtualKeyFromTermkey(key), code) << bytes;
    EXPECT_FALSE(IsCloseKey(key)) << bytes;
  }
  for (const char* close : {"\x03", "\x04"}) {
    termkey_push_bytes(keys, close, 1);
    TermKeyKey key;
    ASSERT_EQ(termkey_getkey_force(keys, &key), TERMKEY_RES_KEY);
    EXPECT_TRUE(IsCloseKey(key));
  }
  termkey_destroy(keys);
}

}  // namespace
}  // namespace voxrig
