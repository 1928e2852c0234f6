// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"
#include "platform/window.h"

// The queue of keys the listener pressed and the panel has not yet taken, and
// the key being handled: these functions are the only ones that change them.
// A key press takes two entries: its code and the 0 separator after which the
// interpreter reads the receiver's answer to what the key sent.
namespace voxrig {

// A key pressed: queued with its separator. Every key pressed is queued, also
// while another is still held (a fast typist's keys overlap); only the
// keyboard's auto-repeat of a held key is not. A key that finds the queue
// full is refused aloud, so the listener knows to press it again; but a burst
// of keys (a paste, a macro, a key struck over and over) is told once, not
// once a key: "invalid" is an outcome, heard to its end, and a hundred of
// them would hold up every other prompt for minutes. The run of refusals
// lasts until the panel has caught up with the keys it took. Q is never
// refused: the panel ends once the keys queued before it are done, and keys
// pressed after it are not taken.
void QueueKeyPress(Context& ctx, const WindowEvent& event);

// A set from the network carried out as a key would be: a separator follows
// it, whose tick reads the receiver's answer, when the queue has room.
void QueueSeparator(Context& ctx);

// Q that found the queue full goes in, behind the keys queued before it, as
// soon as there is room.
void LetWaitingQuitIn(Context& ctx);

// The panel has caught up with the keys it took (the queue is empty): a run
// of refusals is over, and the next full queue is told again.
void NoteQueueCaughtUp(Context& ctx);

// The number of entries queued, keys and separators.
int QueuedEntries(const Context& ctx);
// The oldest entry, 0 for a separator or an empty queue.
int NextQueuedEntry(const Context& ctx);

// Takes the oldest entry into the current key and returns it.
int TakeQueuedEntry(Context& ctx);
// Drops the oldest entry without taking it: the separator of a key that wrote
// nothing, which has no answer to read.
void DropQueuedEntry(Context& ctx);
// The key queued right behind the separator at the front (0 when the front
// is a key, or nothing stands behind it).
int KeyBehindSeparator(const Context& ctx);
// Moves that key ahead of the separator, so that it is taken first: the
// separator only reads the answer of the key before, which a key that sends
// nothing leaves untouched.
void TakeKeyBeforeSeparator(Context& ctx);

// The key being handled, as the interpreter reads it (the keypad's digits as
// the main ones).
void HoldCurrentKey(Context& ctx, int key);
// The key has been let go: none is being handled.
void ReleaseCurrentKey(Context& ctx);

// A receiver connected afresh: keys queued for the one before are not taken.
void ResetKeyQueue(Context& ctx);

}  // namespace voxrig
