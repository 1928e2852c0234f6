// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlib/hamlib_library.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <memory>

#include "hamlib/hamlib_capabilities.h"
#include "hamlib/hamlib_radio.h"

namespace voxrig {

HamlibLibrary::HamlibLibrary(SerialDeviceLocker& devices) : devices_(devices) {
  rig_set_debug(RIG_DEBUG_NONE);
}

RIG* HamlibLibrary::OpenAnswering(int model, const std::string& path, int baudRate,
                                  HamlibAttempt& attempt, int& heldDevice) {
  heldDevice = -1;
  RIG* rig = rig_init(static_cast<rig_model_t>(model));
  if (rig == nullptr) {
    attempt.failure = HamlibFailure::kUnknownModel;
    return nullptr;
  }
  const std::string speed = std::to_string(baudRate);
  // The speed is the serial line's; a radio on another kind of port (the
  // dummy, a network radio) has none, and no device to hold.
  const bool serial = rig->caps->port_type == RIG_PORT_SERIAL;
  // Hamlib's own open neither locks the device nor makes it exclusive: the
  // device is held first, with the lock the AR8600's own line takes, so a
  // device another panel (or program) holds is refused at once, before
  // Hamlib spends seconds asking a radio that is not its to ask.
  HeldDevice held;
  if (serial) {
    held = devices_.Hold(path, false);
    if (held.fd < 0) {
      rig_cleanup(rig);
      attempt.failure = HamlibFailure::kDevice;
      attempt.deviceFailure = held.failure;
      attempt.systemMessage = held.systemMessage;
      return nullptr;
    }
  }
  const auto giveUp = [&](bool opened) -> RIG* {
    if (opened) rig_close(rig);
    rig_cleanup(rig);
    if (held.fd >= 0) close(held.fd);
    attempt.failure = HamlibFailure::kNoAnswer;
    return nullptr;
  };
  const bool configured =
      rig_set_conf(rig, rig_token_lookup(rig, "rig_pathname"), path.c_str()) == RIG_OK &&
      (!serial ||
       rig_set_conf(rig, rig_token_lookup(rig, "serial_speed"), speed.c_str()) == RIG_OK);
  if (!configured || rig_open(rig) != RIG_OK) return giveUp(false);
  // The radio must answer before it counts as there: a port with nothing
  // behind it opens as well as one with the radio.
  freq_t hz = 0;
  if (rig_get_freq(rig, RIG_VFO_CURR, &hz) != RIG_OK) return giveUp(true);
  // Hamlib has its own descriptor open now; from here on nobody else opens
  // the device at all, as on the own line.
  if (held.fd >= 0) ioctl(held.fd, TIOCEXCL);
  heldDevice = held.fd;
  return rig;
}

HamlibAttempt HamlibLibrary::OpenRadio(int model, const std::string& path, int baudRate) {
  HamlibAttempt attempt;
  if (wakeup_) {
    // Beside the loop, the radio opens on its own thread too: a radio that
    // is away takes Hamlib most of a second to give up on, every time the
    // panel reaches for it again.
    const auto capabilities = HamlibModelCapabilities(model);
    if (!capabilities) {
      attempt.failure = HamlibFailure::kUnknownModel;
      return attempt;
    }
    attempt.radio = std::make_unique<RadioBesideTheLoop>(
        [this, model, path, baudRate]() -> std::unique_ptr<Receiver> {
          HamlibAttempt opening;
          int heldDevice = -1;
          RIG* rig = OpenAnswering(model, path, baudRate, opening, heldDevice);
          if (rig == nullptr) return nullptr;
          return std::make_unique<HamlibRadio>(rig, CapabilitiesOfCaps(*rig->caps), heldDevice);
        },
        *capabilities, wakeup_);
    return attempt;
  }
  int heldDevice = -1;
  RIG* rig = OpenAnswering(model, path, baudRate, attempt, heldDevice);
  if (rig != nullptr) {
    attempt.radio = std::make_unique<HamlibRadio>(rig, CapabilitiesOfCaps(*rig->caps), heldDevice);
  }
  return attempt;
}

void HamlibLibrary::OnAnswer(std::function<void()> wake) {
  if (!wakeup_ && !wake) return;
  if (!wakeup_) wakeup_ = std::make_shared<RadioWakeup>();
  wakeup_->Set(std::move(wake));
}

bool HamlibLibrary::KnowsModel(int model) {
  return HamlibModelCapabilities(model).has_value();
}

std::optional<ReceiverCapabilities> HamlibLibrary::CapabilitiesOf(int model) {
  return HamlibModelCapabilities(model);
}

}  // namespace voxrig
