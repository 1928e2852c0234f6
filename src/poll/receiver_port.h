// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// Takes the receiver's port and speed from the configuration and opens it.
void OpenReceiverPort(Context& ctx);

// Opens the receiver's port again by its name (a replugged receiver's adapter
// may be a new device behind the same name), with the panel's read and line
// settings.
void ReopenReceiverPort(Context& ctx);

}  // namespace voxrig
