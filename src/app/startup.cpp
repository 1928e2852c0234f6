// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <iostream>
#include <string>
#include <string_view>

#include "app/key_handler.h"
#include "app/settings.h"
#include "banks/bank_undo.h"
#include "command/pending_commands.h"
#include "core/version.h"
#include "link/radio_choice.h"
#include "panel/debug_log.h"
#include "panel/screen_lines.h"
#include "poll/connect.h"
#include "poll/operation.h"
#include "speech/speech.h"
#include "tuning/port_report.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

constexpr int kTimerPeriodMs = 100;

void SetStartTexts(Context& ctx) {
  AppState& app = ctx.app;
  app.versionText = kVersionText;
  app.bannerText = "*** Voxrig V " + app.versionText + " ***";
  app.authorText = kAuthorshipText;
  app.voicePrefix = "wave\\";
  app.waveFolder = "wave\\";
}

// Without its configuration the panel cannot know the port, so it tells the
// listener what makes one, and ends; nothing is sent to any port.
void ShowMissingConfiguration(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kConfigurationMissing);
  display.Print("--- VOXRIG.CFG file not found ---");
  MoveTo(display, Line::kSetupAdvice);
  display.Print(kMissingConfigurationHint);
  PrintMessage(ctx,
               std::string("no VOXRIG.CFG in this folder (or it cannot be read)\n") + kSetupHint);
  // The voice setting has not been read, so these prompts always play.
  SayAlways(ctx, "cfnf");
  SayAlways(ctx, "runsetup");
}

// A radio line that can open no radio is the configuration's fault, not a
// receiver's that is away: the line is named and the panel ends, rather than
// try for ever.
void ShowRadioLineFault(Context& ctx, const std::string& fault) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kConfigurationMissing);
  display.Print("--- VOXRIG.CFG: the radio line is not understood ---");
  MoveTo(display, Line::kSetupAdvice);
  display.Print("line 3, " + fault);
  PrintMessage(ctx, "line 3 of VOXRIG.CFG, " + fault +
                        "\nWrite RADIO=AR8600 there for the AR8600, or RADIO=hamlib: and the model "
                        "number rigctl -l lists; voxrig --setup --radio hamlib:MODEL writes it.");
  Say(ctx, "radline");
}

void ShowBanner(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kBanner);
  display.Print(ctx.app.bannerText);
  display.Print(ctx.app.authorText);
}

// The program's name and its version's number; the release letter is not
// spoken.
void AnnounceVersion(Context& ctx) {
  Say(ctx, "vxr");
  for (const char c : std::string_view(kVersionNumber)) {
    Say(ctx, c == '.' ? std::string("point") : std::string(1, c));
  }
}

// speech-dispatcher was asked for and is not there: the listener hears,
// reads and sees once that the recorded prompts speak instead.
void ReportSpeechServerUnreachable(Context& ctx) {
  if (!ctx.app.speechServerUnreachable) return;
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kSetupAdvice);
  display.Print(kSpeechServerUnreachable);
  PrintMessage(ctx, kSpeechServerUnreachable);
  Say(ctx, "nospd");
}

// A close asked for while a long operation runs (a bank half written into
// the receiver) lets it end first: only its wake-ups and ticks are acted on
// then, and no key.
void RunMessageLoop(Context& ctx) {
  while (ctx.app.programRunning || OperationRunning(ctx)) {
    for (const WindowEvent& event : ctx.platform.window->WaitEvents()) {
      const bool keyOrClose = event.kind == EventKind::kKeyDown ||
                              event.kind == EventKind::kKeyUp ||
                              event.kind == EventKind::kCloseRequest;
      if (!ctx.app.programRunning && keyOrClose) continue;
      OnWindowEvent(ctx, event);
      // Once the panel is asked to stop, events still pending in the same
      // batch are not acted on: a key behind a close or a quit does nothing.
      if (!ctx.app.programRunning && !OperationRunning(ctx)) break;
    }
  }
}

}  // namespace

WindowSpec MainWindowSpec() {
  return WindowSpec{std::string("*** AR8600 Voxrig Front Panel v") + kVersionText + "***", 250, 100,
                    950, 500};
}

void ShutDown(Context& ctx) {
  // What was still queued is stale once the panel closes, however much of it
  // a burst of keys left (and with whole readouts too): "quit", or why it
  // ends, is heard to its end, and the panel ends right after it.
  EndSpeech(ctx);
  ctx.platform.window->StopTimer();
  if (ctx.app.debugEnabled) CloseDebugLog(ctx);
  ToRadio(ctx, [](Receiver& radio) { return radio.ExitRemote(); });
  CloseRadio(ctx);
  ctx.platform.window->Close();
}

void ConnectAfresh(Context& ctx) {
  ResetCommandState(ctx);
  ConnectReceiver(ctx);
}

int RunProgram(Context& ctx) {
  if (!ctx.platform.window->Open(MainWindowSpec())) {
    std::cerr << "voxrig: the panel window could not be opened\n";
    return kExitNoWindow;
  }
  SetStartTexts(ctx);
  if (!TakeConfiguration(ctx)) {
    ShowMissingConfiguration(ctx);
    ShutDown(ctx);
    return kExitNoConfiguration;
  }
  if (const auto fault = RadioLineFault(ctx)) {
    ShowRadioLineFault(ctx, *fault);
    ShutDown(ctx);
    return kExitNoConfiguration;
  }
  if (ctx.app.debugEnabled) OpenDebugLog(ctx);
  ShowBanner(ctx);
  AnnounceVersion(ctx);
  ReportSpeechServerUnreachable(ctx);
  // U takes back only this run's changes: copies left by an earlier run go,
  // with the temporary files of a run that was killed while writing.
  RemoveLeftTemporaries(ctx);
  ClearUndoCopies(ctx);
  ConnectAfresh(ctx);
  ctx.platform.window->StartTimer(kTimerPeriodMs);
  ctx.app.programRunning = true;
  RunMessageLoop(ctx);
  ShutDown(ctx);
  return kExitOrderly;
}

}  // namespace voxrig
