// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace voxrig {

// A speech server that says words in the listener's own voice, rate,
// language and sound card (speech-dispatcher). Words are queued in units as
// Sound queues prompts: a readout is cut by the next key, a kept unit is
// heard to its end. No call waits for the server: what it is sent goes out
// beside the panel's loop.
class SpeechServer {
 public:
  virtual ~SpeechServer() = default;
  // False once the server has been lost; it is not tried again.
  virtual bool Reachable() const = 0;
  // Words said after those before. Words queued one right after another (the
  // digits of a frequency, "channel 3 Harbour Ops") go out as one message, so
  // the server says them as one phrase.
  virtual void Say(const std::string& words) = 0;
  // The message being gathered goes out now: a pause or a sound follows.
  virtual void EndMessage() = 0;
  virtual void StartUnit() = 0;
  virtual void KeepUnit() = 0;
  virtual void CutReadouts() = 0;
  virtual void EndWithThisUnit() = 0;
};

}  // namespace voxrig
