// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/panel_rig.h"

#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

// The last `count` lines of a text, for failure messages.
std::string Tail(const std::string& text, size_t count) {
  size_t start = text.size();
  size_t lines = 0;
  while (start > 0) {
    if (text[start - 1] == '\n' && start != text.size() && ++lines == count) break;
    --start;
  }
  return text.substr(start);
}

}  // namespace

void PanelRig::SetUp() {
  std::optional<std::string> display = TestDisplay();
  if (!display) {
    GTEST_SKIP() << "No X display ($DISPLAY is unset): the end-to-end tests run the real panel in "
                    "a window; run them under tools/with-xvfb (make test does).";
  }
  display_ = *display;
  lock_ = std::make_unique<DisplayLock>(display_);
  scratch_ = std::make_unique<ScratchFolder>(
      ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

void PanelRig::TearDown() {
  panel_.reset();
  simulator_.reset();
  if (!scratch_) return;
  // Under the sanitizer build a fault may surface only as a report when the
  // program ends, after the test's own checks.
  for (const char* output : {"panel.out", "simulator.out"}) {
    const std::string text = ReadFile(output);
    for (const char* report :
         {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"}) {
      EXPECT_EQ(text.find(report), std::string::npos) << output << " holds a sanitizer report";
    }
  }
  if (HasFailure()) std::cerr << Diagnosis();
}

void PanelRig::WriteConfiguration(int voice, int debug) {
  WriteFile("VOXRIG.CFG",
            "PORT=COM1\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=" + std::to_string(voice) +
                "\r\nDEBUG=" + std::to_string(debug) + "\r\n");
}

void PanelRig::LinkPrompts() {
  std::filesystem::create_directory_symlink(E2E_PROMPT_DIR, Path("wave"));
}

void PanelRig::WriteFile(const std::string& name, const std::string& bytes) {
  WriteTextFile(Path(name), bytes);
}

std::string PanelRig::ReadFile(const std::string& name) const {
  return ReadTextFile(Path(name));
}

bool PanelRig::Exists(const std::string& name) const {
  return FileExists(Path(name));
}

void PanelRig::StartSimulator(const std::vector<std::string>& options,
                              const std::string& linkFolder) {
  const std::string link = linkFolder.empty() ? "COM1" : linkFolder + "/COM1";
  if (!linkFolder.empty()) std::filesystem::create_directories(Path(linkFolder));
  ChildSpec launch;
  launch.program = SIMULATOR_PROGRAM;
  launch.arguments = {"--dir",        linkFolder.empty() ? scratch_->path() : Path(linkFolder),
                      "--port",       "1",
                      "--wire-log",   Path("wire.log"),
                      "--memory-out", Path("receiver-memory.txt")};
  launch.arguments.insert(launch.arguments.end(), options.begin(), options.end());
  launch.workingFolder = scratch_->path();
  launch.outputFile = Path("simulator.out");
  simulator_ = std::make_unique<ChildProcess>(launch);
  const auto deadline = Clock::now() + 10s;
  while (!Exists(link)) {
    if (!simulator_->Running() || Clock::now() > deadline) {
      throw std::runtime_error("ar8600-sim made no COM1 link; it said:\n" +
                               ReadFile("simulator.out"));
    }
    std::this_thread::sleep_for(20ms);
  }
}

std::string PanelRig::StopSimulatorAndReadMemory() {
  if (simulator_) simulator_->Stop();
  return ReadFile("receiver-memory.txt");
}

std::optional<int> PanelRig::RunVoxrig(const std::vector<std::string>& arguments,
                                       const std::string& outputName) {
  ChildSpec launch;
  launch.program = VOXRIG_PROGRAM;
  launch.arguments = arguments;
  launch.workingFolder = scratch_->path();
  launch.environment = {{"SDL_AUDIODRIVER", "dummy"}, {"VOXRIG_PROMPTS", E2E_PROMPT_DIR}};
  launch.outputFile = Path(outputName);
  ChildProcess voxrig(launch);
  return voxrig.WaitForExit(30s);
}

void PanelRig::StartPanel(const std::vector<std::string>& options) {
  ChildSpec launch;
  launch.program = VOXRIG_PROGRAM;
  launch.arguments = {"--transcript", Path("transcript.txt")};
  launch.arguments.insert(launch.arguments.end(), options.begin(), options.end());
  launch.workingFolder = scratch_->path();
  // No sound card here: SDL's dummy driver still takes each prompt's time.
  launch.environment = {{"SDL_AUDIODRIVER", "dummy"}, {"DISPLAY", display_}};
  launch.outputFile = Path("panel.out");
  panel_ = std::make_unique<ChildProcess>(launch);
}

void PanelRig::StartPanelWithTranscriptInto(int pipeFd) {
  ChildSpec launch;
  launch.program = VOXRIG_PROGRAM;
  launch.arguments = {"--transcript", "-"};
  launch.workingFolder = scratch_->path();
  launch.environment = {{"SDL_AUDIODRIVER", "dummy"}, {"DISPLAY", display_}};
  launch.outputFile = Path("panel.out");
  launch.standardOutputFd = pipeFd;
  panel_ = std::make_unique<ChildProcess>(launch);
}

void PanelRig::ControlSimulator(const std::string& settings) {
  WriteFile("sim-control.txt", settings);
  simulator_->Signal(SIGHUP);
}

void PanelRig::FindPanelWindow() {
  if (window_) return;
  std::string seen;
  window_ = FindWindow(display_, panel_->pid(), "Voxrig Front Panel", 15s, &seen);
  if (!window_) throw std::runtime_error("the panel's window did not appear; " + seen);
}

void PanelRig::FocusPanel() {
  FindPanelWindow();
  if (!FocusWindow(*window_)) throw std::runtime_error("the panel's window took no focus");
}

void PanelRig::Type(const std::vector<std::string>& keys) {
  for (const std::string& key : keys) {
    // Focused again for every key: a window that other tests open on the
    // same display must not catch a key meant for the panel.
    FocusPanel();
    TypeKey(key);
  }
}

void PanelRig::RequestCloseOfPanel() {
  FindPanelWindow();
  if (!RequestClose(display_, *window_)) {
    throw std::runtime_error("could not send the close request");
  }
}

void PanelRig::SignalPanel(int signal) {
  panel_->Signal(signal);
}

std::optional<int> PanelRig::WaitForPanelExit(std::chrono::milliseconds limit) {
  return panel_->WaitForExit(limit);
}

Transcript PanelRig::ReadTranscript() const {
  return Transcript::Read(Path("transcript.txt"));
}

std::vector<std::string> PanelRig::SpokenSince(size_t mark) const {
  std::vector<std::string> spoken;
  for (const std::string& prompt : PromptsAfter(ReadTranscript(), mark)) {
    if (prompt != "shdel") spoken.push_back(prompt);
  }
  return spoken;
}

WireLog PanelRig::ReadWireLog() const {
  return WireLog::Read(Path("wire.log"));
}

bool PanelRig::WaitUntil(const std::string& what, const std::function<bool()>& done,
                         std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > deadline) {
      ADD_FAILURE() << "Timed out after " << limit.count() << " ms waiting for: " << what;
      return false;
    }
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

bool PanelRig::WaitForPrompt(const std::string& name, int count, std::chrono::milliseconds limit) {
  return WaitUntil(
      "the prompt \"" + name + "\" played " + std::to_string(count) + " time(s)",
      [&] { return ReadTranscript().CountPrompt(name) >= count; }, limit);
}

bool PanelRig::WaitForSpokenSince(size_t mark, const std::string& name,
                                  std::chrono::milliseconds limit) {
  return WaitUntil(
      "the prompt \"" + name + "\" after transcript line " + std::to_string(mark),
      [&] {
        std::vector<std::string> spoken = SpokenSince(mark);
        return std::find(spoken.begin(), spoken.end(), name) != spoken.end();
      },
      limit);
}

bool PanelRig::WaitForCommand(const std::string& command, int count,
                              std::chrono::milliseconds limit) {
  return WaitUntil(
      "the command \"" + command + "\" on the wire " + std::to_string(count) + " time(s)",
      [&] { return ReadWireLog().Count(command) >= count; }, limit);
}

bool PanelRig::WaitForIdlePolls(int polls, std::chrono::milliseconds limit) {
  const int before = ReadWireLog().Count("LM");
  return WaitUntil(
      std::to_string(polls) + " more LM polls (the panel idle again)",
      [&] { return ReadWireLog().Count("LM") >= before + polls; }, limit);
}

std::string PanelRig::Diagnosis() const {
  std::ostringstream out;
  out << "--- working folder: " << scratch_->path() << "\n";
  out << "--- transcript (last lines):\n" << Tail(ReadTranscript().Dump(), 60);
  out << "--- wire log (last lines):\n" << Tail(ReadWireLog().Dump(), 60);
  out << "--- panel output:\n" << Tail(ReadFile("panel.out"), 30);
  out << "--- simulator output:\n" << Tail(ReadFile("simulator.out"), 30);
  return out.str();
}

std::string BankFileBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

}  // namespace e2e
