// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "core/context.h"
#include "fakes/fake_display.h"
#include "fakes/fake_serial.h"
#include "fakes/fake_sound.h"
#include "fakes/fake_time.h"
#include "fakes/memory_file_system.h"
#include "fakes/scripted_window.h"

namespace voxrig::fakes {

// What the program printed for the terminal (standard error).
struct RecordedMessages : OutputFile {
  bool Write(const std::string& bytes) override {
    text += bytes;
    return true;
  }
  std::string text;
};

// A whole panel built around fakes: a context whose platform is a scripted
// window, a recording display and sound, a fake serial line, an in-memory
// working folder and a fixed clock.
struct TestProgram {
  TestProgram();
  TestProgram(const TestProgram&) = delete;
  TestProgram& operator=(const TestProgram&) = delete;

  // Opens port 1 on the fake line, as a connect would, without the connect's
  // commands and prompts (for tests of one procedure).
  void AttachReceiver();
  // What the receiver was sent, split at CR.
  std::vector<std::string> Commands() const { return line.Commands(); }
  std::vector<std::string> Heard() const { return sound.heard(); }
  // Forgets what was sent, heard and drawn so far.
  void ClearRecords();

  FakeTime time;
  FakeStopwatch stopwatch{time};
  FakeDisplay display;
  FakeSound sound{time};
  FakeLine line;
  FakeSerialOpener serial{line};
  MemoryFileSystem files;
  ScriptedWindow window;
  FixedClock clock;
  RecordedMessages messages;
  Context ctx;

  // Runs a long operation to its end at once, its waits passing on the fake
  // time: for tests of one procedure, without the loop.
  template <typename T>
  T Finish(Steps<T> steps) {
    return RunToEnd(std::move(steps), [this](int ms) { time.Advance(ms); });
  }
};

}  // namespace voxrig::fakes
