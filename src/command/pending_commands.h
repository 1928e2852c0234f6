#pragma once

#include <string>

#include "core/context.h"

// The key sequences the interpreter can have in progress.
namespace voxrig {

namespace pending {
inline constexpr int kNone = 0;
inline constexpr int kLowerLimit = 1;       // S
inline constexpr int kUpperLimit = 2;       // E
inline constexpr int kStep = 3;             // I
inline constexpr int kTransfer = 4;         // T
inline constexpr int kPut = 5;              // P
inline constexpr int kSort = 6;             // O
inline constexpr int kSelectBank = 7;       // B
inline constexpr int kMemoryScan = 8;       // G
inline constexpr int kWriteToReceiver = 9;  // W
inline constexpr int kDeleteBank = 10;      // D
inline constexpr int kKillChannel = 11;     // K
inline constexpr int kReadReceiver = 12;    // X
}  // namespace pending

// Ends the key sequence in progress with a refusal: says `prompt`, and the
// Enter that would have completed the sequence says it again and does
// nothing else (no "ok", no tuning).
void RefuseSequence(Context& ctx, const char* prompt);

}  // namespace voxrig
