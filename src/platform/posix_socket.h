#pragma once

#include "platform/net_socket.h"

namespace voxrig {

// TCP through POSIX sockets. Every descriptor is non-blocking and closed on
// exec; sends use MSG_NOSIGNAL, so a client that disconnects mid-answer costs
// an error code rather than SIGPIPE.
class PosixNetService : public NetService {
 public:
  std::unique_ptr<NetListener> Listen(const std::string& address, int port,
                                      std::string& error) override;
};

}  // namespace voxrig
