#include "platform/posix_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace voxrig {

namespace {

// Connections waiting to be accepted; the panel takes them on its next tick.
// Room for a burst of a hundred, so that each is answered or closed at once
// rather than left retrying its connect.
constexpr int kBacklog = 128;
constexpr int kSendBufferBytes = 64 * 1024;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool WouldWait(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

class PosixConnection : public NetConnection {
 public:
  explicit PosixConnection(int fd) : fd_(fd) {}

  long Receive(char* buffer, std::size_t size) override {
    const ssize_t count = recv(fd_.get(), buffer, size, MSG_DONTWAIT);
    if (count > 0) return static_cast<long>(count);
    if (count < 0 && WouldWait(errno)) return 0;
    return -1;  // an orderly close (0) or a failure
  }

  long Send(const char* bytes, std::size_t size) override {
    const ssize_t count = send(fd_.get(), bytes, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (count >= 0) return static_cast<long>(count);
    return WouldWait(errno) ? 0 : -1;
  }

 private:
  Descriptor fd_;
};

class PosixListener : public NetListener {
 public:
  explicit PosixListener(int fd) : fd_(fd) {}

  std::unique_ptr<NetConnection> Accept() override {
    for (;;) {
      const int fd = accept4(fd_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd >= 0) {
        // A client that does not read is found out after this much, rather
        // than after megabytes the system would otherwise hold for it.
        const int sendBuffer = kSendBufferBytes;
        setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
        return std::make_unique<PosixConnection>(fd);
      }
      // A connection reset before it was taken is skipped; anything else
      // (nobody waiting, out of descriptors) waits for the next tick.
      if (errno != ECONNABORTED && errno != EINTR) return nullptr;
    }
  }

  int Port() const override {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
    if (address.ss_family == AF_INET6) {
      return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    }
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
  }

 private:
  Descriptor fd_;
};

}  // namespace

std::unique_ptr<NetListener> PosixNetService::Listen(const std::string& address, int port,
                                                     std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  const int lookup = getaddrinfo(address.c_str(), service.c_str(), &hints, &found);
  if (lookup != 0) {
    error = gai_strerror(lookup);
    return nullptr;
  }
  error = "no usable address";
  std::unique_ptr<NetListener> listener;
  for (addrinfo* entry = found; entry != nullptr && !listener; entry = entry->ai_next) {
    Descriptor fd(socket(entry->ai_family, entry->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                         entry->ai_protocol));
    if (fd.get() < 0) {
      error = std::strerror(errno);
      continue;
    }
    // A panel restarted at once may take its port back from the old
    // connections still closing.
    const int on = 1;
    setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd.get(), entry->ai_addr, entry->ai_addrlen) != 0 || listen(fd.get(), kBacklog) != 0) {
      error = std::strerror(errno);
      continue;
    }
    listener = std::make_unique<PosixListener>(fd.release());
  }
  freeaddrinfo(found);
  return listener;
}

}  // namespace voxrig
