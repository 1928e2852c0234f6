// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/hamlib_opener.h"
#include "platform/serial_device.h"
#include "platform/sound.h"
#include "platform/stopwatch.h"
#include "platform/window.h"

namespace voxrig {

// The services of the machine the panel runs on. The pointers are not owned:
// the program's main (or a test) builds the real or fake services and lends
// them to the context for its whole life.
struct Platform {
  Window* window = nullptr;
  Display* display = nullptr;
  Sound* sound = nullptr;
  SerialDeviceOpener* serial = nullptr;
  // Radios driven through Hamlib (the configuration's RADIO=hamlib:<model>).
  HamlibOpener* hamlib = nullptr;
  FileSystem* files = nullptr;
  Clock* clock = nullptr;
  // Standard error: where a listener at a terminal (a screen reader, a
  // braille line) reads why the panel could not reach the receiver. Null
  // prints nothing.
  OutputFile* messages = nullptr;
  // Times the pauses that pace the receiver.
  Stopwatch* stopwatch = nullptr;
};

}  // namespace voxrig
