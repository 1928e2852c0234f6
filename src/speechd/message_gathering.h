// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace voxrig {

// What goes to speech-dispatcher, in order: a message, said on the outcome
// connection when it belongs to a kept unit (a cancel never reaches it), or
// the cancel of the readouts sent so far.
struct SpeechAction {
  enum class Kind { kSay, kCancelReadouts };
  Kind kind = Kind::kSay;
  std::string text;
  bool kept = false;
  bool operator==(const SpeechAction&) const = default;
};

// Gathers the words the panel queues into messages, and keeps the panel's
// units: words queued back to back join one message, which goes out once
// `quietMs` pass without another word, or at once when a pause, a new unit
// or a cut ends it. A cut drops the readouts not sent yet and cancels those
// sent; a kept unit is never dropped. The times are the caller's clock in
// milliseconds, so the gathering itself never waits.
class MessageGathering {
 public:
  explicit MessageGathering(long long quietMs) : quietMs_(quietMs) {}

  void Add(const std::string& words, long long nowMs);
  void EndMessage();
  void StartUnit();
  void KeepUnit();
  void CutReadouts();
  // Drops all not sent but the unit now queued when it is kept, and cancels
  // the readouts sent.
  void EndWithThisUnit();

  // The actions due at `nowMs`, in order; each is handed out once.
  std::vector<SpeechAction> TakeDue(long long nowMs);
  // When the message being gathered falls due; none without one.
  std::optional<long long> DueAt() const;

 private:
  struct Pending {
    SpeechAction action;
    unsigned long unit = 0;
  };
  struct Gathered {
    std::string text;
    unsigned long unit = 0;
    bool kept = false;
    long long lastMs = 0;
  };
  void CloseMessage();
  void DropReadouts(bool keepThisUnit);

  long long quietMs_;
  std::optional<Gathered> gathering_;
  std::deque<Pending> ready_;
  unsigned long unit_ = 0;
  bool unitKept_ = false;
  // A readout has been handed out since the last cancel: a cut must reach it.
  bool readoutsOut_ = false;
};

}  // namespace voxrig
