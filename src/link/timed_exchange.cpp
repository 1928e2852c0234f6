// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/timed_exchange.h"

#include <array>
#include <cstdio>

namespace voxrig {

namespace {

// How often the line is looked at while listening.
constexpr int kPollMs = 2;
constexpr int kReadSize = 256;

std::string ReadWaiting(SerialDevice& device) {
  std::string bytes;
  std::array<char, kReadSize> buffer{};
  for (int n = device.Read(buffer.data(), kReadSize); n > 0;
       n = device.Read(buffer.data(), kReadSize)) {
    bytes.append(buffer.data(), static_cast<std::size_t>(n));
  }
  return bytes;
}

bool EndsLine(const std::string& bytes) {
  return bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0;
}

}  // namespace

Exchange AskAndListen(SerialDevice& device, Stopwatch& clock, const std::string& bytes,
                      const ListenLimits& limits) {
  Exchange exchange;
  exchange.sent = bytes;
  // An answer left from before belongs to nobody's question.
  ReadWaiting(device);
  const int written = device.Write(bytes.data(), static_cast<int>(bytes.size()));
  if (written != static_cast<int>(bytes.size())) {
    exchange.lineGone = true;
    return exchange;
  }
  const double askedMs = clock.NowMs();
  for (;;) {
    const std::string got = ReadWaiting(device);
    const double nowMs = clock.NowMs() - askedMs;
    if (!got.empty()) {
      if (!exchange.firstByteMs) exchange.firstByteMs = nowMs;
      exchange.lastByteMs = nowMs;
      exchange.received += got;
    }
    if (!exchange.lastByteMs) {
      if (nowMs >= limits.answerWaitMs) break;
    } else {
      const double quiet = nowMs - *exchange.lastByteMs;
      if (EndsLine(exchange.received) && quiet >= limits.quietMs) break;
      if (quiet >= limits.answerWaitMs) break;
    }
    clock.Sleep(kPollMs);
  }
  return exchange;
}

LateAnswer ListenUntil(SerialDevice& device, Stopwatch& clock, double askedAtMs, double untilMs) {
  LateAnswer late;
  for (;;) {
    const std::string got = ReadWaiting(device);
    const double nowMs = clock.NowMs() - askedAtMs;
    if (!got.empty()) {
      if (!late.firstByteMs) late.firstByteMs = nowMs;
      late.received += got;
    }
    if (nowMs >= untilMs || device.LineGone()) break;
    clock.Sleep(kPollMs);
  }
  return late;
}

std::string ShownSafely(const std::string& bytes) {
  std::string shown;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '<') {
      shown += c;
    } else {
      std::array<char, 8> hex{};
      std::snprintf(hex.data(), hex.size(), "<%02X>", byte);
      shown += hex.data();
    }
  }
  return shown;
}

bool HoldsFrequencyField(const std::string& text) {
  for (std::size_t at = text.find("RF"); at != std::string::npos; at = text.find("RF", at + 1)) {
    std::size_t digits = 0;
    while (at + 2 + digits < text.size() && text[at + 2 + digits] >= '0' &&
           text[at + 2 + digits] <= '9') {
      ++digits;
    }
    if (digits >= 10) return true;
  }
  return false;
}

}  // namespace voxrig
