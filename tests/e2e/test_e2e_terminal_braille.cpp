// SPDX-License-Identifier: GPL-3.0-or-later
// The panel without a window: in a terminal (tmux, as over SSH) against the
// simulated AR8600, and with a real brltty's braille display beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "e2e/brltty_display.h"
#include "e2e/panel_rig.h"
#include "e2e/tmux_panel.h"

namespace e2e {
namespace {

class TerminalAndBraille : public PanelRig {
 protected:
  // Starts the panel in the terminal, its standard output kept in
  // terminal.txt as well, and any environment settings before it.
  void StartTerminalPanel(const std::string& environment = "") {
    terminal_ = std::make_unique<TmuxPanel>(
        Path(""), "export SDL_AUDIODRIVER=dummy " + environment + "\n" + VOXRIG_PROGRAM +
                      " --terminal --transcript transcript.txt | tee terminal.txt\n"
                      "echo voxrig-exit=${PIPESTATUS[0]}\n");
  }
  // The keys the panel handled, as its debug log records them ("**" and the
  // key code as a character).
  std::string KeysHandled() const {
    std::string keys;
    const std::string log = ReadFile("debug1.dat");
    for (std::size_t at = log.find("**"); at != std::string::npos; at = log.find("**", at + 2)) {
      keys += log.substr(at + 2, log.find_first_of("\r\n", at) - at - 2) + " ";
    }
    return keys;
  }

  std::unique_ptr<TmuxPanel> terminal_;
};

TEST_F(TerminalAndBraille, TerminalKeysOfEveryFamilyWorkThePanelAndEachChangePrintsOneLine) {
  WriteConfiguration();
  LinkPrompts();
  StartSimulator();
  StartTerminalPanel();
  ASSERT_TRUE(terminal_->WaitForLine(">", 15s)) << ::testing::PrintToString(terminal_->Lines());
  ASSERT_TRUE(WaitForIdlePolls());

  terminal_->SendKeys({"1", "4", "5", ".", "5", "Enter"});
  ASSERT_TRUE(WaitForCommand("VA0145.50000"));
  terminal_->SendKeys({"Up", "PageDown", "F2", "Home", "Delete", "Space"});
  ASSERT_TRUE(WaitForCommand("MD2"));
  ASSERT_TRUE(WaitForIdlePolls());
  terminal_->SendKeys({"q"});
  ASSERT_TRUE(terminal_->WaitForLine("voxrig-exit=0", 15s))
      << ::testing::PrintToString(terminal_->Lines());

  // Each key reached the panel as the window gives it: Enter, Up (38 "&"),
  // Page Down (34 '"'), F2 (113 "q"), Home (36 "$"), Delete (46 "."), Space.
  EXPECT_EQ(KeysHandled(), "1 4 5 . 5 C/R & \" q $ . SPC Q ");
  const WireLog wire = ReadWireLog();
  EXPECT_GE(wire.Find("VA0145.50100"), 0) << wire.Dump();
  EXPECT_GE(wire.Find("VA0145.48850"), 0) << wire.Dump();
  EXPECT_GE(wire.Find("EX"), 0) << wire.Dump();

  // Plain lines only, each change once: the meter polled over and over and
  // the frequency blanked and drawn again print nothing more.
  const std::string printed = ReadFile("terminal.txt");
  EXPECT_EQ(printed.find('\x1b'), std::string::npos) << printed;
  EXPECT_EQ(printed,
            "*** Voxrig V 4.0b ***  by the voxrig project\n"
            "145  12.5  CONT  146\n"
            ">\n"
            "145.00000\n"
            "FM\n"
            "145.5000\n"
            "145.5010\n"
            "145.4885\n"
            "AM\n");
}

// An escape sequence longer than the terminal's key decoder holds (a report,
// bytes pasted in) is thrown away and the panel goes on; Ctrl+C and Ctrl+D
// end it as Q does, with "quit", and the receiver gets "EX" last.
TEST_F(TerminalAndBraille, ALongEscapeSequenceIsThrownAwayAndCtrlCOrCtrlDQuitsAsQ) {
  struct Row {
    std::string endKey;
    std::string sequence;
    std::string typedAfter;
  };
  const Row rows[] = {
      {"C-c", "\x1b[" + std::string(300, '1') + "A", "1"},
      {"C-d", "\x1b]" + std::string(300, '0') + "\x07", "2"},
  };
  WriteConfiguration();
  LinkPrompts();
  StartSimulator();
  for (const Row& row : rows) {
    StartTerminalPanel();
    ASSERT_TRUE(terminal_->WaitForLine(">", 15s)) << ::testing::PrintToString(terminal_->Lines());
    ASSERT_TRUE(WaitForIdlePolls());
    terminal_->SendBytes(row.sequence);
    terminal_->SendKeys({row.typedAfter, row.endKey});
    ASSERT_TRUE(terminal_->WaitForLine("voxrig-exit=0", 15s))
        << row.endKey << ::testing::PrintToString(terminal_->Lines());
    // Nothing of the sequence was taken for a key; the key after it was.
    EXPECT_EQ(KeysHandled(), row.typedAfter + " Q ") << row.endKey;
    EXPECT_EQ(ReadTranscript().Prompts().back(), "quit") << row.endKey;
    EXPECT_EQ(ReadWireLog().Commands().back(), "EX") << row.endKey;
  }
}

TEST_F(TerminalAndBraille, TheBrailleDisplayShowsTuneModeAndRefusedWriteAndItsKeysWorkThePanel) {
  BrlttyDisplay braille;
  WriteConfiguration();
  LinkPrompts();
  WriteFile("bank01.dat", BankFileBytes({"bank01", "FM", "12.5", " ", "145.5", " ", "9999"}));
  // A file where the folder for undo copies should be: the copy of a bank
  // before its change cannot be kept, so the change is refused.
  WriteFile("undo", "not a folder\n");
  StartSimulator();
  StartTerminalPanel("BRLAPI_HOST=" + braille.Host() + " BRLAPI_AUTH=none");
  ASSERT_TRUE(braille.WaitForText("145.00000 FM S0 connected", 15s)) << braille.Text();
  ASSERT_TRUE(WaitForIdlePolls());

  braille.Type("145.5\r");
  ASSERT_TRUE(WaitForCommand("VA0145.50000"));
  EXPECT_TRUE(braille.WaitForText("145.5000 FM S0 ok", 5s)) << braille.Text();

  terminal_->SendKeys({"F2"});
  ASSERT_TRUE(WaitForCommand("MD2"));
  EXPECT_TRUE(braille.WaitForText("145.5000 AM S0 ok", 5s)) << braille.Text();

  braille.Type("d01\r");
  EXPECT_TRUE(braille.WaitForText("145.5000 AM S0 write error", 5s)) << braille.Text();
  EXPECT_EQ(ReadFile("bank01.dat"),
            BankFileBytes({"bank01", "FM", "12.5", " ", "145.5", " ", "9999"}));

  braille.Type("q");
  EXPECT_TRUE(terminal_->WaitForLine("voxrig-exit=0", 15s))
      << ::testing::PrintToString(terminal_->Lines());
}

}  // namespace
}  // namespace e2e
