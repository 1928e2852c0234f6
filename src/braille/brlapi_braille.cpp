// SPDX-License-Identifier: GPL-3.0-or-later
#include "braille/brlapi_braille.h"

#include <brlapi.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "braille/brlapi_key_codes.h"

namespace voxrig {

namespace {

using namespace std::chrono_literals;

// How long the thread rests between attempts to reach a server.
constexpr auto kRetryEvery = 3s;
// How long the panel's end waits for the thread; a thread stuck connecting
// to a far server is left to end with the process.
constexpr auto kStopWait = 500ms;

struct HandleFree {
  void operator()(brlapi_handle_t* handle) const { std::free(handle); }
};

// An error BrlAPI reports on its own (a refused packet): the default handler
// aborts the program, which would silence the panel; the call that met it
// reports the end of the connection instead, and the thread connects again.
void IgnoreException(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) {}

}  // namespace

struct BrlapiBraille::Shared {
  std::mutex mutex;
  std::condition_variable finishedChanged;
  std::string line;
  bool lineChanged = false;
  std::vector<int> keys;
  bool stopping = false;
  bool finished = false;
  int wakeRead = -1;
  int wakeWrite = -1;

  ~Shared() {
    if (wakeRead >= 0) close(wakeRead);
    if (wakeWrite >= 0) close(wakeWrite);
  }
  void Wake() const {
    const char byte = 1;
    // A full pipe already holds a wake-up.
    if (wakeWrite >= 0) {
      [[maybe_unused]] const ssize_t written = write(wakeWrite, &byte, 1);
    }
  }
  void DrainWake() const {
    char bytes[64];
    while (read(wakeRead, bytes, sizeof bytes) > 0) {
    }
  }
  bool Stopping() {
    std::lock_guard lock(mutex);
    return stopping;
  }
};

namespace {

using Shared = BrlapiBraille::Shared;

// Waits for the wake pipe (and the server's descriptor, when there is one) at
// most `timeoutMs` (-1: no limit). True when the server has something.
bool Wait(const Shared& shared, int serverFd, int timeoutMs) {
  pollfd watched[2] = {{shared.wakeRead, POLLIN, 0}, {serverFd, POLLIN, 0}};
  const int ready = poll(watched, serverFd >= 0 ? 2 : 1, timeoutMs);
  if (ready > 0 && (watched[0].revents & POLLIN) != 0) shared.DrainWake();
  return ready > 0 && serverFd >= 0 && (watched[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

// The part of the line the display shows from `offset`, cut to its width.
std::string Window(const std::string& line, std::size_t offset, std::size_t width) {
  if (offset >= line.size()) return "";
  return line.substr(offset, width);
}

// Serves one connection until it ends or the panel stops.
void Serve(Shared& shared, brlapi_handle_t* handle, int serverFd) {
  // The display's own commands stay with brltty, but for its window keys,
  // which pan the panel's line; typed keys come to the panel.
  brlapi__ignoreAllKeys(handle);
  const brlapi_keyCode_t symbols[] = {BRLAPI_KEY_TYPE_SYM};
  const brlapi_keyCode_t pans[] = {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT,
                                   BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT};
  if (brlapi__acceptKeys(handle, brlapi_rangeType_type, symbols, 1) < 0) return;
  if (brlapi__acceptKeys(handle, brlapi_rangeType_key, pans, 2) < 0) return;
  unsigned int width = 0;
  unsigned int height = 0;
  if (brlapi__getDisplaySize(handle, &width, &height) < 0 || width == 0) return;

  std::string line;
  std::size_t offset = 0;
  bool redraw = true;
  while (true) {
    {
      std::lock_guard lock(shared.mutex);
      if (shared.stopping) return;
      if (shared.lineChanged) {
        line = shared.line;
        shared.lineChanged = false;
        redraw = true;
      }
    }
    if (redraw) {
      // A line that got shorter keeps the reader within it.
      while (offset > 0 && offset >= line.size()) offset -= std::min<std::size_t>(offset, width);
      if (brlapi__writeText(handle, BRLAPI_CURSOR_OFF, Window(line, offset, width).c_str()) < 0) {
        return;
      }
      redraw = false;
    }
    if (!Wait(shared, serverFd, -1)) continue;
    brlapi_keyCode_t code = 0;
    int got = 0;
    while ((got = brlapi__readKey(handle, 0, &code)) > 0) {
      const BrailleKey key = BrailleKeyFromBrlapi(code);
      if (key.kind == BrailleKey::Kind::kKey) {
        std::lock_guard lock(shared.mutex);
        shared.keys.push_back(key.key);
      } else if (key.kind == BrailleKey::Kind::kPanLeft && offset > 0) {
        offset -= std::min<std::size_t>(offset, width);
        redraw = true;
      } else if (key.kind == BrailleKey::Kind::kPanRight && offset + width < line.size()) {
        offset += width;
        redraw = true;
      }
    }
    if (got < 0) return;  // the server has gone
  }
}

void Run(std::shared_ptr<Shared> shared) {
  // Signals are for the panel's own thread.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  std::unique_ptr<brlapi_handle_t, HandleFree> handle(
      static_cast<brlapi_handle_t*>(std::malloc(brlapi_getHandleSize())));
  while (handle && !shared->Stopping()) {
    const int serverFd = brlapi__openConnection(handle.get(), nullptr, nullptr);
    if (serverFd >= 0) {
      brlapi__setExceptionHandler(handle.get(), IgnoreException);
      // The panel's line goes to the display whatever console is in front.
      if (brlapi__enterTtyModeWithPath(handle.get(), nullptr, 0, nullptr) >= 0) {
        {
          std::lock_guard lock(shared->mutex);
          shared->lineChanged = true;  // a new connection shows the line at once
        }
        Serve(*shared, handle.get(), serverFd);
      }
      brlapi__closeConnection(handle.get());
    }
    if (shared->Stopping()) break;
    Wait(*shared, -1, static_cast<int>(std::chrono::milliseconds(kRetryEvery).count()));
  }
  std::lock_guard lock(shared->mutex);
  shared->finished = true;
  shared->finishedChanged.notify_all();
}

}  // namespace

BrlapiBraille::BrlapiBraille() : shared_(std::make_shared<Shared>()) {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;  // no braille, nothing else lost
  shared_->wakeRead = pipeEnds[0];
  shared_->wakeWrite = pipeEnds[1];
  worker_ = std::thread(Run, shared_);
}

BrlapiBraille::~BrlapiBraille() {
  if (!worker_.joinable()) return;
  std::unique_lock lock(shared_->mutex);
  shared_->stopping = true;
  shared_->Wake();
  if (shared_->finishedChanged.wait_for(lock, kStopWait, [this] { return shared_->finished; })) {
    lock.unlock();
    worker_.join();
  } else {
    lock.unlock();
    worker_.detach();
  }
}

void BrlapiBraille::Show(const std::string& line) {
  std::lock_guard lock(shared_->mutex);
  if (line == shared_->line) return;
  shared_->line = line;
  shared_->lineChanged = true;
  shared_->Wake();
}

std::vector<int> BrlapiBraille::TakeKeys() {
  std::lock_guard lock(shared_->mutex);
  std::vector<int> keys;
  keys.swap(shared_->keys);
  return keys;
}

}  // namespace voxrig
