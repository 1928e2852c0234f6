// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>

#include "engine.h"
#include "pty_line.h"

// The simulator's one loop: the engine on a real clock and a real line.
namespace ar8600sim {

struct ServeFiles {
  std::FILE* wireLog = nullptr;  // may be null
  std::string memoryOut;         // may be empty
  std::string controlFile;       // may be empty
};

// Serves until SIGTERM or SIGINT arrives on `signalFd` (a signalfd for
// SIGTERM, SIGINT, SIGUSR1 and SIGHUP). SIGUSR1 writes the memory file; SIGHUP
// reads the control file again. Sleeps in ppoll until a byte, a signal or the
// engine's next event is due, so an idle simulator takes no processor time.
void Serve(Engine& engine, PtyLine& line, ComLink& link, int signalFd, const ServeFiles& files);

// Writes the memory file whole (through a temporary file and a rename), so a
// reader never sees half of it. False when it could not be written.
bool WriteMemoryFile(const MemoryBanks& memory, const std::string& path);

}  // namespace ar8600sim
