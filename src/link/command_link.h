// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include "core/context.h"
#include "platform/receiver.h"

// The panel's calls to its radio, as the link makes them: each keeps the
// link's state (answered, lost, owed its state) and records what it found
// out in LinkState::news, and says and shows nothing. The floor above makes
// these calls through its own of the same names (tuning/receiver_news.h),
// which tell the listener the news right after each one.
namespace voxrig::link {

// One call to the panel's radio that sends something: `call` is one of its
// set or ask calls, made with the debug log as the wire log while debugging.
// With no line open, the command is still logged but goes nowhere. A write
// the line did not take, or a line found gone, is recorded as a lost
// receiver; a command the radio has not got sends nothing and changes
// nothing here.
RadioResult ToRadio(Context& ctx, const std::function<RadioResult(Receiver&)>& call);
// The answer to a level question, or a level report, when one has come; any
// answer the panel knows is logged and counts as the receiver's. A line that
// has hung up is recorded instead, and nothing is read.
std::optional<Reception> TakeReception(Context& ctx);
// The receiver's answer to AskReceiveState, when one has come.
std::optional<ReceiveState> TakeReceiveState(Context& ctx);
// The channel named by the answer to AskCurrentChannel (or, during a memory
// scan, AskReceiveState), when one has come.
std::optional<MemoryChannel> TakeCurrentChannel(Context& ctx);
// The next batch of a bank read, once it has all come.
std::optional<BankBatch> TakeBankChannels(Context& ctx, char bank);
// The bank's share of its pair, when the answer has come; a line that has
// hung up is recorded instead, and nothing is read.
std::optional<BankSize> TakeBankSize(Context& ctx, char bank);
// Reads and throws away whatever the receiver has sent and nobody asked for
// any more (late answers), so the next answer read belongs to the next
// question. Records a line that has hung up.
void DropWaitingAnswers(Context& ctx);

// The start-up's wait for the receiver's first answer is over in silence:
// from now on it counts as away, as one that went away does (keys that need
// it are refused, the poll cycle keeps asking and opening its port).
void NoticeNoFirstAnswer(Context& ctx);
// The receiver that had answered has gone away: recorded once, and when the
// line itself has gone, the port is closed so that it can be opened again by
// its name. Nothing before the first answer: the end of the start-up's wait
// is the news then.
void NoticeReceiverLost(Context& ctx);
// Whether the receiver is still there, as far as the port can tell at once:
// a line that has hung up is recorded now as a loss. The long waits of Z, W
// and X look after every pause, so they stop within a pause of the loss
// instead of waiting out their bound.
bool ReceiverStillThere(Context& ctx);
// What the calls that ended beside the loop came to, once they have: a line
// found gone is recorded as a lost receiver (kLineGone), a setting refused
// gives kRefused, anything else kDone.
RadioResult TakeLateOutcome(Context& ctx);

}  // namespace voxrig::link

namespace voxrig {

// The status line while the receiver is away.
inline constexpr const char* kLostStatus = "Receiver not connected";

// Whether an answer has arrived and not been taken.
bool AnswerWaiting(Context& ctx);
// Whether a whole answer has arrived and not been taken: one that can be read
// now rather than on the next tick.
bool WholeAnswerWaiting(Context& ctx);
// Calls made to a radio whose calls end beside the loop (one driven through
// Hamlib) that are still under way; never for the AR8600's line.
bool RadioCallsOutstanding(Context& ctx);
// Whether the panel's radio is one whose calls end beside the loop.
bool RadioCallsEndBesideTheLoop(const Context& ctx);
// How often a step that waits for such calls looks whether they have ended,
// and how long it waits for them at most (a driver that stopped answering
// ends its calls within its own time-outs, well before this).
inline constexpr int kRadioCheckMs = 5;
inline constexpr int kMostRadioWaitMs = 10000;
// Awaited by a step: the loop goes on until the radio's calls made so far
// have ended (at most kMostRadioWaitMs); at once on the AR8600's line.
Steps<> RadioCallsEnded(Context& ctx);
// A receiver connected afresh: nothing heard from it yet, nothing owed to it,
// nothing said or shown about its port.
void ResetLinkState(Context& ctx);

}  // namespace voxrig
