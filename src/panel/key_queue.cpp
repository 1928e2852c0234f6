// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/key_queue.h"

#include <algorithm>

#include "speech/speech.h"

namespace voxrig {

namespace {

constexpr int kQuitKey = 'Q';

bool HasRoomForAKey(const PanelState& panel) {
  return panel.keyQueueCount <= PanelState::kQueueSize - 2;
}

void AppendKey(PanelState& panel, int key) {
  panel.keyQueue[panel.keyQueueCount] = key;
  panel.keyQueue[panel.keyQueueCount + 1] = 0;
  panel.keyQueueCount += 2;
}

int PopEntry(PanelState& panel) {
  const int entry = panel.keyQueue[0];
  std::copy(panel.keyQueue.begin() + 1, panel.keyQueue.end(), panel.keyQueue.begin());
  panel.keyQueue.back() = 0;
  --panel.keyQueueCount;
  return entry;
}

}  // namespace

void QueueKeyPress(Context& ctx, const WindowEvent& event) {
  if (event.repeat) return;
  PanelState& panel = ctx.panel;
  NoteQueueCaughtUp(ctx);
  if (panel.quitWaiting) return;
  if (HasRoomForAKey(panel)) {
    AppendKey(panel, event.key);
    return;
  }
  if (event.key == kQuitKey) {
    panel.quitWaiting = true;
    return;
  }
  if (panel.refusalTold) return;
  panel.refusalTold = true;
  Say(ctx, "inv");
}

void QueueSeparator(Context& ctx) {
  PanelState& panel = ctx.panel;
  if (panel.keyQueueCount < PanelState::kQueueSize) panel.keyQueue[panel.keyQueueCount++] = 0;
}

void LetWaitingQuitIn(Context& ctx) {
  PanelState& panel = ctx.panel;
  if (!panel.quitWaiting || !HasRoomForAKey(panel)) return;
  panel.quitWaiting = false;
  AppendKey(panel, kQuitKey);
}

void NoteQueueCaughtUp(Context& ctx) {
  if (ctx.panel.keyQueueCount == 0) ctx.panel.refusalTold = false;
}

int QueuedEntries(const Context& ctx) {
  return ctx.panel.keyQueueCount;
}

int NextQueuedEntry(const Context& ctx) {
  return ctx.panel.keyQueueCount > 0 ? ctx.panel.keyQueue[0] : 0;
}

int TakeQueuedEntry(Context& ctx) {
  ctx.panel.currentKey = PopEntry(ctx.panel);
  return ctx.panel.currentKey;
}

void DropQueuedEntry(Context& ctx) {
  if (ctx.panel.keyQueueCount > 0) PopEntry(ctx.panel);
}

int KeyBehindSeparator(const Context& ctx) {
  const PanelState& panel = ctx.panel;
  if (panel.keyQueueCount < 2 || panel.keyQueue[0] != 0) return 0;
  return panel.keyQueue[1];
}

void TakeKeyBeforeSeparator(Context& ctx) {
  PanelState& panel = ctx.panel;
  if (KeyBehindSeparator(ctx) == 0) return;
  std::swap(panel.keyQueue[0], panel.keyQueue[1]);
}

void HoldCurrentKey(Context& ctx, int key) {
  ctx.panel.currentKey = key;
}

void ReleaseCurrentKey(Context& ctx) {
  ctx.panel.currentKey = PanelState::kNoKey;
}

void ResetKeyQueue(Context& ctx) {
  ctx.panel.keyQueueCount = 0;
}

}  // namespace voxrig
