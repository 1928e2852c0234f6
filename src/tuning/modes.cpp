// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/modes.h"

#include <string>

#include "link/ar8600/ar8600_commands.h"
#include "link/radio_choice.h"
#include "panel/display_lines.h"
#include "speech/speech.h"
#include "tuning/radio_abilities.h"
#include "tuning/receiver_news.h"

namespace voxrig {

void SelectMode(Context& ctx, Mode mode) {
  const ReceiverMode& row = ModeFacts(mode);
  // A radio that lacks the mode keeps the one it has, and the listener hears so.
  if (!RadioHasMode(ctx, mode)) {
    Say(ctx, "inv");
    return;
  }
  const BoundedText before = ctx.tuning.modeText;
  const bool wasLost = ctx.link.receiverLost;
  ctx.tuning.modeText = row.panelText;
  SayAboutReceiver(ctx, std::string(row.keyPrompt));
  const RadioResult result =
      ToRadio(ctx, [mode](Receiver& radio) { return radio.SelectMode(mode); });
  // A receiver found gone by the command never took the mode; a radio that
  // refused it keeps the one it had, and the listener hears so.
  if (!wasLost && ctx.link.receiverLost) ctx.tuning.modeText = before;
  if (result == RadioResult::kRefused) {
    ctx.tuning.modeText = before;
    Say(ctx, "inv");
  }
  if (mode == Mode::kCW) ctx.platform.display->SetFont(AerialBold(30));
}

void DrawModeLine(Context& ctx) {
  Display& display = *ctx.platform.display;
  MoveTo(display, Line::kMode);
  display.SetFont(FontOf(Line::kMode));
  // The mode line is black whatever the status line left selected; the six
  // blanks wipe the tail of a longer previous name.
  display.SetColour(ColourOf(Line::kMode));
  display.Print(ctx.tuning.modeText + "      ");
  display.SetFont(AerialBold(30));
}

void ApplyMode(Context& ctx) {
  DrawModeLine(ctx);
  // Exact names only: "CW" without its blank or a lower-case name changes
  // nothing on the receiver.
  if (const ReceiverMode* row = ModeOfPanelText(ctx.tuning.modeText.str()))
    SelectMode(ctx, row->mode);
}

bool IsModeName(const std::string& text) {
  return ModeOfPanelText(text) != nullptr;
}

void ToggleAttenuator(Context& ctx) {
  TuningState& tuning = ctx.tuning;
  if (!RadioHasAttenuator(ctx)) {
    Say(ctx, "inv");
    return;
  }
  const bool wasLost = ctx.link.receiverLost;
  tuning.attenuatorOn = !tuning.attenuatorOn;
  const bool on = tuning.attenuatorOn;
  SayAboutReceiver(ctx, on ? "atton" : "attoff");
  const RadioResult result =
      ToRadio(ctx, [on](Receiver& radio) { return radio.SetAttenuator(on); });
  // A receiver found gone by the command, or a radio that refused it, keeps
  // the switch as it was; the refusal is heard.
  if ((!wasLost && ctx.link.receiverLost) || result == RadioResult::kRefused) {
    tuning.attenuatorOn = !tuning.attenuatorOn;
  }
  if (result == RadioResult::kRefused) Say(ctx, "inv");
}

void ToggleNoiseLimiter(Context& ctx) {
  TuningState& tuning = ctx.tuning;
  if (!RadioHasNoiseLimiter(ctx)) {
    Say(ctx, "inv");
    return;
  }
  Say(ctx, "noise");
  const bool wasLost = ctx.link.receiverLost;
  tuning.noiseLimiterOn = !tuning.noiseLimiterOn;
  const bool on = tuning.noiseLimiterOn;
  SayAboutReceiver(ctx, on ? "on" : "off");
  const RadioResult result =
      ToRadio(ctx, [on](Receiver& radio) { return radio.SetNoiseLimiter(on); });
  if ((!wasLost && ctx.link.receiverLost) || result == RadioResult::kRefused) {
    tuning.noiseLimiterOn = !tuning.noiseLimiterOn;
  }
  if (result == RadioResult::kRefused) Say(ctx, "inv");
}

void ResetTuningState(Context& ctx) {
  ctx.tuning.noiseLimiterOn = false;
}

}  // namespace voxrig
