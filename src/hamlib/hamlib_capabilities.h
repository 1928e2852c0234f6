// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <hamlib/rig.h>

#include <optional>

#include "platform/receiver.h"

namespace voxrig {

// What a radio of a Hamlib model can do, from the model's own record in
// Hamlib (what `rigctl -m <model> --dump-caps` prints), without opening a
// radio. Nothing for a model Hamlib does not have.
std::optional<ReceiverCapabilities> HamlibModelCapabilities(int model);
ReceiverCapabilities CapabilitiesOfCaps(const rig_caps& caps);

// The panel's mode for a Hamlib mode; a narrow or reversed form (FMN, CWR)
// is heard as its plain mode. Nothing for a mode the panel has no key for.
std::optional<Mode> PanelModeOf(rmode_t mode);
// Hamlib's mode for a mode key; RIG_MODE_NONE for automatic mode, which the
// panel alone has.
rmode_t HamlibModeOf(Mode mode);

// The noise limiter of a radio: its automatic noise limiter where it has one,
// its noise blanker otherwise (both take impulse noise off the signal); 0
// for a radio with neither.
setting_t NoiseLimiterFunction(const rig_caps& caps);
// The attenuation the attenuator key switches in: the radio's first step.
int AttenuatorDecibels(const rig_caps& caps);
// The AOR receivers give their own 0-255 level figure as the raw strength.
bool RawLevelIsMeterFigure(const rig_caps& caps);

}  // namespace voxrig
