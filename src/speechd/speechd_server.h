// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/speech_server.h"
#include "speechd/message_gathering.h"

namespace voxrig {

// The panel's words said by speech-dispatcher, through libspeechd and its
// SSIP protocol, in the listener's own voice, rate, language and sound card:
// none of them is set here. Two connections: readouts on one, which a cut
// cancels ("CANCEL self"), kept units on the other, which nothing cancels.
// Both speak at priority "message", so speech-dispatcher says them in the
// order they were sent. Every SSIP call is made on a thread of its own, so
// the panel's loop never waits for the server; a call that fails marks the
// server lost.
class SpeechdServer : public SpeechServer {
 public:
  // Connects to speech-dispatcher where SPEECHD_ADDRESS says, or at its
  // default socket, starting it there as any of its clients would. Null,
  // with why in `problem`, when it cannot be reached.
  static std::unique_ptr<SpeechdServer> Connect(std::string& problem);
  // What was queued and not cut goes out before the connections close;
  // speech-dispatcher says it to its end after the panel has ended.
  ~SpeechdServer() override;
  SpeechdServer(const SpeechdServer&) = delete;
  SpeechdServer& operator=(const SpeechdServer&) = delete;

  bool Reachable() const override { return reachable_.load(); }
  void Say(const std::string& words) override;
  void EndMessage() override;
  void StartUnit() override;
  void KeepUnit() override;
  void CutReadouts() override;
  void EndWithThisUnit() override;

  // Words queued back to back within this many milliseconds join one message.
  static constexpr long long kQuietMs = 3;

 private:
  // The two connections, as libspeechd holds them.
  struct Connections;
  explicit SpeechdServer(std::unique_ptr<Connections> connections);
  template <typename Change>
  void Apply(Change change);
  void Work();
  bool Perform(const SpeechAction& action);

  std::unique_ptr<Connections> connections_;
  std::atomic<bool> reachable_{true};
  std::mutex lock_;
  std::condition_variable changed_;
  MessageGathering gathering_{kQuietMs};
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace voxrig
