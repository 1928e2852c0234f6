// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/serial_arrival.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace voxrig {

SerialArrivalWatch::SerialArrivalWatch()
    : epoll_(epoll_create1(EPOLL_CLOEXEC)), stop_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = stop_;
  epoll_ctl(epoll_, EPOLL_CTL_ADD, stop_, &event);
  thread_ = std::thread([this] { Run(); });
}

SerialArrivalWatch::~SerialArrivalWatch() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(stop_, &one, sizeof one);
  thread_.join();
  close(stop_);
  close(epoll_);
}

void SerialArrivalWatch::OnArrival(std::function<void()> wake) {
  const std::lock_guard<std::mutex> lock(mutex_);
  wake_ = std::move(wake);
}

void SerialArrivalWatch::Watch(int fd) {
  epoll_event event{};
  event.events = EPOLLIN | EPOLLET;
  event.data.fd = fd;
  epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
}

void SerialArrivalWatch::Forget(int fd) {
  epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
}

void SerialArrivalWatch::Run() {
  epoll_event events[8];
  for (;;) {
    const int count = epoll_wait(epoll_, events, 8, -1);
    if (count < 0 && errno != EINTR) return;
    bool arrived = false;
    for (int i = 0; i < count; ++i) {
      const int fd = events[i].data.fd;
      if (fd == stop_) return;
      arrived = true;
      // A line that has hung up is told once; the panel finds it gone and
      // closes it, and a line opened again is watched afresh.
      if ((events[i].events & (EPOLLHUP | EPOLLERR)) != 0) Forget(fd);
    }
    if (!arrived) continue;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (wake_) wake_();
  }
}

}  // namespace voxrig
