// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/child_process.h"

namespace e2e {

// What speech-dispatcher's log tells of one SSIP client's traffic.
struct ServerEvent {
  std::string client;  // the name the client gave ("voxrig:readouts"), or its descriptor
  std::string kind;    // "message" or "cancel"
  std::string text;    // the message's text
  bool operator==(const ServerEvent&) const = default;
  // For failure messages: "voxrig:readouts message |one four five|".
  friend std::ostream& operator<<(std::ostream& out, const ServerEvent& event) {
    return out << event.client << " " << event.kind << " |" << event.text << "|";
  }
};

// A speech-dispatcher of the test's own: a private configuration, socket and
// log in a folder of its own, libao's null output (no sound card, and a
// message ends as soon as it is made), the espeak-ng module. It ends by
// itself a few seconds after its last client leaves, and is killed with its
// module when the rig goes, whatever way the test ends.
class SpeechDispatcherRig {
 public:
  SpeechDispatcherRig();
  ~SpeechDispatcherRig();
  SpeechDispatcherRig(const SpeechDispatcherRig&) = delete;
  SpeechDispatcherRig& operator=(const SpeechDispatcherRig&) = delete;

  // False when the server did not open its socket in time.
  bool Ready() const { return ready_; }
  // For SPEECHD_ADDRESS: "unix_socket:<folder>/sock".
  std::string Address() const { return "unix_socket:" + folder_ + "/sock"; }
  // The messages queued and the cancels received, in order, as the log (at
  // level 5) tells them.
  std::vector<ServerEvent> Events() const;
  // Polls Events() until `count` of them are there or `limit` passes.
  std::vector<ServerEvent> WaitForEvents(std::size_t count, std::chrono::milliseconds limit) const;

 private:
  std::string folder_;
  std::unique_ptr<ChildProcess> server_;
  bool ready_ = false;
};

}  // namespace e2e
