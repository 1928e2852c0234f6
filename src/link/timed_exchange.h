// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/serial_device.h"
#include "platform/stopwatch.h"

namespace voxrig {

// One question to the receiver and everything it sent back, as it came.
struct Exchange {
  std::string sent;      // the bytes written, CR included
  std::string received;  // the raw bytes read
  // Milliseconds from the question's last byte leaving to the first and the
  // last byte of the answer; none when nothing came.
  std::optional<double> firstByteMs;
  std::optional<double> lastByteMs;
  bool lineGone = false;  // the question could not be written: the line is gone
};

// How long an exchange listens: up to `answerWaitMs` for the first byte;
// once bytes come, until the answer has ended in CR LF and been quiet for
// `quietMs` (several lines, such as a bank read, follow each other closely),
// and never longer than `answerWaitMs` past the last byte.
//
// A receiver behind a slow adapter may answer later than that; whatever
// comes within `lateAnswerMs` of a question is still its answer, and must be
// read away before the next question, or it would pass for that one's.
struct ListenLimits {
  int answerWaitMs = 1000;
  int quietMs = 120;
  int lateAnswerMs = 2500;
};

// Reads away anything already waiting, writes `question` (no CR added when
// it is empty: the bytes go as given) and listens. The device must read
// without waiting (SetReadTimeouts(-1)).
Exchange AskAndListen(SerialDevice& device, Stopwatch& clock, const std::string& bytes,
                      const ListenLimits& limits);

// What came after an exchange had stopped listening: the bytes, and when
// the first of them came, in milliseconds from the question.
struct LateAnswer {
  std::string received;
  std::optional<double> firstByteMs;
};

// Reads whatever arrives until `untilMs` milliseconds after `askedAtMs` (a
// time of `clock`) and hands it back, so a late answer is read away instead
// of being left for the next question.
LateAnswer ListenUntil(SerialDevice& device, Stopwatch& clock, double askedAtMs, double untilMs);

// Bytes as text anyone can read: printable ASCII as it is, every other byte
// and "<" as <XX> in hex, so CR LF shows as <0D><0A>.
std::string ShownSafely(const std::string& bytes);

// True when the text holds the receiver's frequency field: "RF" and ten digits.
bool HoldsFrequencyField(const std::string& text);

}  // namespace voxrig
