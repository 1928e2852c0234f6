// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"
#include "fakes/test_program.h"

namespace voxrig::fakes {

// The receiver's answers to the level poll: squelch closed, and a signal.
inline constexpr const char* kQuiet = "LM%000\r\n";
inline constexpr const char* kSignal = "LM 150\r\n";

// A panel as it stands after connecting to a receiver that has answered: the
// known state of the connect sequence, the port open on the fake line, and a
// receiver that answers the level poll with `kQuiet`, the lone resume byte
// with nothing and every other command with its empty line, unless a test
// gives it another answer. Keys and the timer reach it as the window's events
// do, through the key handler and its key queue.
class ConnectedPanel {
 public:
  ConnectedPanel();
  ConnectedPanel(const ConnectedPanel&) = delete;
  ConnectedPanel& operator=(const ConnectedPanel&) = delete;

  // One event of the window, and then the long operation it may have
  // started run to its end, through the wake-ups it asks for.
  void Deliver(const WindowEvent& event);
  // Runs the long operation under way to its end, wake-up by wake-up.
  void FinishOperation();
  // One timer tick of the window.
  void Tick();
  // The window's wake-up for a network client's bytes.
  void NetworkActivity();
  // The window's wake-up for bytes from the receiver.
  void RadioActivity();
  // One key press: key down, the ticks that take the key and its separator
  // from the queue (after a poll cycle on the wire, as the panel would), key up.
  void Press(int key);
  // Keys named by characters: digits, capital letters, "." for the
  // full-stop key, "\r" for Enter and " " for Space.
  void Type(std::string_view keys);
  // One poll cycle from an idle panel, tick by tick until it is back at rest;
  // the receiver answers the level poll with `levelAnswer` from now on.
  void Cycle(const std::string& levelAnswer);
  void Cycle() { Cycle(answers["LM"]); }
  void Cycles(int count, const std::string& levelAnswer);

  std::vector<std::string> Heard() const { return program.Heard(); }
  std::vector<std::string> Commands() const { return program.Commands(); }
  // The prompts heard, without the pacing pause.
  std::vector<std::string> Spoken() const;
  // The commands sent that begin with `prefix`.
  std::vector<std::string> Sent(const std::string& prefix) const;
  // How many times the receiver was sent `command`.
  int Count(const std::string& command) const;
  // Forgets what was sent, heard, drawn and traced so far.
  void Forget();

  // A bank file as the program writes it: header, channels (frequency and a
  // blank tag), terminator.
  void PutBankFile(const std::string& name, const std::string& mode,
                   const std::vector<std::string>& frequencies);
  // Puts a bank straight into memory, selected by hand on its first channel.
  void SelectInMemory(const std::vector<std::string>& frequencies);

  TestProgram program;
  Context& ctx = program.ctx;
  // Prompts heard and commands sent ("TX " + command), in the order they
  // happened.
  std::vector<std::string> trace;
  // Answers of the fake receiver by command (without its CR).
  std::map<std::string, std::string> answers{{"LM", kQuiet}, {"<1E>", ""}};
  // A receiver that answers nothing at all.
  bool silent = false;
};

// The connected panel as a GoogleTest fixture.
class PanelFixture : public ::testing::Test, public ConnectedPanel {};

}  // namespace voxrig::fakes
