// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine.h"

namespace ar8600sim::testing {

// The engine with answers 10 ms after each CR, so every due time is known.
inline EngineConfig SteadyConfig() {
  EngineConfig config;
  config.replyDelayMinMs = 10;
  config.replyDelayMaxMs = 10;
  return config;
}

inline std::string TextOf(const std::vector<TimedByte>& bytes) {
  std::string text;
  for (const TimedByte& byte : bytes) text += byte.byte;
  return text;
}

// The receiver's two short answers: a set command done, and a refusal.
inline const std::string kDone = "\r\n";
inline const std::string kRefused = "?\r\n";

// One command and the exact bytes the receiver answers it with.
struct Exchange {
  std::string command;
  std::string answer;
};

// Drives an engine on a fake clock, the way the panel would over the line.
class Bench {
 public:
  explicit Bench(EngineConfig config = SteadyConfig()) : engine(std::move(config)) {}

  // Writes bytes at the present time; returns every byte the receiver has
  // produced since the last call, as text.
  std::string Write(std::string_view bytes) {
    engine.Receive(bytes, nowMs);
    return TextOf(engine.TakeOutput());
  }
  // One command with its CR.
  std::string Ask(std::string_view command) { return Write(std::string(command) + "\r"); }
  // Asks each command in turn; a wrong answer names its command.
  void Expect(const std::vector<Exchange>& exchanges) {
    for (const auto& [command, answer] : exchanges) EXPECT_EQ(Ask(command), answer) << command;
  }
  void ExpectRefused(const std::vector<std::string>& commands) {
    for (const std::string& command : commands) EXPECT_EQ(Ask(command), kRefused) << command;
  }
  // Lets time pass; returns what the receiver sent by itself meanwhile.
  std::string Wait(double ms) {
    nowMs += ms;
    engine.AdvanceTo(nowMs);
    return TextOf(engine.TakeOutput());
  }

  Engine engine;
  double nowMs = 0;
};

// The one fixture of the engine's tests: a steady bench, made again with
// another set-up where a test needs one.
class SimBench : public ::testing::Test {
 protected:
  void Restart(EngineConfig config) { bench = Bench(std::move(config)); }

  Bench bench;
};

}  // namespace ar8600sim::testing
