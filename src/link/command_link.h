#pragma once

#include "core/context.h"

namespace voxrig {

// Sends link.commandText with its CR (and a "TX= " log line).
void SendCommand(Context& ctx);
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

}  // namespace voxrig
