// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechd/speechd_server.h"

#include <libspeechd.h>

#include <chrono>
#include <cstdlib>
#include <utility>
#include <vector>

namespace voxrig {

namespace {

using Clock = std::chrono::steady_clock;

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
      .count();
}

// One connection to the server; null with why in `problem`.
SPDConnection* Open(const char* name, SPDConnectionAddress* address, bool autospawn,
                    std::string& problem) {
  char* error = nullptr;
  SPDConnection* connection =
      spd_open2("voxrig", name, nullptr, SPD_MODE_SINGLE, address, autospawn ? 1 : 0, &error);
  if (connection == nullptr) {
    problem = error != nullptr ? error : "no answer";
    // libspeechd ends its reasons with a line break.
    while (!problem.empty() && (problem.back() == '\n' || problem.back() == '\r')) {
      problem.pop_back();
    }
  }
  std::free(error);
  return connection;
}

}  // namespace

struct SpeechdServer::Connections {
  SPDConnection* readouts = nullptr;
  SPDConnection* outcomes = nullptr;
};

std::unique_ptr<SpeechdServer> SpeechdServer::Connect(std::string& problem) {
  char* error = nullptr;
  SPDConnectionAddress* address = spd_get_default_address(&error);
  if (address == nullptr) {
    problem = error != nullptr ? error : "no address";
    std::free(error);
    return nullptr;
  }
  // An address the listener named is a server of theirs to reach, not one to
  // start; the default socket gets the server started, as for any client.
  const bool autospawn = std::getenv("SPEECHD_ADDRESS") == nullptr;
  SPDConnection* readouts = Open("readouts", address, autospawn, problem);
  SPDConnection* outcomes =
      readouts != nullptr ? Open("outcomes", address, false, problem) : nullptr;
  SPDConnectionAddress__free(address);
  if (outcomes == nullptr) {
    if (readouts != nullptr) spd_close(readouts);
    return nullptr;
  }
  return std::unique_ptr<SpeechdServer>(
      new SpeechdServer(std::make_unique<Connections>(Connections{readouts, outcomes})));
}

SpeechdServer::SpeechdServer(std::unique_ptr<Connections> connections)
    : connections_(std::move(connections)), worker_(&SpeechdServer::Work, this) {}

SpeechdServer::~SpeechdServer() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    gathering_.EndMessage();
    stopping_ = true;
  }
  changed_.notify_one();
  worker_.join();
  spd_close(connections_->outcomes);
  spd_close(connections_->readouts);
}

template <typename Change>
void SpeechdServer::Apply(Change change) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    change(gathering_);
  }
  changed_.notify_one();
}

void SpeechdServer::Say(const std::string& words) {
  Apply([&](MessageGathering& gathering) { gathering.Add(words, NowMs()); });
}

void SpeechdServer::EndMessage() {
  Apply([](MessageGathering& gathering) { gathering.EndMessage(); });
}

void SpeechdServer::StartUnit() {
  Apply([](MessageGathering& gathering) { gathering.StartUnit(); });
}

void SpeechdServer::KeepUnit() {
  Apply([](MessageGathering& gathering) { gathering.KeepUnit(); });
}

void SpeechdServer::CutReadouts() {
  Apply([](MessageGathering& gathering) { gathering.CutReadouts(); });
}

void SpeechdServer::EndWithThisUnit() {
  Apply([](MessageGathering& gathering) { gathering.EndWithThisUnit(); });
}

bool SpeechdServer::Perform(const SpeechAction& action) {
  switch (action.kind) {
    case SpeechAction::Kind::kSay:
      return spd_say(action.kept ? connections_->outcomes : connections_->readouts, SPD_MESSAGE,
                     action.text.c_str()) >= 0;
    case SpeechAction::Kind::kCancelReadouts:
      return spd_cancel(connections_->readouts) == 0;
  }
  return false;
}

void SpeechdServer::Work() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    std::vector<SpeechAction> due = gathering_.TakeDue(NowMs());
    if (due.empty()) {
      if (stopping_) return;
      const std::optional<long long> dueAt = gathering_.DueAt();
      if (dueAt) {
        changed_.wait_until(hold, Clock::time_point(std::chrono::milliseconds(*dueAt)));
      } else {
        changed_.wait(hold);
      }
      continue;
    }
    // The panel goes on queueing while the server is talked to.
    hold.unlock();
    for (const SpeechAction& action : due) {
      if (reachable_.load() && !Perform(action)) reachable_.store(false);
    }
    hold.lock();
  }
}

}  // namespace voxrig
