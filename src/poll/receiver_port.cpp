// SPDX-License-Identifier: GPL-3.0-or-later
#include "poll/receiver_port.h"

#include <string>

#include "core/text_rules.h"
#include "link/radio_choice.h"
#include "tuning/port_report.h"

namespace voxrig {

namespace {

// The configured speed as the port takes it: rounded to whole baud, and only
// if an int holds it. Anything else (4294986496 would wrap round to 19200)
// gives 0, which no port accepts.
int BaudRateFrom(const BoundedText& speedSetting) {
  const double speed = NumberFromText(speedSetting.str());
  if (!(speed >= 1 && speed <= 2147483647.0)) return 0;
  return static_cast<int>(RoundToInteger(speed));
}

}  // namespace

void OpenReceiverPort(Context& ctx) {
  LinkState& link = ctx.link;
  const std::string& port = ctx.app.portSetting.str();
  // "PORT=/dev/serial/by-id/usb-..." names the device itself, used as it
  // stands, on port 1; "PORT=COM3" names port 3 by its last character.
  if (port.starts_with("/")) {
    link.devicePath = port;
    link.comPort = 1;
  } else {
    link.devicePath.clear();
    link.comPort = static_cast<int>(RoundToInteger(NumberFromText(RightText(port, 1))));
  }
  ChooseRadio(ctx);
  link.baudRate = BaudRateFrom(ctx.app.speedSetting);
  ReopenReceiverPort(ctx);
  // Said and shown, never replaced by another port: the poll cycle keeps
  // trying this one, so an adapter plugged in later is still found.
  if (!RadioOpen(ctx)) ReportNoDevice(ctx);
}

void ReopenReceiverPort(Context& ctx) {
  CloseRadio(ctx);
  if (ctx.link.baudRate <= 0) return;  // a speed no port takes: nothing is opened
  OpenRadio(ctx);
}

}  // namespace voxrig
