// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "app/outcome_words.h"
#include "core/context.h"
#include "platform/braille.h"
#include "platform/text_screen.h"

namespace voxrig {

// What the braille line shows, each part empty when there is nothing to say.
struct BrailleGlance {
  std::string frequency;      // "145.5000"
  std::string mode;           // "FM"
  std::string level;          // "S5", "S9+"
  bool attenuator = false;    // "ATT"
  bool noiseLimiter = false;  // "NL"
  std::string scan;           // "SCAN", "STOP", "SRCH", with "B03 C12" in a bank scan
  std::string channel;        // "C12 Tower" on a bank's channel, "A05 Repeater" in a memory scan
  std::string entry;          // what is being typed: "B 03", "145.51"
  std::string outcome;        // "write error"
};

// The parts in that order, one blank between them.
std::string BrailleLineOf(const BrailleGlance& glance);

// The braille display beside the window (or the terminal): one line of what
// the listener needs at a glance, written when it changes, and the display's
// typed keys taken as the same keys from the keyboard. It stands between the
// panel and its window, display and sound, passing everything on: the line
// is read from the panel's own lines (frequency, mode, level meter, scan and
// search status), the switches and the bank scan's place, and the words of
// the last prompt that reported an outcome. The line is brought up to date
// when the panel has finished drawing a change: before each prompt and
// before each wait for events (at least every tick, 100 ms), so a line
// blanked and drawn again is never shown half done.
class BraillePanel : public Window, public Display, public Sound {
 public:
  BraillePanel(const Context& ctx, Window& window, Display& display, Sound& sound,
               BrailleLine& braille);

  bool Open(const WindowSpec& layout) override;
  void StartTimer(int periodMs) override;
  void StopTimer() override;
  // Brings the line up to date, waits, and adds the display's typed keys.
  std::vector<WindowEvent> WaitEvents() override;
  void Close() override;
  void PostNetworkActivity() override { window_.PostNetworkActivity(); }
  void PostRadioActivity() override { window_.PostRadioActivity(); }
  void WakeAfter(int ms) override { window_.WakeAfter(ms); }

  void SetTextPosition(int x, int y) override;
  void SetFont(const Font& font) override;
  void SetColour(Colour colour) override;
  void Print(const std::string& text) override;

  void PlayPrompt(const std::string& path) override;
  void PassUnvoiced(const std::string& name) override;
  void SpeakText(const std::string& text) override { sound_.SpeakText(text); }
  void StartUnit() override { sound_.StartUnit(); }
  void KeepUnit() override { sound_.KeepUnit(); }
  void CutReadouts() override { sound_.CutReadouts(); }
  void EndWithThisUnit() override { sound_.EndWithThisUnit(); }

  // The line as it stands now.
  std::string Line() const;
  // Sends the line to the display when it differs from what was last sent.
  void Refresh();

 private:
  const Context& ctx_;
  Window& window_;
  Display& display_;
  Sound& sound_;
  BrailleLine& braille_;
  TextScreen screen_;
  OutcomeWords outcome_;
  std::string shown_;
  bool anyShown_ = false;
  Font font_;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace voxrig
