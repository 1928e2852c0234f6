// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/terminal_display.h"

namespace voxrig {

namespace {

// Panel text is 8-bit Latin-1; terminals read UTF-8.
std::string Utf8FromLatin1(const std::string& text) {
  std::string utf8;
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20) {
      utf8 += ' ';  // a control character would move the terminal's cursor
    } else if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

}  // namespace

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
    if (!text.empty()) out_ << Utf8FromLatin1(text) << '\n';
  }
  out_.flush();
}

void TerminalDisplay::Notice(const std::string& line) {
  out_ << line << '\n';
  out_.flush();
}

}  // namespace voxrig
