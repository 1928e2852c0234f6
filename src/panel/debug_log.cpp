// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/debug_log.h"

#include <cstdio>
#include <string>

namespace voxrig {

namespace {

constexpr const char* kDebugLogFile = "debug1.dat";

// "dd-MM-yyyy   HH:MM:SS": the date and the 24-hour time, with leading zeros.
std::string DateAndTime(const LocalDateTime& now) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d   %02d:%02d:%02d", now.day, now.month, now.year,
                now.hour, now.minute, now.second);
  return text;
}

}  // namespace

void OpenDebugLog(Context& ctx) {
  // An earlier log is emptied: each run with debugging on starts a new one.
  ctx.panel.debugFile = ctx.platform.files->CreateFile(kDebugLogFile);
  // A log that cannot be created is simply not kept; the panel goes on.
  if (!ctx.panel.debugFile) return;
  ctx.panel.debugFile->Write("VOXRIG " + ctx.app.versionText + "  " +
                             DateAndTime(ctx.platform.clock->Now()) + "\r\n");
}

void WriteLogLine(Context& ctx) {
  if (!ctx.app.debugEnabled || !ctx.panel.debugFile) return;
  ctx.panel.debugFile->Write(ctx.panel.logLine + "\r\n");
}

void CloseDebugLog(Context& ctx) {
  ctx.panel.debugFile.reset();
}

}  // namespace voxrig
