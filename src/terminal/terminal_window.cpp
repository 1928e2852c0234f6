// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/terminal_window.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <termkey.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <string_view>

namespace voxrig {

namespace {

void PushClose(std::vector<WindowEvent>& out) {
  const bool already = std::any_of(out.begin(), out.end(), [](const WindowEvent& e) {
    return e.kind == EventKind::kCloseRequest;
  });
  if (!already) out.push_back({EventKind::kCloseRequest, 0});
}

}  // namespace

TerminalWindow::TerminalWindow(int inputFd, std::function<void()> beforeWait)
    : inputFd_(inputFd),
      beforeWait_(std::move(beforeWait)),
      wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TerminalWindow::TerminalWindow(std::function<void()> beforeWait)
    : TerminalWindow(STDIN_FILENO, std::move(beforeWait)) {}

bool TerminalWindow::StandardInputIsTerminal() {
  return isatty(STDIN_FILENO) == 1;
}

TerminalWindow::~TerminalWindow() {
  Close();
  if (wakeFd_ >= 0) close(wakeFd_);
}

void TerminalWindow::PostNetworkActivity() {
  Post(networkPosted_);
}

void TerminalWindow::PostRadioActivity() {
  Post(radioPosted_);
}

// Only the first post before the loop takes it writes to the descriptor.
void TerminalWindow::Post(std::atomic<bool>& posted) {
  if (wakeFd_ < 0 || posted.exchange(true)) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

void TerminalWindow::TakePosts(std::vector<WindowEvent>& out) {
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t taken = read(wakeFd_, &count, sizeof count);
  if (networkPosted_.exchange(false)) out.push_back({EventKind::kNetworkActivity, 0});
  if (radioPosted_.exchange(false)) out.push_back({EventKind::kRadioActivity, 0});
}

bool TerminalWindow::Open(const WindowSpec&) {
  if (keys_) return true;
  if (!isatty(inputFd_)) return false;
  // Ctrl+C comes as a key, so the panel ends through its shutdown (the
  // receiver is told "EX") rather than being killed mid-command.
  // libtermkey takes the terminal's own modes for it (and gives them back
  // at Close); the bytes are read here and decoded apart.
  keys_ = termkey_new(inputFd_, TERMKEY_FLAG_CTRLC);
  if (!keys_) return false;
  decoder_ = std::make_unique<TerminalKeyDecoder>();
  // The signals that end a terminal program are read as events on the one
  // thread, never by a handler: blocked here, before any other thread is
  // started, they stay blocked in every thread and wait in the descriptor.
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  sigaddset(&ending, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &ending, &oldMask_);
  signalFd_ = signalfd(-1, &ending, SFD_CLOEXEC | SFD_NONBLOCK);
  closeRequested_ = false;
  return true;
}

void TerminalWindow::StartTimer(int periodMs) {
  period_ = std::chrono::milliseconds(std::max(1, periodMs));
  nextTick_ = Clock::now() + period_;
  timerOn_ = true;
}

void TerminalWindow::StopTimer() {
  timerOn_ = false;
}

void TerminalWindow::WakeAfter(int ms) {
  wakeAt_ = Clock::now() + std::chrono::milliseconds(std::max(0, ms));
  wakeOn_ = true;
}

int TerminalWindow::TimeoutMs(Clock::time_point now) const {
  // A whole millisecond more than what is left, so poll never returns just
  // before the moment and the loop does not spin.
  const auto until = [now](Clock::time_point moment) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(moment - now);
    return static_cast<int>(std::max<long long>(0, left.count() + 1));
  };
  int timeout = -1;
  if (timerOn_) timeout = until(nextTick_);
  if (wakeOn_) timeout = timeout < 0 ? until(wakeAt_) : std::min(timeout, until(wakeAt_));
  if (decoder_ && decoder_->Waiting()) {
    const int wait = decoder_->WaitMs();
    timeout = timeout < 0 ? wait : std::min(timeout, wait);
  }
  return timeout;
}

bool TerminalWindow::ReadKeys(std::vector<WindowEvent>& out) {
  char bytes[4096];
  const ssize_t count = read(inputFd_, bytes, sizeof bytes);
  if (count < 0) return errno == EINTR || errno == EAGAIN;
  if (count == 0) return false;
  lastInput_ = Clock::now();
  decoder_->Take(std::string_view(bytes, static_cast<std::size_t>(count)), out);
  return true;
}

std::vector<WindowEvent> TerminalWindow::WaitEvents() {
  if (!keys_ || closeRequested_) return {WindowEvent{EventKind::kCloseRequest, 0}};
  if (beforeWait_) beforeWait_();
  std::vector<WindowEvent> events;
  while (events.empty()) {
    // The signals' descriptor stands in for itself when there is none, and
    // so does the wake-ups'.
    pollfd watched[3] = {{inputFd_, POLLIN, 0}, {signalFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    const int ready = poll(watched, 3, TimeoutMs(Clock::now()));
    if (ready < 0 && errno != EINTR) {
      PushClose(events);
      break;
    }
    if (ready > 0 && (watched[1].revents & POLLIN) != 0) {
      signalfd_siginfo info;
      while (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
      }
      PushClose(events);
    }
    if (ready > 0 && (watched[2].revents & POLLIN) != 0) TakePosts(events);
    if (ready > 0 && (watched[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      // A terminal that has gone (the SSH connection dropped) reads as its end.
      if (!ReadKeys(events)) PushClose(events);
    } else if (decoder_->Waiting() &&
               Clock::now() - lastInput_ >= std::chrono::milliseconds(decoder_->WaitMs())) {
      // Nothing more came: a lone Escape is a key, and the rest of a
      // sequence being thrown away never came.
      decoder_->Settle(events);
    }
    const Clock::time_point now = Clock::now();
    if (timerOn_ && now >= nextTick_) {
      // One tick however late: ticks that fell due while the panel was busy
      // do not pile up.
      events.push_back({EventKind::kTimerTick, 0});
      while (nextTick_ <= now) nextTick_ += period_;
    }
    if (wakeOn_ && now >= wakeAt_) {
      events.push_back({EventKind::kWake, 0});
      wakeOn_ = false;
    }
  }
  if (std::any_of(events.begin(), events.end(),
                  [](const WindowEvent& e) { return e.kind == EventKind::kCloseRequest; })) {
    closeRequested_ = true;
  }
  return events;
}

void TerminalWindow::Close() {
  wakeOn_ = false;
  if (!keys_) return;
  // Destroying the decoder gives the terminal its own settings back.
  termkey_destroy(keys_);
  keys_ = nullptr;
  if (signalFd_ >= 0) close(signalFd_);
  signalFd_ = -1;
  pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
}

}  // namespace voxrig
