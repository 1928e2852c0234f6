// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/termios_serial.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace voxrig {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The interval a timed read allows between bytes once the first has come.
constexpr milliseconds kReadInterval{1000};
// How long closing waits for the last bytes (the final "EX") to leave.
constexpr milliseconds kCloseDrainLimit{500};

// The character-format bits of c_cflag that the panel sets and checks.
constexpr tcflag_t kFormatBits = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

std::optional<speed_t> SpeedConstant(int baudRate) {
  static constexpr std::array<std::pair<int, speed_t>, 30> kSpeeds{{
      {50, B50},           {75, B75},           {110, B110},         {134, B134},
      {150, B150},         {200, B200},         {300, B300},         {600, B600},
      {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
      {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
      {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
      {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
      {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
      {3500000, B3500000}, {4000000, B4000000},
  }};
  if (baudRate <= 0) return std::nullopt;
  for (const auto& [rate, constant] : kSpeeds) {
    if (rate == baudRate) return constant;
  }
  return std::nullopt;
}

std::optional<tcflag_t> SizeBits(int dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    case 8:
      return CS8;
    default:
      return std::nullopt;
  }
}

// Parity codes as the panel gives them: 0 none, 1 odd, 2 even, and the
// serial-port conventions 3 mark and 4 space.
std::optional<tcflag_t> ParityBits(int parityCode) {
  switch (parityCode) {
    case 0:
      return tcflag_t{0};
    case 1:
      return tcflag_t{PARENB | PARODD};
    case 2:
      return tcflag_t{PARENB};
    case 3:
      return tcflag_t{PARENB | PARODD | CMSPAR};
    case 4:
      return tcflag_t{PARENB | CMSPAR};
    default:
      return std::nullopt;
  }
}

// tcsetattr() succeeds when any part of the request was taken, so the
// settings are read back: a driver that cannot do a speed or a format keeps
// its old value, and that counts as a refusal.
bool SetAndConfirm(int fd, const termios& wanted) {
  if (tcsetattr(fd, TCSANOW, &wanted) != 0) return false;
  termios actual{};
  if (tcgetattr(fd, &actual) != 0) return false;
  if ((actual.c_cflag & kFormatBits) != (wanted.c_cflag & kFormatBits)) return false;
  if (cfgetospeed(&actual) != cfgetospeed(&wanted)) return false;
  // An input speed of 0 means "the same as the output speed".
  const speed_t input = cfgetispeed(&actual);
  return input == 0 || input == cfgetispeed(&wanted);
}

// Raw bytes both ways: no echo, no line editing, no signals, no CR/LF
// translation, no stripping of the eighth bit. Flow control (IXON, IXOFF,
// IXANY, CRTSCTS) is deliberately left as the device had it.
termios RawEightNoneOne(const termios& current, speed_t speed) {
  termios raw = current;
  raw.c_iflag &= ~tcflag_t{IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL};
  raw.c_oflag &= ~tcflag_t{OPOST};
  raw.c_lflag &= ~tcflag_t{ECHO | ECHONL | ICANON | ISIG | IEXTEN};
  raw.c_cflag &= ~kFormatBits;
  raw.c_cflag |= CS8 | CREAD | CLOCAL;
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  cfsetispeed(&raw, speed);
  cfsetospeed(&raw, speed);
  return raw;
}

// Closes a descriptor on the failure paths of Open; gives up the exclusive
// mode only when this opener set it (never another instance's).
class OpenGuard {
 public:
  explicit OpenGuard(int fd) : fd_(fd) {}
  ~OpenGuard() {
    if (fd_ < 0) return;
    if (exclusive_) ioctl(fd_, TIOCNXCL);
    close(fd_);
  }
  OpenGuard(const OpenGuard&) = delete;
  OpenGuard& operator=(const OpenGuard&) = delete;
  void MarkExclusive() { exclusive_ = true; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
  bool exclusive_ = false;
};

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<std::int64_t>(left, 0, INT32_MAX));
}

constexpr short kLineGone = POLLHUP | POLLERR | POLLNVAL;

}  // namespace

TermiosSerialDevice::TermiosSerialDevice(int fd, milliseconds writeStallLimit)
    : fd_(fd), writeStallLimit_(writeStallLimit) {}

TermiosSerialDevice::~TermiosSerialDevice() {
  // Let what was written last (the closing "EX") leave the port, but only
  // briefly: close() on a stalled line could otherwise wait for half a minute.
  const auto deadline = Clock::now() + kCloseDrainLimit;
  int queued = 0;
  while (ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0 && Clock::now() < deadline) {
    poll(nullptr, 0, 5);
  }
  // Discard only what is still stuck after the drain time: a pseudo-terminal
  // reports nothing queued, and flushing it would lose the "EX" not yet read.
  if (queued > 0) tcflush(fd_, TCOFLUSH);
  ioctl(fd_, TIOCNXCL);
  if (arrivals_) arrivals_->Forget(fd_);
  close(fd_);
}

void TermiosSerialDevice::TellArrivals(std::shared_ptr<SerialArrivalWatch> arrivals) {
  arrivals_ = std::move(arrivals);
  arrivals_->Watch(fd_);
}

void TermiosSerialDevice::SetReadTimeouts(int perByteMultiplier) {
  // Every negative value behaves as -1: a negative multiplier has no meaning
  // as a wait.
  perByteMultiplier_ = perByteMultiplier < 0 ? -1 : perByteMultiplier;
}

bool TermiosSerialDevice::SetLineFormat(int dataBits, int parityCode, int stopBitsCode) {
  const auto size = SizeBits(dataBits);
  const auto parity = ParityBits(parityCode);
  if (!size || !parity) return false;
  termios current{};
  if (tcgetattr(fd_, &current) != 0) return false;
  termios wanted = current;
  wanted.c_cflag &= ~kFormatBits;
  wanted.c_cflag |= *size | *parity;
  if (stopBitsCode != 1) wanted.c_cflag |= CSTOPB;
  if (SetAndConfirm(fd_, wanted)) return true;
  // Put back what the line had, so a refusal changes nothing.
  tcsetattr(fd_, TCSANOW, &current);
  return false;
}

int TermiosSerialDevice::Write(const char* bytes, int count) {
  if (bytes == nullptr || count <= 0) return 0;
  int written = 0;
  auto stallDeadline = Clock::now() + writeStallLimit_;
  while (written < count) {
    const ssize_t n = write(fd_, bytes + written, static_cast<size_t>(count - written));
    if (n > 0) {
      written += static_cast<int>(n);
      stallDeadline = Clock::now() + writeStallLimit_;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    // EIO on a hung-up line, or any other failure: the rest cannot go.
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      gone_ = true;
      break;
    }
    const int wait = MillisecondsUntil(stallDeadline);
    if (wait == 0) break;
    pollfd line{fd_, POLLOUT, 0};
    const int ready = poll(&line, 1, wait);
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0 && (line.revents & kLineGone) != 0) {
      gone_ = true;
      break;
    }
  }
  return written;
}

int TermiosSerialDevice::Read(char* buffer, int maximum) {
  if (buffer == nullptr || maximum <= 0) return 0;
  if (perByteMultiplier_ < 0) return ReadAvailable(buffer, maximum);
  return ReadWithTimeouts(buffer, maximum);
}

int TermiosSerialDevice::ReadAvailable(char* buffer, int maximum) {
  for (;;) {
    const ssize_t n = read(fd_, buffer, static_cast<size_t>(maximum));
    if (n > 0) return static_cast<int>(n);
    if (n < 0 && errno == EINTR) continue;
    // 0 is only silence (a raw line with no minimum count says so); an error
    // such as EIO is a hung-up line.
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) gone_ = true;
    return 0;
  }
}

int TermiosSerialDevice::ReadWithTimeouts(char* buffer, int maximum) {
  const auto start = Clock::now();
  const std::int64_t totalMs = static_cast<std::int64_t>(perByteMultiplier_) * maximum;
  const auto totalDeadline = totalMs > 0 ? start + milliseconds(totalMs) : Clock::time_point::max();
  auto intervalDeadline = start + kReadInterval;
  int got = 0;
  while (got < maximum) {
    const int n = ReadAvailable(buffer + got, maximum - got);
    if (n > 0) {
      got += n;
      intervalDeadline = Clock::now() + kReadInterval;
      continue;
    }
    // Before the first byte only the total limit applies (capped by the
    // interval when there is none); after it, whichever comes first.
    Clock::time_point deadline = std::min(intervalDeadline, totalDeadline);
    if (got == 0 && totalMs > 0) deadline = totalDeadline;
    const int wait = MillisecondsUntil(deadline);
    if (wait == 0) break;
    pollfd line{fd_, POLLIN, 0};
    const int ready = poll(&line, 1, wait);
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0 && (line.revents & kLineGone) != 0) {
      got += ReadAvailable(buffer + got, maximum - got);
      break;
    }
  }
  return got;
}

int TermiosSerialDevice::BytesWaiting() {
  int waiting = 0;
  if (ioctl(fd_, FIONREAD, &waiting) != 0) return 0;
  return std::max(waiting, 0);
}

bool TermiosSerialDevice::LineGone() {
  if (gone_) return true;
  pollfd line{fd_, POLLIN, 0};
  if (poll(&line, 1, 0) > 0 && (line.revents & kLineGone) != 0) gone_ = true;
  return gone_;
}

HeldDevice HoldSerialDevice(const std::string& path, bool needPortHardware) {
  HeldDevice held;
  const auto fail = [&held](OpenFailure failure, int error) {
    held.failure = failure;
    held.systemMessage = std::strerror(error);
    return held;
  };
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    switch (error) {
      case EACCES:
      case EPERM:
        return fail(OpenFailure::kNoPermission, error);
      case EBUSY:
        return fail(OpenFailure::kInUse, error);
      default:
        return fail(OpenFailure::kNoDevice, error);
    }
  }
  OpenGuard guard(fd);
  if (!isatty(fd)) return fail(OpenFailure::kNotSerial, ENOTTY);
  // A /dev/ttyS name exists for every port the kernel could drive; most have
  // no chip behind them, and the kernel says so as the port type.
  serial_struct port{};
  if (needPortHardware && ioctl(fd, TIOCGSERIAL, &port) == 0 && port.type == PORT_UNKNOWN) {
    return fail(OpenFailure::kNoDevice, ENODEV);
  }
  // The lock first: a second voxrig must fail here, before it could touch the
  // exclusive mode the first one holds.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(OpenFailure::kInUse, errno);
  held.fd = guard.Release();
  return held;
}

OpenAttempt OpenTermiosDevice(const std::string& path, int baudRate,
                              std::chrono::milliseconds writeStallLimit, bool needPortHardware) {
  OpenAttempt attempt;
  const auto fail = [&attempt](OpenFailure failure, int error) {
    attempt.failure = failure;
    attempt.systemMessage = std::strerror(error);
    return std::move(attempt);
  };
  const auto speed = SpeedConstant(baudRate);
  if (!speed) return fail(OpenFailure::kRefused, EINVAL);
  HeldDevice held = HoldSerialDevice(path, needPortHardware);
  if (held.fd < 0) {
    attempt.failure = held.failure;
    attempt.systemMessage = held.systemMessage;
    return attempt;
  }
  const int fd = held.fd;
  OpenGuard guard(fd);
  if (ioctl(fd, TIOCEXCL) != 0) return fail(OpenFailure::kInUse, errno);
  guard.MarkExclusive();
  termios current{};
  if (tcgetattr(fd, &current) != 0) return fail(OpenFailure::kNotSerial, errno);
  if (!SetAndConfirm(fd, RawEightNoneOne(current, *speed))) {
    return fail(OpenFailure::kRefused, EINVAL);
  }
  // Whatever the receiver sent while nobody had the port open belongs to an
  // earlier session; reading it now would pass old answers off as new ones.
  tcflush(fd, TCIFLUSH);
  attempt.device = std::make_unique<TermiosSerialDevice>(guard.Release(), writeStallLimit);
  return attempt;
}

std::unique_ptr<SerialDevice> TermiosSerialOpener::Open(const std::string& path, int baudRate) {
  auto device = OpenTermiosDevice(path, baudRate, writeStallLimit_, false).device;
  if (device && arrivals_) static_cast<TermiosSerialDevice&>(*device).TellArrivals(arrivals_);
  return device;
}

void TermiosSerialOpener::OnArrival(std::function<void()> wake) {
  if (!arrivals_ && !wake) return;
  if (!arrivals_) arrivals_ = std::make_shared<SerialArrivalWatch>();
  arrivals_->OnArrival(std::move(wake));
}

}  // namespace voxrig
