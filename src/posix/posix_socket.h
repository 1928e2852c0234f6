// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include "platform/net_socket.h"

namespace voxrig {

// TCP through POSIX sockets. Every descriptor is non-blocking and closed on
// exec; sends use MSG_NOSIGNAL, so a client that disconnects mid-answer costs
// an error code rather than SIGPIPE. A thread of the service's own watches its
// sockets (epoll) and tells of what arrives, so the panel answers at once
// rather than on its next tick; it never reads or writes a socket itself.
class PosixNetService : public NetService, public NetActivity {
 public:
  PosixNetService();
  ~PosixNetService() override;
  PosixNetService(const PosixNetService&) = delete;
  PosixNetService& operator=(const PosixNetService&) = delete;

  std::unique_ptr<NetListener> Listen(const std::string& address, int port,
                                      std::string& error) override;
  bool WaitUntil(std::chrono::steady_clock::time_point deadline) override;
  // Called on the watching thread each time something arrives; empty to stop.
  void OnActivity(std::function<void()> wake);

  struct Watch;

 private:
  std::shared_ptr<Watch> watch_;
};

}  // namespace voxrig
