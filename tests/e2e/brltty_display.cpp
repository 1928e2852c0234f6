// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/brltty_display.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <random>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

using namespace std::chrono_literals;

constexpr int kBrlapiBasePort = 4101;

bool CanConnect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

bool CanBind(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}

// A server number whose port is free, drawn at random so that tests running
// side by side do not meet.
int FreeServerNumber() {
  std::random_device seed;
  std::uniform_int_distribution<int> pick(20, 900);
  for (int tries = 0; tries < 50; ++tries) {
    const int number = pick(seed);
    if (CanBind(kBrlapiBasePort + number)) return number;
  }
  throw std::runtime_error("no free port for a BrlAPI server");
}

}  // namespace

BrlttyDisplay::BrlttyDisplay() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    throw std::runtime_error("cannot open a pseudo-terminal for brltty");
  }
  const std::string device = ptsname(master_);
  termios raw{};
  tcgetattr(master_, &raw);
  cfmakeraw(&raw);
  tcsetattr(master_, TCSANOW, &raw);
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

  const int number = FreeServerNumber();
  host_ = "127.0.0.1:" + std::to_string(number);
  ChildSpec launch;
  launch.program = "/usr/sbin/brltty";
  // No daemon, messages on standard error, the TTY driver on the terminal,
  // no screen and no speech, the server on the loopback address only.
  launch.arguments = {"-n",
                      "-e",
                      "-q",
                      "-b",
                      "tt",
                      "-d",
                      "serial:" + device.substr(std::string("/dev/").size()),
                      "-x",
                      "no",
                      "-s",
                      "no",
                      "-A",
                      "auth=none,host=" + host_};
  launch.outputFile = "/dev/null";
  brltty_ = std::make_unique<ChildProcess>(launch);
  const auto giveUp = std::chrono::steady_clock::now() + 10s;
  while (!CanConnect(kBrlapiBasePort + number)) {
    if (std::chrono::steady_clock::now() > giveUp || !brltty_->Running()) {
      throw std::runtime_error("brltty did not start its BrlAPI server on " + host_);
    }
    std::this_thread::sleep_for(50ms);
  }
}

BrlttyDisplay::~BrlttyDisplay() {
  if (brltty_) brltty_->Stop();
  if (master_ >= 0) close(master_);
}

// The TTY driver clears the terminal and writes the line's text, then a CR
// and the cells: the text between "ESC[H ESC[J" and the CR is the line.
std::string BrlttyDisplay::Text() {
  char bytes[4096];
  ssize_t count = 0;
  while ((count = read(master_, bytes, sizeof bytes)) > 0) output_.append(bytes, count);
  const std::string clear = "\x1b[H\x1b[J";
  std::size_t start = output_.rfind(clear);
  while (start != std::string::npos) {
    const std::size_t end = output_.find('\r', start);
    if (end != std::string::npos) {
      text_ = output_.substr(start + clear.size(), end - start - clear.size());
      output_.erase(0, end);
      break;
    }
    start = start == 0 ? std::string::npos : output_.rfind(clear, start - 1);
  }
  return text_;
}

bool BrlttyDisplay::WaitForText(const std::string& text, std::chrono::milliseconds limit) {
  const auto giveUp = std::chrono::steady_clock::now() + limit;
  while (Text() != text) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

void BrlttyDisplay::Type(const std::string& characters) {
  // One at a time, as fingers would: the driver reads a key per character.
  for (char c : characters) {
    [[maybe_unused]] const ssize_t written = write(master_, &c, 1);
    std::this_thread::sleep_for(20ms);
  }
}

}  // namespace e2e
