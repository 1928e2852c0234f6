// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/scripted_window.h"

#include <algorithm>

namespace voxrig::fakes {

bool ScriptedWindow::Open(const WindowSpec& windowSpec) {
  layout = windowSpec;
  opened = !failOpen;
  return opened;
}

void ScriptedWindow::StartTimer(int periodMs) {
  timerRunning = true;
  timerPeriodMs = periodMs;
}

void ScriptedWindow::WakeAfter(int ms) {
  wakeRequests.push_back(ms);
  wakePending = ms;
}

std::vector<WindowEvent> ScriptedWindow::WaitEvents() {
  if (wakePending) {
    if (time != nullptr) time->Advance(std::max(0, *wakePending));
    wakePending.reset();
    return {Wake()};
  }
  if (script.empty()) return {CloseRequest()};
  std::vector<WindowEvent> batch = std::move(script.front());
  script.pop_front();
  return batch;
}

void ScriptedWindow::AddKey(int key) {
  AddBatch({KeyDown(key)});
  AddBatch({KeyUp(key)});
}

void ScriptedWindow::AddTicks(int count) {
  for (int i = 0; i < count; ++i) AddBatch({Tick()});
}

WindowEvent KeyDown(int key) {
  return {EventKind::kKeyDown, key};
}
WindowEvent KeyUp(int key) {
  return {EventKind::kKeyUp, key};
}
WindowEvent Tick() {
  return {EventKind::kTimerTick, 0};
}
WindowEvent Wake() {
  return {EventKind::kWake, 0};
}
WindowEvent RadioActivity() {
  return {EventKind::kRadioActivity, 0};
}
WindowEvent CloseRequest() {
  return {EventKind::kCloseRequest, 0};
}

}  // namespace voxrig::fakes
