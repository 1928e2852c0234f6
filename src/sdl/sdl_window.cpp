// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdl/sdl_window.h"

#include <signal.h>

#include <algorithm>
#include <string>

#include "platform/latin1_text.h"
#include "sdl/late_wakeup_errors.h"
#include "sdl/sdl_key_codes.h"

// Last: it brings in Xlib, whose macros (None, Bool, KeyPress) must not meet
// the headers above.
#include <SDL_syswm.h>

namespace voxrig {

namespace {

// SDL turns SIGINT and SIGTERM into a quit event, which the panel reads as a
// close request and ends through its shutdown (the receiver is told "EX").
// A hang-up (the terminal it was started from closed) is made to end it the
// same way rather than kill it mid-command; a hang-up ignored by whoever
// started the panel (nohup) stays ignored.
void TerminateOnHangUp(int) {
  raise(SIGTERM);
}

void EndOnHangUpAsOnTerminate() {
  struct sigaction current {};
  if (sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return;
  struct sigaction hangUp {};
  hangUp.sa_handler = &TerminateOnHangUp;
  sigemptyset(&hangUp.sa_mask);
  sigaction(SIGHUP, &hangUp, nullptr);
}

bool Contains(const std::vector<WindowEvent>& events, EventKind kind) {
  return std::any_of(events.begin(), events.end(),
                     [kind](const WindowEvent& e) { return e.kind == kind; });
}

}  // namespace

SdlWindow::~SdlWindow() {
  StopTimer();
  Close();
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlWindow::Open(const WindowSpec& layout) {
  if (window_) return true;
  {
    const std::lock_guard<std::mutex> lock(wakeMutex_);
    closed_ = false;
  }
  if (!videoStarted_) {
    // A panel left running for hours is an ordinary window: it must not keep
    // the screen saver away, which SDL does unless told otherwise.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // SDL keeps the X error handler it finds here and puts it back when the
    // video ends, while it closes its X connections: a late wake-up's error
    // read then must find ours, not Xlib's, which would end the panel with
    // status 1 on its way out.
    LetLateWakeupsPass();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    videoStarted_ = true;
    EndOnHangUpAsOnTerminate();
    // The panel is a still image of text redrawn a few lines at a time: X11's
    // plain framebuffer serves it at once, where an accelerated one would
    // first bring up a whole OpenGL renderer (most of a second on a server
    // without a graphics card). Other drivers (Wayland) have no plain one.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && SDL_strcmp(driver, "x11") == 0) {
      SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
      LetLateWakeupsPass();
    }
  }
  // No SDL_WINDOW_RESIZABLE: SDL then gives the window manager equal minimum
  // and maximum sizes, so it offers no sizing border and no maximise box.
  window_ = SDL_CreateWindow(Utf8FromLatin1(layout.title).c_str(), layout.left, layout.top,
                             layout.outerWidth, layout.outerHeight, SDL_WINDOW_SHOWN);
  if (!window_) return false;
  if (wakeEventType_ == 0) {
    // Two in a row: the network's wake-up and the receiver's.
    const Uint32 type = SDL_RegisterEvents(2);
    if (type != static_cast<Uint32>(-1)) {
      radioEventType_ = type + 1;
      wakeEventType_ = type;
    }
  }
  layout_ = layout;
  frameSettled_ = false;
  frameGiveUp_ = 0;
  // Keys are read as key-downs and key-ups only; text input would only bring
  // an input method the panel has no use for.
  SDL_StopTextInput();
  // The X server's own key events, beside SDL's: SDL takes a key pressed
  // again within 2 ms of its release for an auto-repeat and swallows the
  // release, so a fast typist's or a macro's second press would be lost.
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  serverKeysDown_.clear();
  serverPressNoted_ = false;

  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  if (!MakeCanvas(width, height)) {
    Close();
    return false;
  }
  return true;
}

// A blank canvas of the client area's size, with what the old one showed
// copied onto it.
bool SdlWindow::MakeCanvas(int width, int height) {
  SDL_Surface* fresh = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
  if (!fresh) return false;
  SDL_FillRect(
      fresh, nullptr,
      SDL_MapRGB(fresh->format, kPanelBackground.r, kPanelBackground.g, kPanelBackground.b));
  if (canvas_) {
    SDL_BlitSurface(canvas_, nullptr, fresh, nullptr);
    SDL_FreeSurface(canvas_);
  }
  canvas_ = fresh;
  ShowWholeCanvas();
  return true;
}

// The panel's size and place are those of the whole window, frame included,
// as Windows counts them; SDL sizes and places the client area. The window
// manager says what frame it gave a moment after the window appears; the
// panel does not wait for that (the listener would hear the start-up that
// much later), but looks for it each time it waits for events (for a second
// from the first wait), and then
// takes the frame off the size and moves the client in by it, so the frame's
// outer corner lands where the panel asked. With no window manager (a bare X
// server such as Xvfb) no frame ever comes, and the client area stays the
// whole 950 by 500.
void SdlWindow::FitOuterSize() {
  constexpr Uint64 kFrameWaitMs = 1000;
  if (frameSettled_ || !window_) return;
  if (frameGiveUp_ == 0) frameGiveUp_ = SDL_GetTicks64() + kFrameWaitMs;
  // Lets SDL read the window manager's note of the frame; the events stay
  // queued for the wait.
  SDL_PumpEvents();
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  const bool known = SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0 &&
                     (top > 0 || left > 0 || bottom > 0 || right > 0);
  if (!known) {
    frameSettled_ = SDL_GetTicks64() >= frameGiveUp_;
    return;
  }
  frameSettled_ = true;
  const int width = std::max(1, layout_.outerWidth - left - right);
  const int height = std::max(1, layout_.outerHeight - top - bottom);
  SDL_SetWindowSize(window_, width, height);
  SDL_SetWindowPosition(window_, layout_.left + left, layout_.top + top);
  MakeCanvas(width, height);
}

void SdlWindow::StartTimer(int periodMs) {
  StopTimer();
  if (tickEventType_ == 0) {
    const Uint32 type = SDL_RegisterEvents(1);
    tickEventType_ = type == static_cast<Uint32>(-1) ? static_cast<Uint32>(SDL_USEREVENT) : type;
  }
  if (SDL_InitSubSystem(SDL_INIT_TIMER) != 0) return;
  timerStarted_ = true;
  timer_ = SDL_AddTimer(static_cast<Uint32>(std::max(1, periodMs)), &SdlWindow::OnTimer, this);
}

void SdlWindow::StopTimer() {
  if (!timerStarted_) return;
  if (timer_ != 0) SDL_RemoveTimer(timer_);
  timer_ = 0;
  // Quitting the timer subsystem joins SDL's timer thread, so no callback can
  // still be running on this window once the timer is stopped.
  SDL_QuitSubSystem(SDL_INIT_TIMER);
  timerStarted_ = false;
  if (videoStarted_) SDL_FlushEvent(tickEventType_);
  tickPending_ = false;
}

// Runs on SDL's timer thread: it only posts a tick, and only when none is
// waiting, so ticks that fall due while the panel is busy do not pile up.
Uint32 SdlWindow::OnTimer(Uint32 interval, void* param) {
  SdlWindow* self = static_cast<SdlWindow*>(param);
  if (!self->tickPending_.exchange(true)) {
    SDL_Event event{};
    event.type = self->tickEventType_;
    // A full queue takes nothing: then the next period tries again rather
    // than leave a tick marked pending that will never arrive.
    if (SDL_PushEvent(&event) != 1) self->tickPending_ = false;
  }
  return interval;
}

std::vector<WindowEvent> SdlWindow::WaitEvents() {
  // Without a window nothing can ever arrive: ask to close rather than sleep
  // for ever.
  if (!window_) return {WindowEvent{EventKind::kCloseRequest, 0}};
  std::vector<WindowEvent> events;
  // Repaints and other events the panel does not see are served here; the
  // wait goes on until something for the panel has come.
  while (events.empty()) {
    FitOuterSize();
    SDL_Event event;
    if (SDL_WaitEvent(&event) == 0) return {WindowEvent{EventKind::kCloseRequest, 0}};
    Translate(event, events);
    while (SDL_PollEvent(&event) != 0) Translate(event, events);
  }
  return events;
}

void SdlWindow::PostNetworkActivity() {
  PostActivity(wakeEventType_, wakePending_);
}

void SdlWindow::PostRadioActivity() {
  PostActivity(radioEventType_, radioPending_);
}

void SdlWindow::PostActivity(const std::atomic<Uint32>& eventType, std::atomic<bool>& pending) {
  const std::lock_guard<std::mutex> lock(wakeMutex_);
  if (closed_) return;
  const Uint32 type = eventType;
  if (type == 0 || pending.exchange(true)) return;
  SDL_Event event{};
  event.type = type;
  if (SDL_PushEvent(&event) != 1) pending = false;
}

void SdlWindow::WakeAfter(int ms) {
  if (!window_) return;
  if (askedWakeEventType_ == 0) {
    const Uint32 type = SDL_RegisterEvents(1);
    if (type == static_cast<Uint32>(-1)) return;
    askedWakeEventType_ = type;
  }
  if (!wakeTimerStarted_) {
    if (SDL_InitSubSystem(SDL_INIT_TIMER) != 0) return;
    wakeTimerStarted_ = true;
  }
  const Uint64 delay = static_cast<Uint64>(std::max(0, ms));
  wakeDue_ = SDL_GetTicks64() + delay;
  wakeAsked_ = true;
  if (delay > 0) {
    SetWakeTimer(delay);
    return;
  }
  // Due now: no timer, the event goes straight into the queue.
  if (wakeTimer_ != 0) SDL_RemoveTimer(wakeTimer_);
  wakeTimer_ = 0;
  SDL_Event event{};
  event.type = askedWakeEventType_;
  SDL_PushEvent(&event);
}

void SdlWindow::SetWakeTimer(Uint64 ms) {
  // Removing also frees SDL's note of a timer that has already fired.
  if (wakeTimer_ != 0) SDL_RemoveTimer(wakeTimer_);
  wakeTimer_ = SDL_AddTimer(static_cast<Uint32>(std::min<Uint64>(ms, SDL_MAX_UINT32)),
                            &SdlWindow::OnWakeTimer, this);
}

// Runs on SDL's timer thread. Closing takes the lock, so nothing is sent to a
// window that has gone; a full queue is tried again shortly rather than the
// wake-up lost.
Uint32 SdlWindow::OnWakeTimer(Uint32, void* param) {
  SdlWindow* self = static_cast<SdlWindow*>(param);
  constexpr Uint32 kRetryMs = 5;
  const std::lock_guard<std::mutex> lock(self->wakeMutex_);
  if (self->closed_) return 0;
  SDL_Event event{};
  event.type = self->askedWakeEventType_;
  return SDL_PushEvent(&event) < 0 ? kRetryMs : 0;
}

void SdlWindow::CancelWake() {
  if (wakeTimer_ != 0) SDL_RemoveTimer(wakeTimer_);
  wakeTimer_ = 0;
  wakeAsked_ = false;
  if (!wakeTimerStarted_) return;
  // As for the tick: the last quit of the timer subsystem joins its thread.
  SDL_QuitSubSystem(SDL_INIT_TIMER);
  wakeTimerStarted_ = false;
  if (videoStarted_) SDL_FlushEvent(askedWakeEventType_);
}

void SdlWindow::Translate(const SDL_Event& event, std::vector<WindowEvent>& out) {
  if (event.type == askedWakeEventType_ && askedWakeEventType_ != 0) {
    if (!wakeAsked_) return;
    const Uint64 now = SDL_GetTicks64();
    // An event before the moment is a replaced timer's that was already on
    // its way; the timer is set again for what is left, so that however the
    // events fall the wake-up still comes, once, and on time.
    if (now < wakeDue_) {
      SetWakeTimer(wakeDue_ - now);
      return;
    }
    // Any further event of this wake-up, in this batch or later, finds none
    // asked for.
    wakeAsked_ = false;
    out.push_back({EventKind::kWake, 0});
    return;
  }
  if (event.type == wakeEventType_ && wakeEventType_ != 0) {
    wakePending_ = false;
    if (!Contains(out, EventKind::kNetworkActivity))
      out.push_back({EventKind::kNetworkActivity, 0});
    return;
  }
  if (event.type == radioEventType_ && radioEventType_ != 0) {
    radioPending_ = false;
    if (!Contains(out, EventKind::kRadioActivity)) out.push_back({EventKind::kRadioActivity, 0});
    return;
  }
  if (event.type == tickEventType_ && tickEventType_ != 0) {
    tickPending_ = false;
    if (!Contains(out, EventKind::kTimerTick)) out.push_back({EventKind::kTimerTick, 0});
    return;
  }
  switch (event.type) {
    case SDL_QUIT:
      // The close box gives both a window close and a quit: one request.
      if (!Contains(out, EventKind::kCloseRequest)) out.push_back({EventKind::kCloseRequest, 0});
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        if (!Contains(out, EventKind::kCloseRequest)) {
          out.push_back({EventKind::kCloseRequest, 0});
        }
      } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                 event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                 event.window.event == SDL_WINDOWEVENT_RESTORED) {
        ShowWholeCanvas();
      }
      break;
    case SDL_SYSWMEVENT:
      if (event.syswm.msg != nullptr) NoteServerKey(*event.syswm.msg);
      break;
    case SDL_KEYDOWN: {
      // Auto-repeats come as key-downs too, marked so the panel drops them:
      // by the X server's own account when it gave one, else by SDL's.
      const bool repeat = serverPressNoted_ ? serverPressRepeats_ : event.key.repeat != 0;
      serverPressNoted_ = false;
      const int key = VirtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.mod);
      if (key != 0 && !IsSystemKey(event.key.keysym.sym, event.key.keysym.mod)) {
        out.push_back({EventKind::kKeyDown, key, repeat});
      }
      break;
    }
    case SDL_KEYUP: {
      const int key = VirtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.mod);
      if (key != 0) out.push_back({EventKind::kKeyUp, key});
      break;
    }
    default:
      break;
  }
}

void SdlWindow::NoteServerKey(const SDL_SysWMmsg& message) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (message.subsystem != SDL_SYSWM_X11) return;
  const XEvent& event = message.msg.x11.event;
  if (event.type == FocusIn || event.type == FocusOut) {
    // A key let go while another window had the keyboard sends no release
    // here: none is taken to be down from before.
    serverKeysDown_.clear();
  } else if (event.type == KeyRelease) {
    serverKeysDown_.erase(event.xkey.keycode);
  } else if (event.type == KeyPress) {
    serverPressRepeats_ = !serverKeysDown_.insert(event.xkey.keycode).second;
    serverPressNoted_ = true;
  }
#else
  (void)message;
#endif
}

void SdlWindow::ShowCanvas(const SDL_Rect& area) {
  if (!window_ || !canvas_) return;
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (!screen) return;
  const SDL_Rect whole{0, 0, canvas_->w, canvas_->h};
  SDL_Rect part;
  if (!SDL_IntersectRect(&area, &whole, &part)) return;
  SDL_Rect target = part;
  if (SDL_BlitSurface(canvas_, &part, screen, &target) != 0) return;
  SDL_UpdateWindowSurfaceRects(window_, &target, 1);
}

void SdlWindow::ShowWholeCanvas() {
  if (canvas_) ShowCanvas(SDL_Rect{0, 0, canvas_->w, canvas_->h});
}

void SdlWindow::Close() {
  {
    const std::lock_guard<std::mutex> lock(wakeMutex_);
    closed_ = true;
  }
  CancelWake();
  if (canvas_) SDL_FreeSurface(canvas_);
  canvas_ = nullptr;
  if (window_) SDL_DestroyWindow(window_);
  window_ = nullptr;
}

}  // namespace voxrig
