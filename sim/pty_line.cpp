// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_line.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace ar8600sim {

namespace {

speed_t SpeedOf(int baud) {
  switch (baud) {
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    default:
      return B19200;
  }
}

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

}  // namespace

std::unique_ptr<PtyLine> PtyLine::Open(int baud, std::string& error) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) {
    error = SystemError("posix_openpt");
    return nullptr;
  }
  const char* name = nullptr;
  if (grantpt(master) != 0 || unlockpt(master) != 0 || (name = ptsname(master)) == nullptr) {
    error = SystemError("grantpt/unlockpt/ptsname");
    close(master);
    return nullptr;
  }
  const std::string slavePath = name;
  const int slave = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
  if (slave < 0) {
    error = SystemError("open " + slavePath);
    close(master);
    return nullptr;
  }
  termios settings{};
  tcgetattr(slave, &settings);
  cfmakeraw(&settings);
  settings.c_cflag |= CSTOPB | CLOCAL | CREAD;
  cfsetispeed(&settings, SpeedOf(baud));
  cfsetospeed(&settings, SpeedOf(baud));
  tcsetattr(slave, TCSANOW, &settings);
  // Answers go out without ever blocking the simulator; a full buffer loses
  // them, as a receiver talking to a port nobody reads would.
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  return std::unique_ptr<PtyLine>(new PtyLine(master, slave, slavePath));
}

PtyLine::~PtyLine() {
  Close();
}

void PtyLine::ForgetExclusiveMode() {
  if (slave_ >= 0) ioctl(slave_, TIOCNXCL);
}

int PtyLine::BytesUnread() const {
  int count = 0;
  if (slave_ < 0 || ioctl(slave_, TIOCINQ, &count) != 0) return 0;
  return count;
}

bool PtyLine::ClientSpeedIs(int baud) const {
  termios settings{};
  if (slave_ < 0 || tcgetattr(slave_, &settings) != 0) return true;
  return cfgetospeed(&settings) == SpeedOf(baud);
}

void PtyLine::Close() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = -1;
  slave_ = -1;
}

std::unique_ptr<ComLink> ComLink::Make(const std::string& dir, int port, const std::string& target,
                                       std::string& error) {
  const std::string path = dir + "/COM" + std::to_string(port);
  struct stat existing {};
  // A link left by an earlier run is replaced; anything else is not touched.
  if (lstat(path.c_str(), &existing) == 0) {
    if (!S_ISLNK(existing.st_mode)) {
      error = path + " exists and is not a link";
      return nullptr;
    }
    unlink(path.c_str());
  }
  if (symlink(target.c_str(), path.c_str()) != 0) {
    error = SystemError("symlink " + path);
    return nullptr;
  }
  return std::unique_ptr<ComLink>(new ComLink(path, target));
}

void ComLink::Remove() {
  if (removed_) return;
  removed_ = true;
  char pointsAt[4096];
  const ssize_t length = readlink(path_.c_str(), pointsAt, sizeof pointsAt - 1);
  if (length < 0 || std::string(pointsAt, static_cast<std::size_t>(length)) != target_) return;
  unlink(path_.c_str());
}

}  // namespace ar8600sim
