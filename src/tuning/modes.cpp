#include "tuning/modes.h"

#include <array>
#include <string>

#include "link/command_link.h"
#include "link/receiver_commands.h"
#include "panel/display_lines.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// One receive mode as the panel knows it: the name shown, stored in bank
// files and compared, the prompt the listener hears, and the receiver's code
// (-1: automatic mode, chosen with "AU1" rather than an "MD" command).
struct ModeRow {
  Mode mode;
  const char* name;
  const char* prompt;
  int code;
};

// In the order ApplyMode compares the names.
constexpr std::array<ModeRow, 7> kModes{{
    {Mode::kFM, "FM", "FM", 1},
    {Mode::kAM, "AM", "AM", 2},
    {Mode::kWFM, "WFM", "WFM", 0},
    {Mode::kLSB, "LSB", "LSB", 4},
    {Mode::kUSB, "USB", "USB", 3},
    {Mode::kCW, "CW ", "cw", 5},  // the blank belongs to the name
    {Mode::kAUT, "AUT", "auto", -1},
}};
constexpr int kAutomatic = -1;

const ModeRow& RowOf(Mode mode) {
  for (const ModeRow& row : kModes) {
    if (row.mode == mode) return row;
  }
  return kModes[0];
}

void Send(Context& ctx, const std::string& command) {
  ctx.link.commandText = command;
  SendCommand(ctx);
}

}  // namespace

void SelectMode(Context& ctx, Mode mode) {
  const ModeRow& row = RowOf(mode);
  ctx.tuning.modeText = row.name;
  SayAboutReceiver(ctx, row.prompt);
  Send(ctx, row.code == kAutomatic ? std::string(receiver::kAutomaticModeOn)
                                   : receiver::SelectMode(row.code));
  if (mode == Mode::kCW) ctx.platform.display->SetFont(AerialBold(30));
}

void DrawModeLine(Context& ctx) {
  Display& display = *ctx.platform.display;
  display.SetTextPosition(370, 80);
  display.SetFont(ArielBold(50));
  // The mode line is black whatever the status line left selected; the six
  // blanks wipe the tail of a longer previous name.
  display.SetColour(Colour::kBlack);
  display.Print(ctx.tuning.modeText + "      ");
  display.SetFont(AerialBold(30));
}

void ApplyMode(Context& ctx) {
  DrawModeLine(ctx);
  // Exact names only: "CW" without its blank or a lower-case name changes
  // nothing on the receiver.
  for (const ModeRow& row : kModes) {
    if (ctx.tuning.modeText == row.name) {
      SelectMode(ctx, row.mode);
      return;
    }
  }
}

bool IsModeName(const std::string& text) {
  for (const ModeRow& row : kModes) {
    if (text == row.name) return true;
  }
  return false;
}

void ToggleAttenuator(Context& ctx) {
  TuningState& tuning = ctx.tuning;
  tuning.attenuatorOn = tuning.attenuatorOn == 0 ? 1 : 0;
  ctx.link.commandText = receiver::Attenuator(tuning.attenuatorOn == 1);
  SayAboutReceiver(ctx, tuning.attenuatorOn == 1 ? "atton" : "attoff");
  SendCommand(ctx);
}

void ToggleNoiseLimiter(Context& ctx) {
  TuningState& tuning = ctx.tuning;
  Say(ctx, "noise");
  tuning.noiseLimiterOn = 1 - tuning.noiseLimiterOn;
  ctx.link.commandText = receiver::NoiseLimiter(tuning.noiseLimiterOn == 1);
  SayAboutReceiver(ctx, tuning.noiseLimiterOn == 1 ? "on" : "off");
  SendCommand(ctx);
}

}  // namespace voxrig
