// SPDX-License-Identifier: GPL-3.0-or-later
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "fakes/connected_panel.h"
#include "net/net_control.h"
#include "posix/posix_socket.h"

// The network control on real loopback sockets, against what a careless or
// hostile client does all at once. Each case must end in answers or closed
// connections, with the panel's tick returning every time.
namespace voxrig::testing {
namespace {

class Socket {
 public:
  explicit Socket(int port, int receiveBuffer = 0) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    if (receiveBuffer > 0) {
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Not waiting for the panel: it accepts only when it is served.
    fcntl(fd_, F_SETFL, O_NONBLOCK);
    const int result = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    connected_ = result == 0 || errno == EINPROGRESS;
  }
  ~Socket() { Close(); }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  bool connected() const { return connected_; }
  void Send(const std::string& bytes) {
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  // As much as the connection takes now; how much that was.
  std::size_t SendSome(const std::string& bytes) {
    const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
  }
  // Closes with a reset, as a client that aborts its connection.
  void Abort() {
    const linger reset{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    Close();
  }
  // What has arrived so far; `closed` when the panel closed the connection.
  std::string Read(bool* closed = nullptr) {
    std::string text;
    char buffer[4096];
    for (;;) {
      const ssize_t count = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
      if (count > 0) {
        text.append(buffer, static_cast<std::size_t>(count));
        continue;
      }
      if (closed != nullptr) *closed = count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
      return text;
    }
  }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
  bool connected_ = false;
};

class NetSockets : public fakes::PanelFixture {
 protected:
  NetSockets() {
    std::string error;
    std::unique_ptr<NetListener> listener = service_.Listen("127.0.0.1", 0, error);
    EXPECT_NE(listener, nullptr) << error;
    port_ = listener->Port();
    StartNetControl(ctx, std::move(listener), stopwatch_);
  }
  // Ticks until `done` holds; the loopback delivers within a few.
  template <typename Done>
  bool ServeUntil(Done done) {
    for (int i = 0; i < 200; ++i) {
      ServeNetClients(ctx, SetTurn::kLater);
      if (done()) return true;
      usleep(1000);
    }
    return false;
  }
  PosixNetService service_;
  SteadyStopwatch stopwatch_;
  int port_ = 0;
};

TEST_F(NetSockets, AStormOfClientsEndsInAnswersOrClosedConnections) {
  // A hundred connections at once: four are served, the rest closed.
  std::vector<std::unique_ptr<Socket>> crowd;
  for (int i = 0; i < 100; ++i) crowd.push_back(std::make_unique<Socket>(port_));
  int closedCount = 0;
  ASSERT_TRUE(ServeUntil([&] {
    closedCount = 0;
    for (auto& s : crowd) {
      bool closed = false;
      s->Read(&closed);
      if (closed) ++closedCount;
    }
    return closedCount == 96;
  })) << closedCount;
  crowd.clear();
  ASSERT_TRUE(ServeUntil([&] { return ctx.net.clients.empty(); }));

  // Garbage and binary bytes are refused; a half line waits for its end.
  Socket garbage(port_);
  garbage.Send(std::string("\x01\x02\xff\n", 4) + "hello world\nf");
  std::string answers;
  ASSERT_TRUE(ServeUntil([&] { return (answers += garbage.Read()) == "RPRT -1\nRPRT -11\n"; }))
      << answers;
  garbage.Send("\n");
  ASSERT_TRUE(ServeUntil([&] { return (answers += garbage.Read()).ends_with("145000000\n"); }));

  // A client that asks for much and never reads, and one that leaves in the
  // middle of its answers: both dropped, without a signal.
  Socket deaf(port_, 4096);
  std::string flood;
  for (int i = 0; i < 1000; ++i) flood += "\\dump_state\n";
  Socket leaver(port_);
  leaver.Send("\\dump_state\n\\dump_state\n");
  leaver.Close();
  ASSERT_TRUE(ServeUntil([&] {
    deaf.SendSome(flood);
    return ctx.net.clients.size() == 1;
  })) << ctx.net.clients.size();
  EXPECT_TRUE(garbage.Read().empty());

  // A set every millisecond: each one answered; none runs outside an idle tick.
  Socket busy(port_);
  std::string sets;
  for (int i = 0; i < 200; ++i) sets += i % 2 == 0 ? "F 145000000\n" : "V VFOA\n";
  busy.Send(sets);
  std::string replies;
  ASSERT_TRUE(ServeUntil([&] {
    replies += busy.Read();
    return replies.size() == 200 * std::string("RPRT 0\n").size();
  })) << replies.size();
  EXPECT_TRUE(Commands().empty());
}

TEST_F(NetSockets, LongLinesAndAbortedConnectionsCostTheNextClientNothing) {
  // A megabyte on one line is refused at once and thrown away as it comes.
  Socket flood(port_);
  const std::string megabyte(1 << 20, 'x');
  std::size_t sent = 0;
  std::string answers;
  ASSERT_TRUE(ServeUntil([&] {
    sent += flood.SendSome(megabyte.substr(sent, 256 * 1024));
    answers += flood.Read();
    return sent == megabyte.size() && !answers.empty();
  })) << sent;
  flood.Send("\nf\n");
  ASSERT_TRUE(ServeUntil([&] { return (answers += flood.Read()).ends_with("145000000\n"); }));
  EXPECT_EQ(answers, "RPRT -1\n145000000\n");

  // The service tells of what arrives, so the panel answers at once.
  service_.WaitUntil(std::chrono::steady_clock::now());
  flood.Send("f\n");
  EXPECT_TRUE(service_.WaitUntil(std::chrono::steady_clock::now() + std::chrono::seconds(5)));

  // Fifty connections reset before the panel took them hold no place.
  for (int i = 0; i < 50; ++i) Socket(port_).Abort();
  for (int round = 0; round < 5; ++round) {
    Socket next(port_);
    next.Send("f\n");
    std::string answer;
    ASSERT_TRUE(ServeUntil([&] { return (answer += next.Read()) == "145000000\n"; })) << round;
  }
}

}  // namespace
}  // namespace voxrig::testing
