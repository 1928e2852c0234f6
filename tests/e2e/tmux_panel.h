// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

// A terminal of the test's own: a tmux server with one 100-by-50 pane that
// runs a script, keys typed into it with send-keys and its screen read with
// capture-pane, as a listener's screen reader would read it. The server is
// ended when the object goes.
class TmuxPanel {
 public:
  // Runs `script` (bash) in `folder`; the pane stays after it ends.
  TmuxPanel(const std::string& folder, const std::string& script);
  ~TmuxPanel();
  TmuxPanel(const TmuxPanel&) = delete;
  TmuxPanel& operator=(const TmuxPanel&) = delete;

  // Types the keys one by one (tmux key names: "1", "Enter", "Up", "F2").
  void SendKeys(const std::vector<std::string>& keys);
  // Sends these bytes as the terminal would, all at once.
  void SendBytes(const std::string& bytes);
  // Every line the pane has shown, scrolled-off ones included, without the
  // empty lines below the last one.
  std::vector<std::string> Lines() const;
  bool WaitForLine(const std::string& line, std::chrono::milliseconds limit);

 private:
  std::string Run(const std::vector<std::string>& arguments) const;
  std::string socket_;
};

}  // namespace e2e
