// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/terminal_key_decoder.h"

#include <termkey.h>

#include <cstdlib>
#include <string>

#include "terminal/termkey_key_codes.h"

namespace voxrig {

namespace {

// Ctrl+C and Ctrl+D end the panel as Q does.
constexpr int kQuitKey = 'Q';

// The bytes that may stand between a control sequence's parameters and its
// final byte.
constexpr const char* kIntermediateBytes = " !\"#$%&'()*+,-./";
// No key's control sequence is longer (ESC [ 1 ; 5 ~ and the like).
constexpr std::size_t kLongestControlSequence = 32;

void PushKey(std::vector<WindowEvent>& out, int key) {
  out.push_back({EventKind::kKeyDown, key});
  out.push_back({EventKind::kKeyUp, key});
}

}  // namespace

TerminalKeyDecoder::TerminalKeyDecoder() {
  const char* term = std::getenv("TERM");
  keys_ =
      termkey_new_abstract(term != nullptr && *term != '\0' ? term : "xterm", TERMKEY_FLAG_CTRLC);
}

TerminalKeyDecoder::~TerminalKeyDecoder() {
  if (keys_) termkey_destroy(keys_);
}

int TerminalKeyDecoder::WaitMs() const {
  return keys_ ? termkey_get_waittime(keys_) : 0;
}

// Control sequences (ESC [ ... final byte) are held back until they are
// whole, and one with an intermediate byte (a blank to a slash before its
// final byte: no key sends one, terminals' reports do) never reaches
// libtermkey, whose decoder reads past its tables on them. One longer than a
// key ever is, is thrown away whole.
void TerminalKeyDecoder::Take(std::string_view bytes, std::vector<WindowEvent>& out) {
  if (!keys_) return;
  std::string clean;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (sequence_ == Sequence::kEscape) {
      if (byte == '[') {
        sequence_ = Sequence::kControl;
        held_ = "\x1b[";
        continue;
      }
      clean += '\x1b';
      sequence_ = Sequence::kNone;
    }
    if (sequence_ == Sequence::kControl || sequence_ == Sequence::kDroppedControl) {
      const bool kept = sequence_ == Sequence::kControl;
      if (byte < 0x20 || byte > 0x7e) {
        sequence_ = Sequence::kNone;  // broken off: what was held is dropped
      } else if (byte >= 0x40) {
        sequence_ = Sequence::kNone;
        if (kept && held_.find_first_of(kIntermediateBytes) == std::string::npos) {
          clean += held_ + c;
        }
        continue;
      } else {
        if (kept && held_.size() < kLongestControlSequence) {
          held_ += c;
        } else {
          sequence_ = Sequence::kDroppedControl;  // too long for a key
        }
        continue;
      }
    }
    if (byte == 0x1b) {
      sequence_ = Sequence::kEscape;
      continue;
    }
    if (byte == 0x9b) {
      // The 8-bit form of ESC [: libtermkey reads it as a control sequence
      // too, and one of too many parameters runs past its own table. It is
      // held and checked as ESC [ is.
      sequence_ = Sequence::kControl;
      held_ = "\x1b[";
      continue;
    }
    clean += c;
  }
  Decode(clean, out);
}

void TerminalKeyDecoder::Decode(std::string_view bytes, std::vector<WindowEvent>& out) {
  while (!bytes.empty()) {
    if (discarding_ != Discarding::kNothing) {
      bytes = DiscardUntilEnd(bytes);
      continue;
    }
    const std::size_t pushed = termkey_push_bytes(keys_, bytes.data(), bytes.size());
    if (pushed == static_cast<std::size_t>(-1) || pushed == 0) {
      // Full, and nothing in it is a whole key.
      StartDiscarding();
      continue;
    }
    bytes.remove_prefix(pushed);
    TakeKeys(out, false);
  }
}

void TerminalKeyDecoder::Settle(std::vector<WindowEvent>& out) {
  discarding_ = Discarding::kNothing;
  // A lone Escape is the Escape key; a control sequence never finished is
  // no key.
  if (sequence_ == Sequence::kEscape) Decode("\x1b", out);
  sequence_ = Sequence::kNone;
  held_.clear();
  if (keys_ && keyPending_) TakeKeys(out, true);
}

void TerminalKeyDecoder::TakeKeys(std::vector<WindowEvent>& out, bool force) {
  keyPending_ = false;
  TermKeyKey key;
  while (true) {
    const TermKeyResult result =
        force ? termkey_getkey_force(keys_, &key) : termkey_getkey(keys_, &key);
    if (result == TERMKEY_RES_KEY) {
      if (IsCloseKey(key)) {
        PushKey(out, kQuitKey);
      } else if (const int code = VirtualKeyFromTermkey(key); code != 0) {
        PushKey(out, code);
      }
      continue;
    }
    if (result != TERMKEY_RES_AGAIN) return;
    if (termkey_get_buffer_remaining(keys_) == 0) {
      StartDiscarding();
    } else {
      keyPending_ = true;
    }
    return;
  }
}

void TerminalKeyDecoder::StartDiscarding() {
  keyPending_ = false;
  // Forced, the decoder gives the sequence's introducer as Alt and its
  // letter, then each byte it holds as a key of its own: none is used.
  TermKeyKey key;
  discarding_ = Discarding::kControlString;
  if (termkey_getkey_force(keys_, &key) == TERMKEY_RES_KEY && key.type == TERMKEY_TYPE_UNICODE &&
      key.code.codepoint == '[') {
    discarding_ = Discarding::kControlSequence;
  }
  discardedEscape_ = false;
  while (termkey_getkey_force(keys_, &key) == TERMKEY_RES_KEY) {
    discardedEscape_ = key.type == TERMKEY_TYPE_KEYSYM && key.code.sym == TERMKEY_SYM_ESCAPE;
  }
}

std::string_view TerminalKeyDecoder::DiscardUntilEnd(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const bool ends = discarding_ == Discarding::kControlSequence
                          ? byte >= 0x40 && byte <= 0x7e
                          : byte == 0x07 || (discardedEscape_ && byte == '\\');
    discardedEscape_ = byte == 0x1b;
    if (ends) {
      discarding_ = Discarding::kNothing;
      return bytes.substr(i + 1);
    }
  }
  return {};
}

}  // namespace voxrig
