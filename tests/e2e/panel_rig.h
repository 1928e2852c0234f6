// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "e2e/scratch_folder.h"
#include "e2e/transcript.h"
#include "e2e/window_search.h"
#include "e2e/wire_log.h"
#include "e2e/x_display.h"

namespace e2e {

using namespace std::chrono_literals;

inline constexpr const char* kWindowTitle = "*** AR8600 Voxrig Front Panel v4.0b***";

// The real voxrig in a scratch folder of its own, optionally against the real
// ar8600-sim on a pseudo-terminal linked there as COM1, in a real window on
// the test display. Everything the test started is stopped when it ends.
class PanelRig : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // VOXRIG.CFG as the set-up program writes it, port COM1 at 19200 baud.
  void WriteConfiguration(int voice = 1, int debug = 1);
  // The short prompt set of this build as the folder wave/.
  void LinkPrompts();
  void WriteFile(const std::string& name, const std::string& bytes);
  std::string ReadFile(const std::string& name) const;
  bool Exists(const std::string& name) const;

  // Starts ar8600-sim (wire log wire.log, memory dump receiver-memory.txt)
  // with any further options, and waits for its COM1 link (in the subfolder
  // `linkFolder` of the working folder when one is named).
  void StartSimulator(const std::vector<std::string>& options = {},
                      const std::string& linkFolder = "");
  // Runs voxrig to its end with these arguments and the short prompt set
  // named in VOXRIG_PROMPTS; its output goes to `outputName`. The exit code.
  std::optional<int> RunVoxrig(const std::vector<std::string>& arguments,
                               const std::string& outputName);
  // Stops it, which makes it write its memory dump; returns the dump.
  std::string StopSimulatorAndReadMemory();

  // Starts voxrig with its transcript in transcript.txt, and any further
  // options.
  void StartPanel(const std::vector<std::string>& options = {});
  // Starts voxrig with its transcript on standard output, into `pipeFd`.
  void StartPanelWithTranscriptInto(int pipeFd);
  // Gives the running simulator new fault settings through its control file
  // (started with "--control" and Path("sim-control.txt")).
  void ControlSimulator(const std::string& settings);
  // Finds the panel's window (once); throws when it does not appear.
  void FindPanelWindow();
  // Finds the panel's window and gives it the keyboard focus.
  void FocusPanel();
  // Types the keys one by one (X keysym names).
  void Type(const std::vector<std::string>& keys);
  void RequestCloseOfPanel();
  // Sends the running panel a signal, as a session that ends would.
  void SignalPanel(int signal);
  std::optional<int> WaitForPanelExit(std::chrono::milliseconds limit = 15s);

  Transcript ReadTranscript() const;
  // A mark in the transcript, and the prompts spoken after it, without the
  // pause prompt "shdel" (the pacing between commands).
  size_t TranscriptMark() const { return ReadTranscript().lines().size(); }
  std::vector<std::string> SpokenSince(size_t mark) const;
  WireLog ReadWireLog() const;
  // Polls `done` until it holds or `limit` passes; on failure records what
  // the panel and the receiver showed, so the reason can be read.
  bool WaitUntil(const std::string& what, const std::function<bool()>& done,
                 std::chrono::milliseconds limit = 15s);
  bool WaitForPrompt(const std::string& name, int count = 1, std::chrono::milliseconds limit = 15s);
  // Waits until `name` has been spoken after the transcript mark.
  bool WaitForSpokenSince(size_t mark, const std::string& name,
                          std::chrono::milliseconds limit = 15s);
  // Waits until `command` has reached the receiver `count` times.
  bool WaitForCommand(const std::string& command, int count = 1,
                      std::chrono::milliseconds limit = 15s);
  // The panel is idle again: the receiver has seen `polls` more "LM" polls
  // since this was called (keys and their prompts are done by then).
  bool WaitForIdlePolls(int polls = 2, std::chrono::milliseconds limit = 15s);

  std::string Path(const std::string& name) const { return scratch_->File(name); }
  std::string Diagnosis() const;

  std::string display_;
  std::optional<std::string> window_;

 private:
  std::unique_ptr<DisplayLock> lock_;
  std::unique_ptr<ScratchFolder> scratch_;
  std::unique_ptr<ChildProcess> simulator_;
  std::unique_ptr<ChildProcess> panel_;
};

// A bank file's bytes from its lines: every line ends with CR LF.
std::string BankFileBytes(const std::vector<std::string>& lines);

}  // namespace e2e
