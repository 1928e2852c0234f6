// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "posix/termios_serial.h"

namespace voxrig {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The receiver's end of a pseudo-terminal: the panel opens the slave path as
// its serial device, the test reads and writes the master. Termios calls on
// the master act on the slave's settings.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) return;
    slavePath_ = name;
  }
  ~PseudoTerminal() { CloseMaster(); }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& slavePath() const { return slavePath_; }
  int master() const { return master_; }

  termios SlaveSettings() const {
    termios settings{};
    EXPECT_EQ(tcgetattr(master_, &settings), 0);
    return settings;
  }
  void SetSlaveSettings(const termios& settings) {
    ASSERT_EQ(tcsetattr(master_, TCSANOW, &settings), 0);
  }

  void Send(const std::string& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // What the panel wrote, waiting up to two seconds for `count` bytes.
  std::string Receive(std::size_t count) {
    std::string got;
    const auto deadline = Clock::now() + milliseconds(2000);
    while (got.size() < count && Clock::now() < deadline) {
      pollfd line{master_, POLLIN, 0};
      if (poll(&line, 1, 50) <= 0) continue;
      char buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string slavePath_;
};

// A pseudo-terminal hands bytes from master to slave a moment later; waits
// (at most two seconds) until the panel's side sees them all.
bool WaitForBytes(SerialDevice& device, int count) {
  const auto deadline = Clock::now() + milliseconds(2000);
  while (device.BytesWaiting() < count) {
    if (Clock::now() > deadline) return false;
    poll(nullptr, 0, 2);
  }
  return true;
}

std::string ReadAll(SerialDevice& device) {
  std::string got;
  char buffer[512];
  for (int n; (n = device.Read(buffer, sizeof buffer)) > 0;) got.append(buffer, n);
  return got;
}

// Whether the terminal at path is in exclusive mode, seen through a second
// descriptor (root may open an exclusive terminal).
int ExclusiveFlag(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  int exclusive = -1;
  ioctl(fd, TIOCGEXCL, &exclusive);
  close(fd);
  return exclusive;
}

constexpr tcflag_t kInputFlow = IXON | IXOFF | IXANY;

class TermiosSerialTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(pty.slavePath().empty()); }
  PseudoTerminal pty;
  TermiosSerialOpener opener{milliseconds(50)};
};

TEST_F(TermiosSerialTest, OpenSetsRawEightNoneOneAtTheSpeedAndLeavesFlowControlAsItWas) {
  struct Case {
    tcflag_t inputFlow;
    tcflag_t hardwareFlow;
  };
  for (const Case c : {Case{IXON | IXOFF, CRTSCTS}, Case{0, 0}, Case{IXON, 0}}) {
    termios before = pty.SlaveSettings();
    before.c_iflag = (before.c_iflag & ~kInputFlow) | c.inputFlow;
    before.c_cflag = (before.c_cflag & ~CRTSCTS) | c.hardwareFlow | CSTOPB;
    before.c_lflag |= ICANON | ECHO | ISIG;
    before.c_oflag |= OPOST | ONLCR;
    pty.SetSlaveSettings(before);

    auto device = opener.Open(pty.slavePath(), 19200);
    ASSERT_NE(device, nullptr);
    const termios after = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&after), B19200);
    EXPECT_EQ(after.c_cflag & CSIZE, CS8);
    EXPECT_EQ(after.c_cflag & (PARENB | CSTOPB), 0u) << "no parity, one stop bit";
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw input";
    EXPECT_EQ(after.c_oflag & OPOST, 0u) << "raw output";
    EXPECT_EQ(after.c_iflag & kInputFlow, c.inputFlow);
    EXPECT_EQ(after.c_cflag & CRTSCTS, c.hardwareFlow);
  }
}

TEST_F(TermiosSerialTest, SetLineFormatChangesStopBitsAndKeepsTheSpeed) {
  auto device = opener.Open(pty.slavePath(), 9600);
  ASSERT_NE(device, nullptr);

  EXPECT_TRUE(device->SetLineFormat(8, 0, 2));
  termios settings = pty.SlaveSettings();
  EXPECT_NE(settings.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(settings.c_cflag & PARENB, 0u);
  EXPECT_EQ(settings.c_cflag & CSIZE, CS8);
  EXPECT_EQ(cfgetospeed(&settings), B9600);

  // Any stop code other than 1 means two stop bits; 1 means one.
  EXPECT_TRUE(device->SetLineFormat(8, 0, 1));
  EXPECT_EQ(pty.SlaveSettings().c_cflag & CSTOPB, 0u);
  EXPECT_TRUE(device->SetLineFormat(8, 0, 0));
  EXPECT_NE(pty.SlaveSettings().c_cflag & CSTOPB, 0u);
}

TEST_F(TermiosSerialTest, SetLineFormatReportsRefusalAndLeavesTheLineAsItWas) {
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  ASSERT_TRUE(device->SetLineFormat(8, 0, 2));

  // A pseudo-terminal always keeps 8 bits without parity, as a UART that
  // cannot do a format keeps its old one; codes outside the ranges are
  // refused before the device is asked.
  EXPECT_FALSE(device->SetLineFormat(7, 2, 1));
  EXPECT_FALSE(device->SetLineFormat(9, 0, 1));
  EXPECT_FALSE(device->SetLineFormat(8, 5, 1));
  const termios settings = pty.SlaveSettings();
  EXPECT_EQ(settings.c_cflag & CSIZE, CS8);
  EXPECT_EQ(settings.c_cflag & PARENB, 0u);
  EXPECT_NE(settings.c_cflag & CSTOPB, 0u) << "two stop bits stay after the refusal";
}

TEST_F(TermiosSerialTest, ReadWithNothingArrivedReturnsZeroAtOnce) {
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  device->SetReadTimeouts(-1);
  char buffer[64];
  const auto start = Clock::now();
  EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(device->BytesWaiting(), 0);
  EXPECT_LT(Clock::now() - start, milliseconds(200));
}

TEST_F(TermiosSerialTest, BytesTravelUnchangedBothWays) {
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);

  const std::string command = "VA0145.50000\r\n";
  EXPECT_EQ(device->Write(command.data(), static_cast<int>(command.size())),
            static_cast<int>(command.size()));
  EXPECT_EQ(pty.Receive(command.size()), command) << "no CR/LF translation on the way out";

  // Control characters, CR, LF and 8-bit bytes arrive as sent (XON and XOFF
  // are left out: the device's own flow control may take them).
  std::string reply = "LM012\r\n";
  for (int c : {0x00, 0x03, 0x04, 0x7F, 0x80, 0xFF}) reply += static_cast<char>(c);
  pty.Send(reply);
  ASSERT_TRUE(WaitForBytes(*device, static_cast<int>(reply.size())));
  EXPECT_EQ(device->BytesWaiting(), static_cast<int>(reply.size()));
  EXPECT_EQ(ReadAll(*device), reply);
  EXPECT_EQ(device->BytesWaiting(), 0);
}

TEST_F(TermiosSerialTest, ReadGivesNoMoreThanAskedAndKeepsTheRest) {
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  pty.Send("RF0145500000\r");
  ASSERT_TRUE(WaitForBytes(*device, 13));
  char buffer[4];
  ASSERT_EQ(device->Read(buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "RF01");
  EXPECT_EQ(device->BytesWaiting(), 9);
  EXPECT_EQ(ReadAll(*device), "45500000\r");
}

TEST_F(TermiosSerialTest, TimedReadWaitsNoLongerThanItsPerByteAllowance) {
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  device->SetReadTimeouts(5);
  pty.Send("abc");
  ASSERT_TRUE(WaitForBytes(*device, 3));
  char buffer[20];
  const auto start = Clock::now();
  // 20 bytes asked at 5 ms each: gives up after about 100 ms with what came.
  EXPECT_EQ(device->Read(buffer, 20), 3);
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, milliseconds(90));
  EXPECT_LT(waited, milliseconds(900)) << "the 1000 ms interval must not be the limit";
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST_F(TermiosSerialTest, CloseAndReopenWorks) {
  auto first = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(first, nullptr);
  first.reset();
  auto second = opener.Open(pty.slavePath(), 4800);
  ASSERT_NE(second, nullptr);
  const termios settings = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&settings), B4800);
  EXPECT_EQ(second->Write("EX\r", 3), 3);
  EXPECT_EQ(pty.Receive(3), "EX\r");
}

TEST_F(TermiosSerialTest, AnswersLeftFromAnEarlierSessionAreNotReadAfterOpening) {
  // The receiver's end keeps the line open (as the simulator does), so what
  // it sent while the panel was away still waits in the line.
  const int keeper = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(keeper, 0);
  pty.Send("LM 142\r\n");
  poll(nullptr, 0, 50);
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  device->SetReadTimeouts(-1);
  EXPECT_EQ(device->BytesWaiting(), 0);
  pty.Send("LM%000\r\n");
  ASSERT_TRUE(WaitForBytes(*device, 8));
  EXPECT_EQ(ReadAll(*device), "LM%000\r\n");
  close(keeper);
}

TEST_F(TermiosSerialTest, LastCommandWrittenBeforeClosingStillReachesTheReceiver) {
  // The receiver has not read yet when the panel sends its closing "EX" and
  // shuts the port at once.
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->Write("EX\r", 3), 3);
  device.reset();
  EXPECT_EQ(pty.Receive(3), "EX\r");
}

TEST_F(TermiosSerialTest, SpeedWithoutTermiosConstantFailsTheOpen) {
  for (int speed : {12345, 0, -9600, 19201}) {
    EXPECT_EQ(opener.Open(pty.slavePath(), speed), nullptr) << speed;
  }
  // A refused open leaves nothing locked behind.
  EXPECT_NE(opener.Open(pty.slavePath(), 19200), nullptr);
}

TEST_F(TermiosSerialTest, MissingOrNonTerminalDeviceFailsTheOpen) {
  EXPECT_EQ(opener.Open("/nonexistent/ttyS99", 19200), nullptr);
  EXPECT_EQ(opener.Open("/dev/null", 19200), nullptr);
}

TEST_F(TermiosSerialTest, SecondOpenOfTheSameDeviceFailsWhileTheFirstIsOpen) {
  auto first = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ExclusiveFlag(pty.slavePath()), 1);

  TermiosSerialOpener otherProgram;
  EXPECT_EQ(otherProgram.Open(pty.slavePath(), 19200), nullptr);
  // The refused opener must not have taken the first one's exclusive mode
  // away, nor disturbed its line.
  EXPECT_EQ(ExclusiveFlag(pty.slavePath()), 1);
  EXPECT_EQ(first->Write("LM\r", 3), 3);
  EXPECT_EQ(pty.Receive(3), "LM\r");

  first.reset();
  EXPECT_EQ(ExclusiveFlag(pty.slavePath()), 0) << "closing gives the device back";
  EXPECT_NE(otherProgram.Open(pty.slavePath(), 19200), nullptr);
}

TEST_F(TermiosSerialTest, HungUpLineReadsNothingAndWritesNothingWithoutHanging) {
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  pty.CloseMaster();

  char buffer[32];
  const auto start = Clock::now();
  EXPECT_EQ(device->BytesWaiting(), 0);
  EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(device->Write("LM\r", 3), 0);
  device->SetReadTimeouts(5);
  EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);
  EXPECT_LT(Clock::now() - start, milliseconds(500));
  device.reset();  // closing a hung-up line does not hang either
  EXPECT_LT(Clock::now() - start, milliseconds(1500));
}

// The watch's thread tells of bytes as they arrive, and of a hang-up, so
// the panel reads at once; nothing is read for it.
TEST_F(TermiosSerialTest, ArrivalsAndAHangUpAreToldAsTheyHappen) {
  std::mutex mutex;
  std::condition_variable told;
  int wakes = 0;
  const auto waitForWakes = [&](int count) {
    std::unique_lock<std::mutex> lock(mutex);
    return told.wait_for(lock, std::chrono::seconds(5), [&] { return wakes >= count; });
  };
  opener.OnArrival([&] {
    const std::lock_guard<std::mutex> lock(mutex);
    ++wakes;
    told.notify_all();
  });
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  pty.Send("LM%000\r\n");
  ASSERT_TRUE(waitForWakes(1));
  ASSERT_TRUE(WaitForBytes(*device, 8));
  EXPECT_EQ(ReadAll(*device), "LM%000\r\n");
  const int beforeHangUp = wakes;
  pty.CloseMaster();
  EXPECT_TRUE(waitForWakes(beforeHangUp + 1));
  opener.OnArrival({});
}

TEST_F(TermiosSerialTest, WriteToALineThatStopsTakingBytesGivesUpAfterTheStallLimit) {
  auto device = opener.Open(pty.slavePath(), 19200);
  ASSERT_NE(device, nullptr);
  // Nobody reads the master, so the line fills up and stops taking bytes.
  const std::string flood(4 * 1024 * 1024, 'A');
  const auto start = Clock::now();
  const int written = device->Write(flood.data(), static_cast<int>(flood.size()));
  EXPECT_GT(written, 0);
  EXPECT_LT(written, static_cast<int>(flood.size()));
  EXPECT_LT(Clock::now() - start, milliseconds(1500));
}

}  // namespace
}  // namespace voxrig
