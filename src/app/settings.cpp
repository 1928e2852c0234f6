// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings.h"

#include "config/configuration.h"
#include "speech/speech.h"

namespace voxrig {

bool TakeConfiguration(Context& ctx) {
  const auto read = ReadConfiguration(*ctx.platform.files);
  if (!read) return false;
  AppState& app = ctx.app;
  app.portSetting = read->portSetting;
  app.speedSetting = read->speedSetting;
  app.radioSetting = read->radioSetting;
  app.voiceEnabled = read->voiceEnabled;
  if (!app.voiceEnabled) app.voicePrefix = "";
  app.debugEnabled = read->debugEnabled;
  if (read->namesSwitchedOff) KeepNamesSilent(ctx);
  return true;
}

}  // namespace voxrig
