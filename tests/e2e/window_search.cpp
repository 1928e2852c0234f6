// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/window_search.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <sstream>
#include <thread>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Windows can vanish while the tree is walked (other programs on the same
// display): such errors are expected and ignored.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

std::optional<unsigned long> CardinalProperty(Display* connection, Window window,
                                              const char* name) {
  Atom property = XInternAtom(connection, name, True);
  if (property == None) return std::nullopt;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::optional<unsigned long> value;
  if (XGetWindowProperty(connection, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data != nullptr && count == 1 && format == 32) {
    value = *reinterpret_cast<unsigned long*>(data);
  }
  if (data != nullptr) XFree(data);
  return value;
}

std::string WindowName(Display* connection, Window window) {
  char* name = nullptr;
  std::string text;
  if (XFetchName(connection, window, &name) != 0 && name != nullptr) text = name;
  if (name != nullptr) XFree(name);
  return text;
}

bool Viewable(Display* connection, Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(connection, window, &attributes) != 0 &&
         attributes.map_state == IsViewable;
}

// The top-level windows of the display with their owner's pid and title.
struct TopWindow {
  Window id = 0;
  std::optional<unsigned long> pid;
  std::string name;
  bool viewable = false;
};

std::vector<TopWindow> TopWindows(Display* connection) {
  std::vector<TopWindow> found;
  Window root = DefaultRootWindow(connection);
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(connection, root, &root, &parent, &children, &count) == 0) return found;
  for (unsigned int i = 0; i < count; ++i) {
    TopWindow window;
    window.id = children[i];
    window.pid = CardinalProperty(connection, children[i], "_NET_WM_PID");
    window.name = WindowName(connection, children[i]);
    window.viewable = Viewable(connection, children[i]);
    found.push_back(window);
  }
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

std::optional<std::string> FindWindow(const std::string& display, pid_t pid,
                                      const std::string& titlePart, std::chrono::milliseconds limit,
                                      std::string* seen) {
  Display* connection = XOpenDisplay(display.c_str());
  if (connection == nullptr) {
    if (seen) *seen = "cannot open the display " + display;
    return std::nullopt;
  }
  XErrorHandler previous = XSetErrorHandler(IgnoreXError);
  std::optional<std::string> result;
  std::vector<TopWindow> windows;
  const auto deadline = Clock::now() + limit;
  do {
    windows = TopWindows(connection);
    for (const TopWindow& window : windows) {
      if (window.pid == static_cast<unsigned long>(pid) && window.viewable &&
          window.name.find(titlePart) != std::string::npos) {
        result = std::to_string(window.id);
      }
    }
    if (!result) std::this_thread::sleep_for(100ms);
  } while (!result && Clock::now() < deadline);
  if (!result && seen) {
    std::ostringstream list;
    list << "top-level windows on " << display << " (looking for pid " << pid << "):";
    for (const TopWindow& window : windows) {
      list << "\n  " << window.id << " pid "
           << (window.pid ? std::to_string(*window.pid) : std::string("?"))
           << (window.viewable ? " viewable" : " not viewable") << " \"" << window.name << "\"";
    }
    *seen = list.str();
  }
  XSync(connection, False);
  XSetErrorHandler(previous);
  XCloseDisplay(connection);
  return result;
}

}  // namespace e2e
