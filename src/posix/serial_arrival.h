// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <mutex>
#include <thread>

namespace voxrig {

// Watches the receiver's open lines from a thread of its own and tells of
// every arrival at once, so the panel reads an answer the moment it has come
// rather than on its next tick. It never reads a line itself: the panel's
// thread does, as before. Lines are watched edge-triggered, so bytes left
// unread wake nobody twice.
class SerialArrivalWatch {
 public:
  SerialArrivalWatch();
  ~SerialArrivalWatch();
  SerialArrivalWatch(const SerialArrivalWatch&) = delete;
  SerialArrivalWatch& operator=(const SerialArrivalWatch&) = delete;

  // `wake` runs on the watch's thread after each arrival, and for a line
  // that hangs up; an empty one stops the telling.
  void OnArrival(std::function<void()> wake);
  void Watch(int fd);
  // Before the descriptor is closed, so that a later one of the same number
  // is not taken for it.
  void Forget(int fd);

 private:
  void Run();

  const int epoll_;
  const int stop_;
  std::mutex mutex_;
  std::function<void()> wake_;
  std::thread thread_;
};

}  // namespace voxrig
