#pragma once

#include "core/context.h"

namespace voxrig {

// Sends link.commandText with its CR (and a "TX= " log line).
void SendCommand(Context& ctx);
// Reads what the receiver has sent, finds the reply by keyword and cuts it
// into link.replyText (empty when there is none).
void ReadReply(Context& ctx);
// Logs the accepted reply and notices the receiver's first answer.
void EchoReply(Context& ctx);
// Writes the single byte 30 that lets a paused search or scan go on.
void SendResumeByte(Context& ctx);

}  // namespace voxrig
