// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/context.h"

namespace voxrig {

// The channel the panel is on: the receiver's own channel where its memory
// scan rests ("A05"), else the channel of a bank file tuned last ("C03"),
// with its name without the blanks that pad it.
struct ChannelHere {
  std::string number;
  std::string name;
  bool bankFile = false;  // a channel of a bank file, not of the receiver
};
std::optional<ChannelHere> ChannelOfPanel(const Context& ctx);

// "C03 Tower", "A05": the number and the name, if it has one.
std::string ChannelText(const ChannelHere& channel);

// Draws the channel line when it has changed (blank when on no channel), so
// the window and the terminal show where the listener is, as the braille line
// does.
void ShowChannelLine(Context& ctx);

}  // namespace voxrig
