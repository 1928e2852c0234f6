// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/receiver_modes.h"

#include <algorithm>
#include <cctype>

namespace voxrig {

namespace {

bool SameLettersAnyCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

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

const ReceiverMode* ModeHeardForNetworkName(std::string_view name) {
  if (const ReceiverMode* mode = ModeOfNetworkName(name)) return mode;
  if (name.empty()) return nullptr;
  return FindMode([&](const ReceiverMode& r) { return r.networkAlias == name; });
}

const ReceiverMode* ModeOfCsvName(std::string_view name) {
  if (name.empty()) return nullptr;
  return FindMode([&](const ReceiverMode& r) {
    return SameLettersAnyCase(r.csvName, name) || SameLettersAnyCase(r.csvAlias, name);
  });
}

}  // namespace voxrig
