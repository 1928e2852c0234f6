// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL.h>

#include <atomic>
#include <mutex>
#include <set>
#include <vector>

#include "platform/window.h"

struct SDL_SysWMmsg;

namespace voxrig {

// The panel's background, behind the window and behind every printed text:
// white, the colour Windows gives an opaque text's box, and the best contrast
// for the black, blue and red lines.
inline constexpr SDL_Color kPanelBackground{255, 255, 255, 255};

// The panel's window on SDL2. It keeps an image of the client area (the
// canvas) that SdlDisplay draws into; the window shows the canvas after each
// drawing and again whenever it is uncovered, so the panel always shows what
// was last drawn. Runs on one thread: the timer's own thread only posts an
// event.
class SdlWindow : public Window {
 public:
  SdlWindow() = default;
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool Open(const WindowSpec& layout) override;
  void StartTimer(int periodMs) override;
  void StopTimer() override;
  std::vector<WindowEvent> WaitEvents() override;
  void Close() override;

  // Wake-ups that come while one is waiting are one.
  void PostNetworkActivity() override;
  void PostRadioActivity() override;
  void WakeAfter(int ms) override;

  // The window, or null before Open and after Close.
  SDL_Window* Handle() const { return window_; }
  // The image of the client area, 32-bit XRGB, or null while no window is open.
  SDL_Surface* Canvas() const { return canvas_; }
  // Copies a part of the canvas onto the screen.
  void ShowCanvas(const SDL_Rect& area);

 private:
  static Uint32 OnTimer(Uint32 interval, void* param);
  static Uint32 OnWakeTimer(Uint32 interval, void* param);
  // Sets SDL's one-shot timer for the wake-up asked for, in place of any
  // set before.
  void SetWakeTimer(Uint64 ms);
  // Pushes one event of the type unless one is already waiting to be taken.
  void PostActivity(const std::atomic<Uint32>& eventType, std::atomic<bool>& pending);
  // Forgets the wake-up asked for and gives back its timer.
  void CancelWake();
  void FitOuterSize();
  bool MakeCanvas(int width, int height);
  void ShowWholeCanvas();
  void Translate(const SDL_Event& event, std::vector<WindowEvent>& out);
  // Notes a key press or release as the X server sent it.
  void NoteServerKey(const SDL_SysWMmsg& message);

  bool videoStarted_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Surface* canvas_ = nullptr;
  WindowSpec layout_;
  // Until the window manager's frame is known (or none has come by
  // frameGiveUp_), each wait for events looks for it again.
  bool frameSettled_ = false;
  Uint64 frameGiveUp_ = 0;
  Uint32 tickEventType_ = 0;
  bool timerStarted_ = false;
  SDL_TimerID timer_ = 0;
  // True from the moment the timer posts a tick until WaitEvents hands it to
  // the panel, so at most one tick is ever pending.
  std::atomic<bool> tickPending_{false};
  std::atomic<Uint32> wakeEventType_{0};
  std::atomic<bool> wakePending_{false};
  // The same for the receiver's line and the radio's answers.
  std::atomic<Uint32> radioEventType_{0};
  std::atomic<bool> radioPending_{false};
  // The network's thread wakes the loop through the window; SDL sends that
  // wake-up to the window itself, and X ends the program when the window is
  // gone. Closing takes this lock, so no wake-up is on its way then, and
  // none is sent after.
  std::mutex wakeMutex_;
  bool closed_ = false;
  // The wake-up the panel asked for: due at wakeDue_ (SDL's ticks) while
  // wakeAsked_. Its timer's thread only posts an event; whether that event
  // is the wake-up is decided on the loop's thread, by the clock, so an
  // event of a timer that was replaced (one already on its way when it was
  // removed) comes to nothing, and none comes before its moment.
  std::atomic<Uint32> askedWakeEventType_{0};
  bool wakeTimerStarted_ = false;
  SDL_TimerID wakeTimer_ = 0;
  bool wakeAsked_ = false;
  Uint64 wakeDue_ = 0;
  // The keys down as the X server reports them (its key codes), and whether
  // the server's last key press, which SDL's key-down follows, was its
  // auto-repeat of a key held down. The server sends no release between its
  // auto-repeats (SDL asks it for detectable auto-repeat), so a press of a
  // key already down is an auto-repeat and any other press is a press.
  std::set<unsigned> serverKeysDown_;
  bool serverPressNoted_ = false;
  bool serverPressRepeats_ = false;
};

}  // namespace voxrig
