// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a radio through Hamlib: models Hamlib has and has not, and the
// radio's serial device held for this program alone, with Hamlib's AR8600
// driver (model 5013) against a receiver answering on a pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "hamlib/hamlib_library.h"
#include "posix/termios_serial.h"

namespace voxrig {
namespace {

TEST(HamlibLibrary, OpensNothingForAModelHamlibDoesNotKnow) {
  TermiosDeviceLocker devices;
  HamlibLibrary library(devices);
  const HamlibAttempt attempt = library.OpenRadio(987654, "/dev/null", 19200);
  EXPECT_EQ(attempt.radio, nullptr);
  EXPECT_EQ(attempt.failure, HamlibFailure::kUnknownModel);
  EXPECT_FALSE(library.KnowsModel(987654));
  EXPECT_TRUE(library.KnowsModel(1));
  EXPECT_TRUE(library.KnowsModel(5013));
}

// An AR8600 at the far end of a pseudo-terminal, as far as Hamlib's AR8600
// driver needs one to open: "RX" is answered with a receive state, any other
// line with CR LF.
class AnsweringReceiver {
 public:
  AnsweringReceiver() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    char name[128] = {};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
      return;
    }
    path_ = name;
    server_ = std::thread([this] { Serve(); });
  }
  ~AnsweringReceiver() {
    stop_ = true;
    if (server_.joinable()) server_.join();
    if (master_ >= 0) close(master_);
  }
  AnsweringReceiver(const AnsweringReceiver&) = delete;
  AnsweringReceiver& operator=(const AnsweringReceiver&) = delete;

  const std::string& path() const { return path_; }
  int linesHeard() const { return linesHeard_; }

 private:
  void Serve() {
    std::string pending;
    while (!stop_) {
      pollfd line{master_, POLLIN, 0};
      if (poll(&line, 1, 20) <= 0 || (line.revents & POLLIN) == 0) continue;
      char buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) continue;
      pending.append(buffer, static_cast<std::size_t>(n));
      for (auto end = pending.find('\r'); end != std::string::npos; end = pending.find('\r')) {
        const std::string command = pending.substr(0, end);
        pending.erase(0, end + 1);
        ++linesHeard_;
        const std::string answer = command.starts_with("RX")
                                       ? "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n"
                                       : std::string("\r\n");
        if (write(master_, answer.data(), answer.size()) < 0) return;
      }
    }
  }

  int master_ = -1;
  std::string path_;
  std::atomic<bool> stop_{false};
  std::atomic<int> linesHeard_{0};
  std::thread server_;
};

// Hamlib's own open takes no lock: the panel holds a radio's serial device
// with the own line's, so two panels never drive one receiver.
TEST(HamlibLibrary, HoldsTheRadiosDeviceForThisProgramAloneAsTheOwnLineDoes) {
  AnsweringReceiver receiver;
  ASSERT_FALSE(receiver.path().empty());
  TermiosDeviceLocker devices;
  HamlibLibrary library(devices);
  TermiosSerialOpener ownLine;
  {
    // Held by a panel on the own line: refused at once, nothing sent.
    const auto held = ownLine.Open(receiver.path(), 19200);
    ASSERT_NE(held, nullptr);
    const HamlibAttempt refused = library.OpenRadio(5013, receiver.path(), 19200);
    EXPECT_EQ(refused.radio, nullptr);
    EXPECT_EQ(refused.failure, HamlibFailure::kDevice);
    EXPECT_EQ(refused.deviceFailure, OpenFailure::kInUse);
    EXPECT_EQ(receiver.linesHeard(), 0);
  }
  HamlibAttempt first = library.OpenRadio(5013, receiver.path(), 19200);
  ASSERT_NE(first.radio, nullptr);
  // Held through Hamlib: a second panel is refused either way.
  EXPECT_EQ(library.OpenRadio(5013, receiver.path(), 19200).deviceFailure, OpenFailure::kInUse);
  EXPECT_EQ(ownLine.Open(receiver.path(), 19200), nullptr);
  // Let go when the radio closes.
  first.radio.reset();
  EXPECT_NE(ownLine.Open(receiver.path(), 19200), nullptr);
}

}  // namespace
}  // namespace voxrig
