// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/test_program.h"

#include "link/radio_choice.h"

namespace voxrig::fakes {

TestProgram::TestProgram() {
  ctx.platform.window = &window;
  window.time = &time;
  ctx.platform.display = &display;
  ctx.platform.sound = &sound;
  ctx.platform.serial = &serial;
  ctx.platform.files = &files;
  ctx.platform.clock = &clock;
  ctx.platform.messages = &messages;
  ctx.platform.stopwatch = &stopwatch;
  ctx.app.voiceEnabled = true;
}

void TestProgram::AttachReceiver() {
  ctx.link.comPort = 1;
  ctx.link.baudRate = 19200;
  OpenRadio(ctx);
}

void TestProgram::ClearRecords() {
  line.written.clear();
  sound.Clear();
  display.Clear();
}

}  // namespace voxrig::fakes
