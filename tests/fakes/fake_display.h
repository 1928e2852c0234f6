// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/display.h"

namespace voxrig::fakes {

// A display that remembers what was drawn where. Prints that follow each
// other without a new position join into one run at the place where the
// first of them started, which is how the panel builds its lines.
class FakeDisplay : public Display {
 public:
  struct Run {
    int x = 0;
    int y = 0;
    std::string text;
    Font font;
    Colour colour = Colour::kBlack;
  };

  void SetTextPosition(int x, int y) override;
  void SetFont(const Font& font) override;
  void SetColour(Colour colour) override;
  void Print(const std::string& text) override;

  // Every run in drawing order.
  const std::vector<Run>& runs() const { return runs_; }
  // The last run drawn starting at x,y; empty text when nothing was drawn there.
  Run RunAt(int x, int y) const;
  std::string TextAt(int x, int y) const { return RunAt(x, y).text; }
  bool DrewAt(int x, int y) const;
  const Font& font() const { return font_; }
  Colour colour() const { return colour_; }
  void Clear() { runs_.clear(); }

 private:
  int x_ = 0;
  int y_ = 0;
  bool continuing_ = false;
  Font font_;
  Colour colour_ = Colour::kBlack;
  std::vector<Run> runs_;
};

}  // namespace voxrig::fakes
