// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/radio_choice.h"

#include <algorithm>
#include <cctype>

#include "link/receiver_commands.h"
#include "link/serial_port.h"

namespace voxrig {

int HamlibModelOf(const std::string& radioSetting) {
  // The setting is read from the sixth character of "RADIO=...", so it
  // starts with the label's "="; blanks around the value do not count.
  std::string text = radioSetting;
  const std::size_t start = text.find_first_not_of("= \t");
  text.erase(0, start == std::string::npos ? text.size() : start);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  constexpr std::string_view kPrefix = "hamlib:";
  if (text.size() < kPrefix.size()) return 0;
  for (std::size_t i = 0; i < kPrefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != kPrefix[i]) return 0;
  }
  const std::string number = text.substr(kPrefix.size());
  const bool digits =
      !number.empty() && number.size() <= 7 &&
      std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int model = digits ? std::stoi(number) : 0;
  return model > 0 ? model : -1;
}

bool LinkCarries(Context& ctx, const std::string& command) {
  return PortCarries(ctx, ctx.link.comPort, command);
}

bool LinkHasMemoriesFor(Context& ctx, char key) {
  switch (key) {
    case 'W':
      return LinkCarries(ctx, receiver::WriteChannel('A', 0, "145", "FM", ""));
    case 'X':
      return LinkCarries(ctx, receiver::ReadBankChannels('A'));
    case 'Z':
      return LinkCarries(ctx, receiver::ReadBankSize('A'));
    default:
      return LinkCarries(ctx, receiver::StartMemoryScan("A"));
  }
}

bool LinkCanStoreInBank(Context& ctx, char bank) {
  return LinkCarries(ctx, receiver::ClearBank(bank));
}

}  // namespace voxrig
