// SPDX-License-Identifier: GPL-3.0-or-later
// The panel without a window: in a terminal (tmux, as over SSH) against the
// simulated AR8600, and with a real brltty's braille display beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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
  ASSERT_TRUE(terminal_->WaitForLine("S 0", 15s)) << ::testing::PrintToString(terminal_->Lines());
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
  // the frequency blanked and drawn again print nothing more. What each key
  // says is a line of its own, after the rows drawn before it was said.
  const std::string printed = ReadFile("terminal.txt");
  EXPECT_EQ(printed.find('\x1b'), std::string::npos) << printed;
  EXPECT_EQ(printed,
            "*** Voxrig V 4.0b ***  by the voxrig project\n"
            "voxrig 4.0\n"
            "145  12.5  CONT  146\n"
            "connected\n"
            "S 0\n"
            "145.0000\n"
            "145 FM attenuator off\n"
            "FM\n"
            "1\n14\n145\n145.\n145.5\n"  // each key printed once, as the typing so far
            "145.5000\n"
            "OK\n"
            "145.5010\n"
            "145.501\n"  // the panel's row, then the arrow's readout
            "145.4885\n"
            "145.4885\n"
            "AM\n"
            "AM\n"
            "point\n"
            ".\n"
            "quit\n");
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
    ASSERT_TRUE(terminal_->WaitForLine("S 0", 15s)) << ::testing::PrintToString(terminal_->Lines());
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

// Over SSH there is no sound device: each outcome is printed as the words the
// listener would have heard, one line what a key says, in order with the
// panel's lines, so a refusal reads apart from a success.
TEST_F(TerminalAndBraille, WithoutSoundEachOutcomeIsPrintedAsWordsInOrderWithThePanelLines) {
  WriteConfiguration();
  LinkPrompts();
  WriteFile("bank01.dat",
            BankFileBytes({"bank01", "FM", "12.5", " ", "145.1", "Tower", "145.5", " ", "9999"}));
  StartSimulator();
  StartTerminalPanel("SDL_AUDIODRIVER=none");
  ASSERT_TRUE(terminal_->WaitForLine("connected", 15s))
      << ::testing::PrintToString(terminal_->Lines());
  ASSERT_TRUE(WaitForIdlePolls());
  const std::string started = ReadFile("terminal.txt");
  const struct {
    std::vector<std::string> keys;
    std::string printed;
  } steps[] = {
      {{"f"}, "145.0 FM\n"},
      {{"m"}, "S 0\n"},
      {{"1", "4", "5", ".", "5"}, "1\n14\n145\n145.\n145.5\n"},
      {{"Enter"}, "145.5000\nOK\n"},
      {{"a"}, "attenuator on\n"},
      {{"b", "0", "9", "Enter"}, "bank\nB\nB 0\nB 09\nbank file not found\n"},
      // The channel's line is written as soon as it is tuned; the words of
      // the selection, which goes on step by step, once it has ended.
      {{"b", "0", "1", "Enter"},
       "bank\nB\nB 0\nB 01\n145.1000\nC01 Tower\nFM selected channel 1 Tower\n"},
      {{"q"}, "quit\n"},
  };
  std::string expected = started;
  for (const auto& step : steps) {
    terminal_->SendKeys(step.keys);
    expected += step.printed;
    if (step.keys != std::vector<std::string>{"q"}) WaitForIdlePolls();
  }
  ASSERT_TRUE(terminal_->WaitForLine("voxrig-exit=0", 15s))
      << ::testing::PrintToString(terminal_->Lines());
  EXPECT_EQ(ReadFile("terminal.txt"), expected);
  EXPECT_NE(started.find("voxrig 4.0\nvoxrig: no sound device; the panel runs silent\n"),
            std::string::npos)
      << started;
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
  ASSERT_TRUE(braille.WaitForText("145.0000 FM S0 connected", 15s)) << braille.Text();
  ASSERT_TRUE(WaitForIdlePolls());

  braille.Type("145.5\r");
  ASSERT_TRUE(WaitForCommand("VA0145.50000"));
  EXPECT_TRUE(braille.WaitForText("145.5000 FM S0 ok", 5s)) << braille.Text();

  // F2 reports no outcome: the "ok" of the key before is gone.
  terminal_->SendKeys({"F2"});
  ASSERT_TRUE(WaitForCommand("MD2"));
  EXPECT_TRUE(braille.WaitForText("145.5000 AM S0", 5s)) << braille.Text();

  braille.Type("d01\r");
  EXPECT_TRUE(braille.WaitForText("145.5000 AM S0 write error", 5s)) << braille.Text();
  EXPECT_EQ(ReadFile("bank01.dat"),
            BankFileBytes({"bank01", "FM", "12.5", " ", "145.5", " ", "9999"}));

  braille.Type("q");
  EXPECT_TRUE(terminal_->WaitForLine("voxrig-exit=0", 15s))
      << ::testing::PrintToString(terminal_->Lines());
}

// The line shows what is typed while it is typed, and the outcome of the last
// key only: a key clears the one before, so an "ok" again is seen again. A
// bank scan resting on its first channel shows channel 1.
TEST_F(TerminalAndBraille, TheBrailleLineShowsTheTypingTheLastOutcomeAndTheChannelTheScanRestsOn) {
  BrlttyDisplay braille;
  WriteConfiguration();
  LinkPrompts();
  WriteFile("bank01.dat", BankFileBytes({"bank01", "FM", "12.5", " ", "145.1", "Tower", "145.5",
                                         " ", "145.85", " ", "9999"}));
  WriteFile("signals.txt", "145.1 200\n");
  StartSimulator({"--signals", Path("signals.txt")});
  StartTerminalPanel("BRLAPI_HOST=" + braille.Host() + " BRLAPI_AUTH=none");
  ASSERT_TRUE(braille.WaitForText("145.0000 FM S0 connected", 15s)) << braille.Text();
  ASSERT_TRUE(WaitForIdlePolls());
  const struct {
    std::string typed;
    std::string shown;
  } steps[] = {
      {"145.5\r", "145.5000 FM S0 ok"},
      {"14", "145.5000 FM S0 14"},
      {"5.5\r", "145.5000 FM S0 ok"},
      {"w123", "145.5000 FM S0 invalid"},
      {"b0", "145.5000 FM S0 B 0"},
      {"1\r", "145.1000 FM S9+ C01 Tower selected"},
      {"r", "145.1000 FM S9+ STOP B01 C01 Tower"},
  };
  for (const auto& step : steps) {
    braille.Type(step.typed);
    EXPECT_TRUE(braille.WaitForText(step.shown, 5s)) << step.typed << ": " << braille.Text();
  }
  braille.Type("q");
  EXPECT_TRUE(terminal_->WaitForLine("voxrig-exit=0", 15s))
      << ::testing::PrintToString(terminal_->Lines());
}

// The guide's ten-minute session in a terminal without sound: every step's
// prompts, and the same as words on the terminal (tools/check-session).
TEST(GuideSession, InATerminalWithoutSoundEveryStepIsPrintedAsWords) {
#ifdef VOXRIG_SANITIZED
  GTEST_SKIP() << "the whole session is left to the plain build";
#endif
  const std::string command = std::string(VOXRIG_SOURCE_DIR) +
                              "/tools/check-session --terminal --prompts " + E2E_PROMPT_DIR + " " +
                              E2E_BINARY_DIR + " 2>&1";
  FILE* run = popen(command.c_str(), "r");
  ASSERT_NE(run, nullptr);
  std::string output;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, run) != nullptr) output += buffer;
  EXPECT_EQ(pclose(run), 0) << output;
  EXPECT_NE(output.find("All steps of the session passed."), std::string::npos) << output;
}

}  // namespace
}  // namespace e2e
