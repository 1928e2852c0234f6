// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/channel_line.h"

#include "banks/bank_channels.h"
#include "banks/bank_layout.h"
#include "panel/screen_lines.h"

namespace voxrig {

namespace {

std::string Trimmed(const std::string& name) {
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return name.substr(first, name.find_last_not_of(' ') + 1 - first);
}

std::string TwoDigits(int number) {
  return (number < 10 ? "0" : "") + std::to_string(number);
}

}  // namespace

std::optional<ChannelHere> ChannelOfPanel(const Context& ctx) {
  if (ctx.poll.scanState == ReceiverScan::kStopped && !ctx.memory.heldChannel.empty()) {
    return ChannelHere{ctx.memory.heldChannel.str(), Trimmed(ctx.memory.heldChannelName.str()), false};
  }
  const std::optional<int> slot = CurrentBankChannelSlot(ctx);
  if (!slot) return std::nullopt;
  return ChannelHere{"C" + TwoDigits((*slot - banks::kFirstChannelSlot) / 2 + 1),
                     Trimmed(ctx.banks.bankSlots[static_cast<std::size_t>(*slot + 1)].str()), true};
}

std::string ChannelText(const ChannelHere& channel) {
  return channel.name.empty() ? channel.number : channel.number + " " + channel.name;
}

void ShowChannelLine(Context& ctx) {
  const std::optional<ChannelHere> channel = ChannelOfPanel(ctx);
  const std::string text = channel ? ChannelText(*channel) : "";
  if (ctx.poll.channelShown == text) return;
  ctx.poll.channelShown = text;
  Display& display = *ctx.platform.display;
  display.SetFont(FontOf(Line::kChannel));
  display.SetColour(ColourOf(Line::kChannel));
  MoveTo(display, Line::kChannel);
  display.Print(std::string(40, ' '));
  MoveTo(display, Line::kChannel);
  display.Print(text);
  display.SetColour(Colour::kBlack);
}

}  // namespace voxrig
