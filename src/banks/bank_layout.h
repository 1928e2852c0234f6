// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

#include "core/bounded_text.h"
#include "core/context.h"

// The bank in memory seen as its parts: the four header slots, the whole
// channels, and what ends the bank. Every operation that adds, removes or
// moves channels works on this view, so none of them can run past the slots
// or past the 400 lines that a bank file holds, whatever a hand-edited file
// put where.
namespace voxrig::banks {

inline constexpr int kFirstChannelSlot = 4;
inline constexpr int kHeaderSlots = 4;
// The channels a receiver memory bank holds: 00 to 90.
inline constexpr std::size_t kReceiverBankChannels = 91;

struct Channel {
  BoundedText frequency;
  BoundedText tag;
};

struct BankLayout {
  // The slot of the first "9999" within the bank's reach, or -1 when there is none.
  int terminator = -1;
  // The terminator stands in a header slot (0 to 3): the bank holds no channel
  // and has no room for one.
  bool headerCut = false;
  // The whole records before the terminator, in slot order. Without a
  // terminator, the records up to the last one that holds any text: the empty
  // records behind it are what a file that lost its "9999" line reads as, and
  // carry no channel.
  std::vector<Channel> channels;
  // What follows the channels up to and including the terminator: "9999" alone,
  // or a frequency whose tag slot holds the "9999" (that record is not whole
  // and so not a channel, but its line is kept). Empty without a terminator;
  // WriteLayout then gives the bank one when it fits.
  std::vector<BoundedText> tail;
};

// The first slot below `limit` that holds exactly "9999", or -1.
int TerminatorSlot(const BankState::Slots& slots, int limit);

// Reads the layout of the slots below `limit`: 400 for a bank (the lines of
// its file), 420 for the source list of a merge.
BankLayout ReadLayout(const BankState::Slots& slots, int limit);

// The frequency slot of a channel, counted from 0.
inline int ChannelSlot(int channel) {
  return kFirstChannelSlot + 2 * channel;
}

// The frequency slot of the last channel; 2 when the bank holds none.
int LastChannelSlot(const BankLayout& layout);

// True when one more channel fits in front of the tail and the whole bank,
// terminator included, still fits its 400-line file.
bool HasRoomForChannel(const BankLayout& layout);

// Lays the channels and the tail out from slot 4 (a bank that had no
// terminator gets one when there is room for it). Slots that the bank held
// before and no longer needs, up to `oldLastSlot`, are filled with "9999", so
// a stale index into them lands on the bank's end and never on an old
// channel. Writes nothing at slot 400 or beyond, and leaves the header alone.
void WriteLayout(BankState::Slots& slots, const BankLayout& layout, int oldLastSlot);

// The last slot that the bank's file covers: its terminator, or 399.
int LastFileSlot(const BankLayout& layout);

// The first line of the bank's file (counted from 1) that holds a value the
// receiver cannot take: the mode on line 2, the step on line 3, a channel's
// frequency; 0 when all of them can go to the receiver as they stand.
int FirstRefusedLine(const BankState::Slots& slots);

}  // namespace voxrig::banks
