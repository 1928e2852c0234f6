// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/hamlib_search.h"

#include <vector>

namespace voxrig {

namespace {

void TellDeviceNotOpened(Context& ctx, SetupTools& tools, const std::string& path,
                         const HamlibAttempt& attempt) {
  const std::string why = " (" + attempt.systemMessage + ").";
  switch (attempt.deviceFailure) {
    case OpenFailure::kNoPermission:
      Tell(ctx, tools, "  Permission denied: you may not open " + path + why, {"noperm"});
      return;
    case OpenFailure::kInUse:
      Tell(ctx, tools, "  In use by another program" + why, {"inuse"});
      return;
    case OpenFailure::kNotSerial:
      Tell(ctx, tools, "  This is not a serial device.", {"inv"});
      return;
    case OpenFailure::kNone:
    case OpenFailure::kNoDevice:
    case OpenFailure::kRefused:
      break;
  }
  Tell(ctx, tools, "  It cannot be opened: " + attempt.systemMessage + ".", {"nodev"});
}

}  // namespace

std::optional<FoundReceiver> FindHamlibRadio(Context& ctx, SetupTools& tools, int model,
                                             const std::optional<std::string>& device) {
  const std::string radio = "Hamlib model " + std::to_string(model);
  if (ctx.platform.hamlib == nullptr) {
    Tell(ctx, tools, "Hamlib is not available to this program.", {"norx"});
    return std::nullopt;
  }
  // A model Hamlib does not have could answer on no device at any speed.
  if (!ctx.platform.hamlib->KnowsModel(model)) {
    Tell(ctx, tools,
         "No Hamlib model " + std::to_string(model) +
             ": rigctl -l lists the models Hamlib has, their numbers first.",
         {"inv"});
    return std::nullopt;
  }
  const std::vector<std::string> devices =
      device ? std::vector<std::string>{*device} : tools.survey.ListDevices();
  if (devices.empty()) {
    Tell(ctx, tools,
         "No serial device found. Is the radio's cable plugged in? A USB serial adapter shows "
         "up as /dev/ttyUSB0 or /dev/ttyACM0 a moment after it is plugged in.",
         {"nodev"});
    return std::nullopt;
  }
  for (const std::string& path : devices) {
    Tell(ctx, tools, "Trying " + radio + " on " + path + ":", {"dev"});
    for (const int speed : kHamlibRadioSpeeds) {
      HamlibAttempt opened = ctx.platform.hamlib->OpenRadio(model, path, speed);
      if (opened.failure == HamlibFailure::kDevice) {
        // The device itself will not open at any speed: told at once.
        TellDeviceNotOpened(ctx, tools, path, opened);
        break;
      }
      if (!opened.radio) {
        Tell(ctx, tools, "  " + std::to_string(speed) + " baud: no answer.");
        continue;
      }
      Tell(ctx, tools, "  " + std::to_string(speed) + " baud: the radio answered.");
      Tell(ctx, tools, radio + " found on " + path + " at " + std::to_string(speed) + " baud.",
           {"found"});
      return FoundReceiver{path, speed, std::string(), nullptr, std::move(opened.radio)};
    }
  }
  Tell(ctx, tools,
       "No radio of " + radio +
           " answered. Is it switched on, its cable in, and is the model number the one rigctl -l "
           "lists for it?",
       {"norx"});
  return std::nullopt;
}

}  // namespace voxrig
