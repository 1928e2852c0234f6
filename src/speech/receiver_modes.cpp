// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/receiver_modes.h"

namespace voxrig {

namespace {

template <typename Matches>
const ReceiverMode* FindMode(Matches matches) {
  for (const ReceiverMode& row : kReceiverModes) {
    if (matches(row)) return &row;
  }
  return nullptr;
}

}  // namespace

const ReceiverMode& ModeFacts(Mode mode) {
  const ReceiverMode* row = FindMode([&](const ReceiverMode& r) { return r.mode == mode; });
  return row != nullptr ? *row : kReceiverModes[0];
}

const ReceiverMode* ModeOfPanelText(std::string_view text) {
  return FindMode([&](const ReceiverMode& r) { return r.panelText == text; });
}

const ReceiverMode* ModeOfReceiverCode(int code) {
  return FindMode([&](const ReceiverMode& r) { return r.receiverCode == code; });
}

const ReceiverMode* ModeOfNetworkName(std::string_view name) {
  if (name.empty()) return nullptr;
  return FindMode([&](const ReceiverMode& r) { return r.networkName == name; });
}

}  // namespace voxrig
