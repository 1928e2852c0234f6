// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/context.h"
#include "link/ar8600/ar8600_commands.h"
#include "link/timed_exchange.h"
#include "platform/file_system.h"
#include "platform/serial_survey.h"
#include "platform/stopwatch.h"

namespace voxrig {

// What the set-up and the probe work with besides the context: the serial
// devices, time for bounded waits, and the terminal they print their steps on.
struct SetupTools {
  SerialSurvey& survey;
  Stopwatch& clock;
  OutputFile& console;
  ListenLimits limits;
};

// The receiver's speeds, in the order they are tried: its factory speed first.
inline constexpr int kReceiverSpeeds[] = {19200, 9600, 4800};
// The harmless question that finds the receiver: read its receive state.
// Only a receiver answers it with a frequency field.
inline constexpr const char* kFindingQuestion = receiver::kReadReceiveState;

// Prints a line on the terminal and speaks the prompts after it.
void Tell(Context& ctx, SetupTools& tools, const std::string& text,
          const std::vector<std::string>& prompts = {});

// A receiver that answered, with its line still open at the speed it
// answered at (8 data bits, no parity, 2 stop bits).
struct FoundReceiver {
  std::string path;  // the device as listed or given
  int baudRate = 0;
  std::string answer;  // its answer to the finding question, raw
  std::unique_ptr<SerialDevice> device;
  // A radio found through Hamlib: opened as the panel's radio instead.
  std::unique_ptr<Receiver> radio;
};

// Looks for the receiver on `device` alone, or on every serial device there
// is, telling each step and each problem with its fix. Nothing when no
// receiver answered (the reasons are told).
std::optional<FoundReceiver> FindReceiver(Context& ctx, SetupTools& tools,
                                          const std::optional<std::string>& device);

// Gives the receiver's own keys back ("EX", as the panel does when it closes).
void ReleaseReceiver(FoundReceiver& receiver);

}  // namespace voxrig
