#pragma once

#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "poll/poll_cycle.h"

namespace voxrig::rig {

// A panel on a fake line whose receiver answers the level poll with `level`
// and "RX" with `receiveState`; set commands get the receiver's empty line.
struct PollRig {
  PollRig() {
    program.AttachReceiver();
    program.ctx.link.statusLine = ">";
    program.ctx.link.linkState = ReceiverAnswer::kReceived;
    program.line.responder = [this](const std::string& command) -> std::string {
      if (command == "LM") return level;
      if (command == "RX") return receiveState;
      if (command == "<1E>") return "";
      return "\r\n";
    };
  }

  // One poll cycle from idle: every step until the cycle is back at 0.
  void Cycle(const std::string& levelAnswer) {
    level = levelAnswer;
    program.ctx.link.pollState = PollStep::kSendLevelPoll;
    for (int step = 0; step < 100 && program.ctx.link.pollState != PollStep::kIdle; ++step) {
      RunPollStep(program.ctx);
    }
  }
  void Cycles(int count, const std::string& levelAnswer) {
    for (int i = 0; i < count; ++i) Cycle(levelAnswer);
  }
  int Count(const std::string& command) const {
    int n = 0;
    for (const std::string& sent : program.Commands()) n += sent == command ? 1 : 0;
    return n;
  }

  fakes::TestProgram program;
  Context& ctx = program.ctx;
  std::string level = "LM%000\r\n";
  std::string receiveState;
};

inline constexpr const char* kQuiet = "LM%000\r\n";
inline constexpr const char* kSignal = "LM 150\r\n";
inline constexpr const char* kScanningLine = "      *** SCANNING ***  ";
inline constexpr const char* kStoppedLine = "      *** STOPPED ***  ";

}  // namespace voxrig::rig
