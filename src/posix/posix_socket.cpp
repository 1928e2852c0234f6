// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/posix_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

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

}  // namespace

// The epoll set of the service's sockets and the thread that waits on it.
// Sockets are watched edge-triggered: each arrival is told once, and the
// panel reads until nothing is left.
struct PosixNetService::Watch {
  Watch() : epoll(epoll_create1(EPOLL_CLOEXEC)), stop(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = stop;
    epoll_ctl(epoll, EPOLL_CTL_ADD, stop, &event);
  }
  ~Watch() {
    close(stop);
    close(epoll);
  }
  void Add(int fd) const {
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP | EPOLLET;
    event.data.fd = fd;
    epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
  }
  void Run() {
    epoll_event events[16];
    for (;;) {
      const int count = epoll_wait(epoll, events, 16, -1);
      if (count < 0 && errno != EINTR) return;
      bool arrived = false;
      for (int i = 0; i < count; ++i) {
        if (events[i].data.fd == stop) return;
        arrived = true;
      }
      if (!arrived) continue;
      std::lock_guard<std::mutex> lock(mutex);
      pending = true;
      changed.notify_all();
      if (wake) wake();
    }
  }

  const int epoll;
  const int stop;
  std::thread thread;
  std::mutex mutex;
  std::condition_variable changed;
  bool pending = false;
  std::function<void()> wake;
};

namespace {

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

bool IsLoopback(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    return (ntohl(v4.sin_addr.s_addr) >> 24) == 127;
  }
  if (address.ss_family == AF_INET6) {
    const in6_addr& v6 = reinterpret_cast<const sockaddr_in6&>(address).sin6_addr;
    if (IN6_IS_ADDR_LOOPBACK(&v6)) return true;
    return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
  }
  return false;
}

class PosixListener : public NetListener {
 public:
  PosixListener(int fd, std::shared_ptr<PosixNetService::Watch> watch)
      : fd_(fd), watch_(std::move(watch)) {
    watch_->Add(fd_.get());
  }

  std::unique_ptr<NetConnection> Accept() override {
    for (;;) {
      const int fd = accept4(fd_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd >= 0) {
        // A client that does not read is found out after this much, rather
        // than after megabytes the system would otherwise hold for it.
        const int sendBuffer = kSendBufferBytes;
        setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
        auto connection = std::make_unique<PosixConnection>(fd);
        watch_->Add(fd);
        return connection;
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

  bool LoopbackOnly() const override {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) return false;
    return IsLoopback(address);
  }

 private:
  Descriptor fd_;
  std::shared_ptr<PosixNetService::Watch> watch_;
};

}  // namespace

PosixNetService::PosixNetService() : watch_(std::make_shared<Watch>()) {
  watch_->thread = std::thread([watch = watch_.get()] { watch->Run(); });
}

PosixNetService::~PosixNetService() {
  const std::uint64_t one = 1;
  // An eventfd always takes a count of one.
  [[maybe_unused]] const ssize_t written = write(watch_->stop, &one, sizeof one);
  watch_->thread.join();
}

void PosixNetService::OnActivity(std::function<void()> wake) {
  std::lock_guard<std::mutex> lock(watch_->mutex);
  watch_->wake = std::move(wake);
}

bool PosixNetService::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> lock(watch_->mutex);
  watch_->changed.wait_until(lock, deadline, [this] { return watch_->pending; });
  const bool arrived = watch_->pending;
  watch_->pending = false;
  return arrived;
}

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
    listener = std::make_unique<PosixListener>(fd.release(), watch_);
  }
  freeaddrinfo(found);
  return listener;
}

}  // namespace voxrig
