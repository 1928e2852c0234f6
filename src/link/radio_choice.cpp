// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/radio_choice.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

#include "link/ar8600/ar8600_receiver.h"
#include "link/radio_capabilities.h"
#include "link/serial_port.h"

namespace voxrig {

namespace {

constexpr std::string_view kHamlibPrefix = "hamlib:";

// The radio line's value: the setting is read from the sixth character of
// "RADIO=...", so it starts with the label's "="; blanks around the value do
// not count.
std::string RadioValue(const std::string& radioSetting) {
  std::string text = radioSetting;
  const std::size_t start = text.find_first_not_of("= \t");
  text.erase(0, start == std::string::npos ? text.size() : start);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

bool NamesHamlib(const std::string& value) {
  if (value.size() < kHamlibPrefix.size()) return false;
  for (std::size_t i = 0; i < kHamlibPrefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(value[i])) != kHamlibPrefix[i]) return false;
  }
  return true;
}

}  // namespace

int HamlibModelOf(const std::string& radioSetting) {
  const std::string text = RadioValue(radioSetting);
  if (!NamesHamlib(text)) return 0;
  const std::string number = text.substr(kHamlibPrefix.size());
  const bool digits =
      !number.empty() && number.size() <= 7 &&
      std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int model = digits ? std::stoi(number) : 0;
  return model > 0 ? model : -1;
}

std::optional<std::string> RadioLineFault(Context& ctx) {
  const int model = HamlibModelOf(ctx.app.radioSetting.str());
  if (model == 0) return std::nullopt;
  const std::string value = RadioValue(ctx.app.radioSetting.str());
  const std::string line = "RADIO=" + value + ": ";
  if (model < 0) {
    const std::string number = value.substr(kHamlibPrefix.size());
    if (number.empty()) return line + "no model number after \"hamlib:\"";
    return line + "\"" + number + "\" is not a model number";
  }
  HamlibOpener* hamlib = ctx.platform.hamlib;
  if (hamlib != nullptr && !hamlib->KnowsModel(model)) {
    return line + "Hamlib has no model " + std::to_string(model);
  }
  return std::nullopt;
}

void ChooseRadio(Context& ctx) {
  LinkState& link = ctx.link;
  link.hamlibModel = HamlibModelOf(ctx.app.radioSetting.str());
  link.capabilities.reset();
  if (link.hamlibModel == 0) {
    link.capabilities = Ar8600Capabilities();
  } else if (link.hamlibModel > 0 && ctx.platform.hamlib != nullptr) {
    // Known before the radio first answers, so the keys pressed while it is
    // away already follow what it can do.
    link.capabilities = ctx.platform.hamlib->CapabilitiesOf(link.hamlibModel);
  }
}

void OpenRadio(Context& ctx) {
  LinkState& link = ctx.link;
  CloseRadio(ctx);
  if (link.hamlibModel != 0) {
    // A radio line that names no model opens nothing: the listener hears
    // that the receiver is not connected, rather than the AR8600's commands
    // going to some other radio.
    if (link.hamlibModel < 0 || ctx.platform.hamlib == nullptr) return;
    HamlibAttempt attempt = ctx.platform.hamlib->OpenRadio(
        link.hamlibModel, PortDevicePath(ctx, link.comPort), link.baudRate);
    link.receiver = std::move(attempt.radio);
    if (link.receiver) link.capabilities = link.receiver->Capabilities();
    return;
  }
  auto device = OpenPortDevice(ctx, link.comPort, link.baudRate);
  if (!device) return;
  device->SetReadTimeouts(-1);
  device->SetLineFormat(kReceiverLineFormat.dataBits, kReceiverLineFormat.parityCode,
                        kReceiverLineFormat.stopBitsCode);
  link.receiver = std::make_unique<Ar8600Receiver>(std::move(device));
}

void CloseRadio(Context& ctx) {
  ctx.link.receiver.reset();
}

bool RadioOpen(const Context& ctx) {
  return ctx.link.receiver != nullptr;
}

}  // namespace voxrig
