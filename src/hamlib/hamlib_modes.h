// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <hamlib/rig.h>

#include <array>

namespace voxrig::hamlib_modes {

// The AR8600's mode codes, MD0 to MD8, as Hamlib names the modes; its
// narrow FM (SFM) and wide and narrow AM are Hamlib's FM and AM.
inline constexpr std::array<rmode_t, 9> kModeOfCode{RIG_MODE_WFM, RIG_MODE_FM,  RIG_MODE_AM,
                                                    RIG_MODE_USB, RIG_MODE_LSB, RIG_MODE_CW,
                                                    RIG_MODE_FM,  RIG_MODE_AM,  RIG_MODE_AM};

// The mode code a radio's mode is heard in, or -1 for a mode the receiver has
// no code for (data modes, DSB and the like).
inline int CodeOfMode(rmode_t mode) {
  if (mode == RIG_MODE_FMN) return 1;
  if (mode == RIG_MODE_CWR) return 5;
  if (mode == RIG_MODE_AMN) return 8;
  if (mode == RIG_MODE_AMS || mode == RIG_MODE_SAM) return 2;
  for (std::size_t code = 0; code < 6; ++code) {
    if (kModeOfCode[code] == mode) return static_cast<int>(code);
  }
  return -1;
}

}  // namespace voxrig::hamlib_modes
