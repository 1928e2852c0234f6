// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/terminal_panel.h"

#include "app/meter_level.h"
#include "panel/screen_lines.h"
#include "platform/latin1_text.h"
#include "posix/quiet_stderr.h"

namespace voxrig {

namespace {

constexpr int kMeterRow = LineFacts(Line::kMeter).y;
constexpr int kEchoRow = LineFacts(Line::kEcho).y;
// A changing level is written at most this often.
constexpr double kLevelPeriodMs = 1000;

}  // namespace

TerminalPanel::TerminalPanel(TerminalDisplay& lines, Sound& sound, Stopwatch& clock,
                             PromptWords words, std::function<bool()> silent)
    : lines_(lines),
      sound_(sound),
      clock_(clock),
      silent_(std::move(silent)),
      spoken_(std::move(words)) {}

void TerminalPanel::SetTextPosition(int x, int y) {
  x_ = x;
  y_ = y;
  lines_.SetTextPosition(x, y);
}

void TerminalPanel::SetFont(const Font& font) {
  font_ = font;
  lines_.SetFont(font);
}

void TerminalPanel::SetColour(Colour colour) {
  lines_.SetColour(colour);
}

void TerminalPanel::Print(const std::string& text) {
  if (y_ == kMeterRow) {
    x_ = meterScreen_.Put(x_, y_, font_, TextToDraw(text));
    return;
  }
  lines_.Print(text);
}

std::optional<std::string> TerminalPanel::MeterLineDue() {
  const std::string row = meterScreen_.Row(kMeterRow);
  const std::optional<int> level = MeterLevel(row);
  const std::string line = level ? LevelText(*level, " ") : row;
  if (line == meterWritten_) return std::nullopt;
  if (!level) {
    // The link's status over the meter is written at once; a blank row
    // writes nothing; the level after either is new, and written at once.
    meterWritten_ = line;
    levelWrittenMs_.reset();
    if (line.empty()) return std::nullopt;
    return line;
  }
  const double now = clock_.NowMs();
  if (levelWrittenMs_ && now - *levelWrittenMs_ < kLevelPeriodMs) return std::nullopt;
  levelWrittenMs_ = now;
  meterWritten_ = line;
  return line;
}

void TerminalPanel::WriteChangedRows() {
  const std::optional<std::string> meter = MeterLineDue();
  if (!meter && !lines_.HasChanges()) return;
  EndSpokenLine();
  if (meter) lines_.Notice(Utf8FromLatin1(*meter, /*blankControls=*/true));
  lines_.Flush();
}

void TerminalPanel::LeaveTheEchoToTheTyping() {
  const std::string said = spoken_.Gathered();
  std::optional<std::string> typing = lines_.RowDue(kEchoRow);
  if (said.empty() || !typing) return;
  typing->erase(typing->find_last_not_of(' ') + 1);
  // A point on its own may not be read out at all: its word stays.
  if (*typing == ".") return;
  // The typed character alone ("5" of "145"), or what is left of the typing
  // read back after BackSpace ("14").
  const bool oneTyped = said.size() == 1 && typing->ends_with(said);
  if (oneTyped || said == *typing) spoken_.Forget();
}

void TerminalPanel::EndSpokenLine() {
  LeaveTheEchoToTheTyping();
  if (const std::optional<std::string> line = spoken_.End()) lines_.Notice(*line);
  if (prompted_ && !silenceTold_ && silent_()) {
    silenceTold_ = true;
    lines_.Notice("voxrig: no sound device; the panel runs silent");
  }
}

void TerminalPanel::PlayPrompt(const std::string& path) {
  WriteChangedRows();
  // Until a sound device is found, the sound libraries' complaints about the
  // missing one stay off the listener's terminal.
  if (silent_()) {
    RunWithStandardErrorSilenced([&] { sound_.PlayPrompt(path); });
  } else {
    sound_.PlayPrompt(path);
  }
  prompted_ = true;
  spoken_.Heard(path);
}

void TerminalPanel::PassUnvoiced(const std::string& name) {
  WriteChangedRows();
  sound_.PassUnvoiced(name);
  spoken_.Heard(name);
}

void TerminalPanel::SpeakText(const std::string& text) {
  WriteChangedRows();
  sound_.SpeakText(text);
  spoken_.HeardText(Utf8FromLatin1(text, /*blankControls=*/true));
}

void TerminalPanel::StartUnit() {
  EndSpokenLine();
  sound_.StartUnit();
}

void TerminalPanel::CutReadouts() {
  EndSpokenLine();
  sound_.CutReadouts();
}

void TerminalPanel::Flush() {
  WriteChangedRows();
  EndSpokenLine();
}

}  // namespace voxrig
