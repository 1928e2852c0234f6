// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "e2e/child_process.h"

namespace e2e {

// A braille display of the test's own: a real brltty with its TTY driver on a
// pseudo-terminal the test opened, serving BrlAPI on the loopback address
// only (no key file asked). What brltty shows on the display appears on the
// terminal as the text of the line; what the test writes to the terminal is
// typed on the display's keyboard. brltty is stopped when the object goes.
class BrlttyDisplay {
 public:
  BrlttyDisplay();
  ~BrlttyDisplay();
  BrlttyDisplay(const BrlttyDisplay&) = delete;
  BrlttyDisplay& operator=(const BrlttyDisplay&) = delete;

  // For BRLAPI_HOST: "127.0.0.1:N", the server's port being 4101 + N.
  const std::string& Host() const { return host_; }
  // The text of the line the display shows now.
  std::string Text();
  // Waits until the display shows exactly `text`; false (the last text
  // seen is then in Text()) when it does not within `limit`.
  bool WaitForText(const std::string& text, std::chrono::milliseconds limit);
  // Types these characters on the display's keyboard.
  void Type(const std::string& characters);

 private:
  int master_ = -1;
  std::string host_;
  std::string output_;
  std::string text_;
  std::unique_ptr<ChildProcess> brltty_;
};

}  // namespace e2e
