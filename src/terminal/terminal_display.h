// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "platform/display.h"
#include "platform/text_screen.h"

namespace voxrig {

// The panel's text in a terminal, for a listener who reads it with a screen
// reader (Orca in a terminal, Speakup, Fenrir) or over SSH: no cursor
// addressing and no redraw, only one plain line for each of the panel's rows
// whose text has changed, so the reader says exactly what changed. Prints are
// gathered and written at Flush, when the panel has finished drawing a change
// (before a prompt plays, before it waits for keys): a line that is blanked
// and drawn again in one go is written once, and only if it differs.
class TerminalDisplay : public Display {
 public:
  explicit TerminalDisplay(std::ostream& out) : out_(out) {}

  void SetTextPosition(int x, int y) override;
  void SetFont(const Font& font) override;
  void SetColour(Colour colour) override;
  void Print(const std::string& text) override;

  // Writes every row whose text differs from what was last written for it,
  // top to bottom; a row that has become empty writes nothing.
  void Flush();
  // Whether Flush would write a line now.
  bool HasChanges() const;
  // The text Flush would write for the row at `y`, or nothing when it would
  // write none for it.
  std::optional<std::string> RowDue(int y) const;
  // Writes a line of the program's own (a notice to the listener) at once.
  void Notice(const std::string& line);

 private:
  std::ostream& out_;
  TextScreen screen_;
  std::map<int, std::string> written_;
  Font font_;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace voxrig
