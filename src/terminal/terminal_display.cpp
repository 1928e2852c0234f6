// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/terminal_display.h"

#include "platform/latin1_text.h"

namespace voxrig {

void TerminalDisplay::SetTextPosition(int x, int y) {
  x_ = x;
  y_ = y;
}

void TerminalDisplay::SetFont(const Font& font) {
  font_ = font;
}

void TerminalDisplay::SetColour(Colour) {}

void TerminalDisplay::Print(const std::string& text) {
  x_ = screen_.Put(x_, y_, font_, TextToDraw(text));
}

void TerminalDisplay::Flush() {
  for (int y : screen_.Rows()) {
    const std::string text = screen_.Row(y);
    std::string& written = written_[y];
    if (text == written) continue;
    written = text;
    if (!text.empty()) out_ << Utf8FromLatin1(text, /*blankControls=*/true) << '\n';
  }
  out_.flush();
}

bool TerminalDisplay::HasChanges() const {
  for (int y : screen_.Rows()) {
    const std::string text = screen_.Row(y);
    const auto written = written_.find(y);
    if (!text.empty() && (written == written_.end() || written->second != text)) return true;
  }
  return false;
}

std::optional<std::string> TerminalDisplay::RowDue(int y) const {
  const std::string text = screen_.Row(y);
  const auto written = written_.find(y);
  if (text.empty() || (written != written_.end() && written->second == text)) return std::nullopt;
  return text;
}

void TerminalDisplay::Notice(const std::string& line) {
  out_ << line << '\n';
  out_.flush();
}

}  // namespace voxrig
