// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace voxrig {

// A long operation of the panel (writing a bank into the receiver, reading
// one back, checking its banks, the known state after a connect) is written
// as plain code that says `co_await` wherever it waits for the receiver: the
// compiler turns it into a step machine. Each wait hands control back to the
// loop, which goes on reading keys, drawing, speaking and answering network
// clients, and resumes the operation once its wait is over. An operation may
// await others (`co_await SendChannels(...)`): they are steps of the same
// operation, and their waits are its waits.
//
// Nothing runs when an operation is made: the loop starts it (see
// poll/operation.h), and it then runs up to its first wait.
//
// Await in a statement of its own or in an initialisation
// (`const bool done = co_await ...;`), never in the condition of a switch or
// an if: GCC 12 loses the operation's place there.

template <typename T = void>
class Steps;

namespace steps_detail {

// Where an operation as a whole stands: the innermost step to resume next,
// and how long it asked to wait before that.
struct Progress {
  std::coroutine_handle<> resumePoint;
  int waitMs = 0;
};

struct PromiseBase {
  // The operation this step belongs to; the outermost step holds it.
  Progress* progress = nullptr;
  Progress own;
  // The step that awaits this one, resumed when this one ends.
  std::coroutine_handle<> continuation;
  std::exception_ptr failure;

  std::suspend_always initial_suspend() noexcept { return {}; }
  struct Final {
    bool await_ready() noexcept { return false; }
    template <typename Promise>
    std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> done) noexcept {
      const std::coroutine_handle<> next = done.promise().continuation;
      return next ? next : std::noop_coroutine();
    }
    void await_resume() noexcept {}
  };
  Final final_suspend() noexcept { return {}; }
  void unhandled_exception() { failure = std::current_exception(); }
};

template <typename T>
struct Promise : PromiseBase {
  std::optional<T> value;
  Steps<T> get_return_object();
  template <typename U>
  void return_value(U&& result) {
    value.emplace(std::forward<U>(result));
  }
  T Take() {
    if (failure) std::rethrow_exception(failure);
    return std::move(*value);
  }
};

template <>
struct Promise<void> : PromiseBase {
  Steps<void> get_return_object();
  void return_void() {}
  void Take() {
    if (failure) std::rethrow_exception(failure);
  }
};

}  // namespace steps_detail

// One step machine, awaitable by another and run to its end by the loop.
template <typename T>
class [[nodiscard]] Steps {
 public:
  using promise_type = steps_detail::Promise<T>;
  using Handle = std::coroutine_handle<promise_type>;

  Steps() = default;
  explicit Steps(Handle handle) : handle_(handle) {}
  Steps(Steps&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
  Steps& operator=(Steps&& other) noexcept {
    if (this != &other) {
      Destroy();
      handle_ = std::exchange(other.handle_, {});
    }
    return *this;
  }
  Steps(const Steps&) = delete;
  Steps& operator=(const Steps&) = delete;
  ~Steps() { Destroy(); }

  // Awaited by another step: this one runs within it, and hands back its
  // result when it ends.
  struct Awaiter {
    Handle child;
    bool await_ready() noexcept { return false; }
    template <typename Parent>
    std::coroutine_handle<> await_suspend(std::coroutine_handle<Parent> parent) noexcept {
      child.promise().continuation = parent;
      child.promise().progress = parent.promise().progress;
      return child;
    }
    T await_resume() { return child.promise().Take(); }
  };
  Awaiter operator co_await() && noexcept { return Awaiter{handle_}; }

  // Run by the loop as the outermost step: up to its first wait.
  void Start() {
    handle_.promise().progress = &handle_.promise().own;
    handle_.promise().own.resumePoint = handle_;
    Resume();
  }
  // On to the next wait, or to the end.
  void Resume() {
    steps_detail::Progress& progress = handle_.promise().own;
    const std::coroutine_handle<> next = std::exchange(progress.resumePoint, {});
    progress.waitMs = 0;
    if (next && !handle_.done()) next.resume();
  }
  bool Done() const { return !handle_ || handle_.done(); }
  // How long the step that has just run asked to wait.
  int WaitMs() const { return handle_ ? handle_.promise().own.waitMs : 0; }
  // The result, once Done; a failure inside the steps is thrown again here.
  T Result() { return handle_.promise().Take(); }

 private:
  void Destroy() {
    if (handle_) handle_.destroy();
    handle_ = {};
  }
  Handle handle_;
};

namespace steps_detail {
template <typename T>
Steps<T> Promise<T>::get_return_object() {
  return Steps<T>(Steps<T>::Handle::from_promise(*this));
}
inline Steps<void> Promise<void>::get_return_object() {
  return Steps<void>(Steps<void>::Handle::from_promise(*this));
}
}  // namespace steps_detail

// Awaited inside an operation: the loop takes over for `ms` milliseconds by
// its clock, then resumes the operation here.
struct [[nodiscard]] WaitFor {
  int ms = 0;
  bool await_ready() const noexcept { return false; }
  template <typename Promise>
  void await_suspend(std::coroutine_handle<Promise> here) const noexcept {
    steps_detail::Progress* progress = here.promise().progress;
    progress->resumePoint = here;
    progress->waitMs = ms;
  }
  void await_resume() const noexcept {}
};

// Runs a step machine to its end at once, sleeping through its waits by
// `sleep(ms)`: for what must finish before anything else goes on.
template <typename T, typename Sleep>
T RunToEnd(Steps<T> steps, Sleep&& sleep) {
  steps.Start();
  while (!steps.Done()) {
    sleep(steps.WaitMs());
    steps.Resume();
  }
  return steps.Result();
}

}  // namespace voxrig
