// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/spoken_line.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "platform/stopwatch.h"
#include "platform/text_screen.h"
#include "terminal/terminal_display.h"

namespace voxrig {

// The panel in a terminal, for a listener who reads it with a screen reader
// (over SSH, most often without a sound device): what the panel shows and
// what it says, as plain lines in the order they happen. The rows of the
// panel that changed are written when the panel has finished drawing (before
// a prompt, before it waits for keys); what one key or one tick says is
// written as one line of words (SpokenLine) when it is complete: at the next
// key or tick, before the rows it changed next, and before the panel waits.
// So a refusal reads "invalid" and a success "OK", where the rows alone
// would not tell them apart.
//
// The level meter is written as the level the listener hears ("S 7"), only
// when it changes and at most once a second: a signal that flickers would
// otherwise have the reader say a line three times a second. After the first
// line, a panel that found no sound device says once that it runs silent;
// the receiver's pauses still take their time, by the clock.
class TerminalPanel : public Display, public Sound {
 public:
  TerminalPanel(TerminalDisplay& lines, Sound& sound, Stopwatch& clock, PromptWords words,
                std::function<bool()> silent);

  void SetTextPosition(int x, int y) override;
  void SetFont(const Font& font) override;
  void SetColour(Colour colour) override;
  void Print(const std::string& text) override;

  void PlayPrompt(const std::string& path) override;
  void PassUnvoiced(const std::string& name) override;
  void SpeakText(const std::string& text) override;
  void StartUnit() override;
  void KeepUnit() override { sound_.KeepUnit(); }
  void CutReadouts() override;
  void EndWithThisUnit() override { sound_.EndWithThisUnit(); }

  // The panel has finished its work for now: the words said so far and the
  // rows that changed are written.
  void Flush();

 private:
  // Writes the rows that changed (and the meter when it is due), ending the
  // line of words first when there are any.
  void WriteChangedRows();
  // A typed digit or point is said as it is typed, and the typing so far is
  // shown on the key echo row: the terminal writes the typing alone ("145",
  // not "5" and then "145"), so a screen reader reads each key once.
  void LeaveTheEchoToTheTyping();
  void EndSpokenLine();
  // The meter row as it is to be written, when it is to be written now.
  std::optional<std::string> MeterLineDue();

  TerminalDisplay& lines_;
  Sound& sound_;
  Stopwatch& clock_;
  std::function<bool()> silent_;
  SpokenLine spoken_;
  bool prompted_ = false;  // a prompt has been played (or found no device)
  bool silenceTold_ = false;
  // The meter's row, kept apart from the other rows.
  TextScreen meterScreen_;
  std::string meterWritten_;
  std::optional<double> levelWrittenMs_;
  Font font_;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace voxrig
