// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/x_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <thread>

#include "e2e/child_process.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

std::optional<std::string> TestDisplay() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return std::nullopt;
  return std::string(display);
}

DisplayLock::DisplayLock(const std::string& display) {
  std::string name = "/tmp/voxrig-e2e-display";
  for (char c : display) name += (c == ':' || c == '/' || c == '.') ? '_' : c;
  name += ".lock";
  fd_ = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ >= 0) flock(fd_, LOCK_EX);
}

DisplayLock::~DisplayLock() {
  if (fd_ >= 0) {
    flock(fd_, LOCK_UN);
    close(fd_);
  }
}

std::string WindowTitle(const std::string& window) {
  return Trimmed(RunAndCapture({"xdotool", "getwindowname", window}, 2s));
}

bool FocusWindow(const std::string& window) {
  int status = -1;
  RunAndCapture({"xdotool", "windowfocus", "--sync", window}, 5s, &status);
  return status == 0;
}

void TypeKey(const std::string& keysym) {
  RunAndCapture({"xdotool", "key", "--delay", "150", keysym}, 5s);
  std::this_thread::sleep_for(250ms);
}

void TypeKeyOverAndOver(const std::string& keysym, int times) {
  std::vector<std::string> command = {"xdotool", "key", "--delay", "0"};
  for (int i = 0; i < times; ++i) command.push_back(keysym);
  RunAndCapture(command, 5s);
}

bool RequestClose(const std::string& display, const std::string& window) {
  Display* connection = XOpenDisplay(display.c_str());
  if (connection == nullptr) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::stoul(window));
  event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(connection, event.xclient.window, False, NoEventMask, &event);
  XSync(connection, False);
  XCloseDisplay(connection);
  return sent != 0;
}

}  // namespace e2e
