// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/braille.h"

namespace voxrig {

// The braille line through BrlAPI, the client side of brltty. A thread of its
// own connects to the server the environment names (BRLAPI_HOST, BRLAPI_AUTH;
// the local brltty when neither is set), shows the latest line and collects
// the keys, so the panel never waits for the display: with no server it tries
// again every few seconds, and a server that starts later, or comes back
// after a restart, gets the line then.
class BrlapiBraille : public BrailleLine {
 public:
  BrlapiBraille();
  ~BrlapiBraille() override;
  BrlapiBraille(const BrlapiBraille&) = delete;
  BrlapiBraille& operator=(const BrlapiBraille&) = delete;

  void Show(const std::string& line) override;
  std::vector<int> TakeKeys() override;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

}  // namespace voxrig
