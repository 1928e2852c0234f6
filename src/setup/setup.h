// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/context.h"
#include "setup/port_search.h"

namespace voxrig {

inline constexpr int kSetupDone = 0;
// No receiver answered on any device tried: nothing was written.
inline constexpr int kSetupNoReceiver = 1;
// The working folder refused a file or a link: the old VOXRIG.CFG stands.
inline constexpr int kSetupCannotWrite = 3;
// The receiver is set up, but no prompt set could be made reachable.
inline constexpr int kSetupNoPrompts = 4;

struct SetupOptions {
  // The working folder as a path, for the links made there.
  std::string workingFolder = ".";
  // Only this device, when given.
  std::optional<std::string> device;
  // A prompt set found for the folder (its own "wave" or one elsewhere).
  std::optional<std::string> promptSet;
  // The panel finds that set by itself (an installed one): nothing to link.
  bool promptSetFoundByPanel = false;
  // A radio driven through Hamlib, by its model number, instead of the
  // AR8600; 0 for the AR8600.
  int hamlibModel = 0;
};

// The first-run set-up, in the working folder: finds the receiver (or the
// radio of options.hamlibModel, whose line RADIO=hamlib:<model> it writes),
// then
// writes VOXRIG.CFG with the speed it answered at (an older file is kept as
// VOXRIG.CFG.bak, and its radio, voice and debug lines are kept), links the
// device there as COM1 (by its /dev/serial/by-id name when it has one) and
// makes the prompt set reachable as "wave". Every step is printed and spoken.
// Returns the exit status.
int RunSetup(Context& ctx, SetupTools& tools, const SetupOptions& options);

// The five lines of VOXRIG.CFG for a receiver on COM1 at `baudRate`, keeping
// lines 3 to 5 of `previous` when it has them; `radioLine` replaces line 3
// when given.
std::string SetupConfiguration(int baudRate, const std::optional<std::string>& previous,
                               const std::optional<std::string>& radioLine = std::nullopt);

}  // namespace voxrig
