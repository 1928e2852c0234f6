// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/window.h"

struct TermKey;

namespace voxrig {

// The keys in the bytes a terminal sends, decoded by libtermkey as the
// terminal ($TERM) names them, each handed on as a key-down at once followed
// by its key-up (a terminal reports presses only), with the key codes the
// window gives; Ctrl+C and Ctrl+D come as Q. An escape sequence longer than
// the decoder holds (a terminal's report, or bytes pasted in) is thrown away
// whole: none of its bytes is taken for a key.
class TerminalKeyDecoder {
 public:
  TerminalKeyDecoder();
  ~TerminalKeyDecoder();
  TerminalKeyDecoder(const TerminalKeyDecoder&) = delete;
  TerminalKeyDecoder& operator=(const TerminalKeyDecoder&) = delete;

  // Decodes the bytes; every key they complete is appended to `out`.
  void Take(std::string_view bytes, std::vector<WindowEvent>& out);
  // Nothing more came within WaitMs: a lone Escape is the Escape key, and an
  // escape sequence being thrown away is over.
  void Settle(std::vector<WindowEvent>& out);
  // Whether bytes wait for the rest of their key, or for the end of a
  // sequence being thrown away.
  bool Waiting() const {
    return keyPending_ || discarding_ != Discarding::kNothing || sequence_ != Sequence::kNone;
  }
  // How long to wait for the rest of a key sequence, in milliseconds.
  int WaitMs() const;

 private:
  // What ends the escape sequence being thrown away.
  enum class Discarding {
    kNothing,
    kControlSequence,  // ESC [ ...: a final byte from @ to ~
    kControlString,    // ESC ], ESC P ...: BEL, or ESC and a backslash
  };

  // Where the bytes read so far stand in an escape sequence.
  enum class Sequence {
    kNone,
    kEscape,          // ESC, waiting for what follows
    kControl,         // ESC [ and its parameters so far, held in held_
    kDroppedControl,  // a control sequence too long for a key, dropped
  };

  // Hands the bytes to libtermkey and takes the keys it decodes.
  void Decode(std::string_view bytes, std::vector<WindowEvent>& out);
  // Takes every key decoded; `force` ends a key that waited long enough for
  // the rest of its sequence.
  void TakeKeys(std::vector<WindowEvent>& out, bool force);
  // The decoder is full of one escape sequence without its end: what it
  // holds is dropped, and so is the rest of the sequence as it comes.
  void StartDiscarding();
  // Drops bytes up to the end of the sequence being thrown away; returns
  // the bytes after its end (none while it goes on).
  std::string_view DiscardUntilEnd(std::string_view bytes);

  TermKey* keys_ = nullptr;
  bool keyPending_ = false;  // an Escape waiting for the rest of its sequence
  Discarding discarding_ = Discarding::kNothing;
  bool discardedEscape_ = false;  // the last byte thrown away was ESC
  Sequence sequence_ = Sequence::kNone;
  // The control sequence held back until it is whole.
  std::string held_;
};

}  // namespace voxrig
