// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/context.h"

namespace voxrig {

// The configuration's radio line (RADIO=...) as the link takes it, with the
// label's "=" and any blanks before the value skipped:
// "hamlib:" and Hamlib's model number (as `rigctl -l` lists it) chooses a
// radio driven through Hamlib and gives that number; "hamlib:" with no
// usable number gives -1. Anything else, "AR8600" and whatever older files
// hold there included, is the AR8600 on its own line: 0.
int HamlibModelOf(const std::string& radioSetting);

// What is wrong with the configuration's radio line, in words that name it
// ("hamlib:abc": "abc" is no model number, or Hamlib has no such model);
// nothing when it names the AR8600 or a model Hamlib has. A line no radio can
// be opened by is told at start, never retried as if a receiver were away.
std::optional<std::string> RadioLineFault(Context& ctx);

// The radio the configuration's radio line names (LinkState::hamlibModel)
// and what it can do (LinkState::capabilities): the AR8600's record, or the
// record Hamlib keeps of the model, read without a radio; none for a line
// that names no model Hamlib has.
void ChooseRadio(Context& ctx);

// Opens the radio on the receiver's port (LinkState::comPort, devicePath,
// hamlibModel and baudRate) and makes it the panel's radio, its line reading
// without waiting in the receiver's line format; none when it cannot be
// opened. The radio opened gives its own record of what it can do.
void OpenRadio(Context& ctx);
// Lets the radio's line go, so it can be opened again by its name.
void CloseRadio(Context& ctx);
// Whether the panel has a radio on an open line.
bool RadioOpen(const Context& ctx);

}  // namespace voxrig
