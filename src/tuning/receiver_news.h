// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/context.h"
#include "link/command_link.h"
#include "panel/screen_lines.h"
#include "platform/receiver.h"

// The panel's calls to its radio, each the link's own (link/command_link.h)
// followed at once by what the listener learns from it: "connected" at the
// receiver's first answer or its return, with the status line and the port
// report wiped; "rnc" and the red status line when it goes away; the port
// tried and the way to the set-up when it never answered at start.
namespace voxrig {

// Draws `status` where the meter stands (Line::kMeter in green, or
// Line::kReceiverLost in red), wide enough to wipe the meter.
void ShowLinkStatus(Context& ctx, const std::string& status, Line line);

RadioResult ToRadio(Context& ctx, const std::function<RadioResult(Receiver&)>& call);
std::optional<Reception> TakeReception(Context& ctx);
std::optional<ReceiveState> TakeReceiveState(Context& ctx);
std::optional<MemoryChannel> TakeCurrentChannel(Context& ctx);
std::optional<BankBatch> TakeBankChannels(Context& ctx, char bank);
std::optional<BankSize> TakeBankSize(Context& ctx, char bank);
void DropWaitingAnswers(Context& ctx);
bool ReceiverStillThere(Context& ctx);

// The start-up's wait for the receiver's first answer is over in silence:
// says "rnc" and the way to the set-up once, and shows and prints the port
// tried.
void NoticeNoFirstAnswer(Context& ctx);
// The receiver that had answered has gone away (level polls left
// unanswered): says "rnc" once and shows it on the status line.
void NoticeReceiverLost(Context& ctx);

// "rnc", at most once during one key.
void SayReceiverLost(Context& ctx);
// A confirmation about the receiver ("ok", "sel", a mode, ...): "rnc"
// instead while the receiver is lost, "inv" when the radio refused the last
// setting this key sent it.
void SayAboutReceiver(Context& ctx, const std::string& prompt);
// A new key: whatever the radio refused before it is no longer this key's.
void ForgetRadioRefusal(Context& ctx);

// For a radio whose calls end beside the loop: waits, while the loop goes
// on, until the calls made so far have ended (at most kMostRadioWaitMs), and
// gives what they came to: kRefused for a setting refused (kept as the key's
// own refusal, tuning.radioRefused), kLineGone for a line found gone (the
// receiver lost, told at once), kDone otherwise. Nothing waits on the
// AR8600's line.
Steps<RadioResult> UntilRadioHasAnswered(Context& ctx);
// Outside a key (the level poll, a set from the network, the state given on
// connecting): once the radio's calls have ended, a setting refused is
// heard as "invalid" and a line gone as the receiver lost. Nothing while
// they are under way.
void TellLateOutcome(Context& ctx);

}  // namespace voxrig
