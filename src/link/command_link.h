// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"
#include "panel/screen_lines.h"

namespace voxrig {

// Draws `status` where the meter stands (Line::kMeter in green, or
// Line::kReceiverLost in red), wide enough to wipe the meter.
void ShowLinkStatus(Context& ctx, const std::string& status, Line line);
// Sends link.commandText with its CR (and a "TX= " log line). True when the
// line took every byte; a line that fails is noticed as a lost receiver.
bool SendCommand(Context& ctx);
// Reads what the receiver has sent, finds the reply by keyword and cuts it
// into link.replyText (empty when there is none).
void ReadReply(Context& ctx);
// Reads what the receiver has sent and takes, as link.replyText, the first
// line that carries a frequency field ("RF" and ten digits) and is not a
// level report, whatever keyword it starts with: the receiver's answer to
// "RX" starts "VA", "MR" or, during a search, a keyword that is not settled
// ("VS" or "SS"). Empty when no such line came.
void ReadReceiveStateReply(Context& ctx);
// Logs the accepted reply and notices the receiver's first answer.
void EchoReply(Context& ctx);
// Writes the single byte 30 that lets a paused search or scan go on.
void SendResumeByte(Context& ctx);
// Reads and throws away whatever the receiver has sent and nobody asked for
// any more (late answers), so the next answer read belongs to the next
// question. Notices a line that has hung up.
void DropWaitingAnswers(Context& ctx);

// A receiver connected afresh: nothing heard from it yet, nothing owed to it,
// nothing said or shown about its port.
void ResetLinkState(Context& ctx);

// The start-up's wait for the receiver's first answer is over in silence:
// from now on it counts as away, as one that went away does (keys that need
// it say "rnc", the poll cycle keeps asking and opening its port). Says "rnc"
// and the way to the set-up once, and shows and prints the port tried.
void NoticeNoFirstAnswer(Context& ctx);
// The receiver that had answered has gone away: says "rnc" (once), shows it
// on the status line and, when the line itself has gone, closes the port so
// that it can be opened again by its name. Nothing before the first answer:
// the end of the start-up's wait tells the listener.
void NoticeReceiverLost(Context& ctx);
// Whether the receiver is still there, as far as the port can tell at once:
// a line that has hung up is noticed now (NoticeReceiverLost says "rnc").
// The long waits of Z, W and X look after every pause, so they stop within
// a pause of the loss instead of waiting out their bound.
bool ReceiverStillThere(Context& ctx);
// "rnc", at most once during one key.
void SayReceiverLost(Context& ctx);
// A confirmation about the receiver ("ok", "sel", a mode, ...): "rnc"
// instead while the receiver is lost.
void SayAboutReceiver(Context& ctx, const std::string& prompt);

}  // namespace voxrig
