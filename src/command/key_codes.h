// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The virtual-key codes the interpreter knows, as the window delivers them
// with a key-down: letters arrive as capitals whatever the shift state.
namespace voxrig::keys {

inline constexpr int kSeparator = 0;  // follows every key in the queue
// Takes back the last character typed (or the key that began a sequence).
inline constexpr int kBackspace = 8;
inline constexpr int kEnter = 13;
// Abandons the entry or key sequence in progress.
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
// The decimal point; also the Delete key, which therefore types a point.
inline constexpr int kPoint = 46;
inline constexpr int kDigit0 = 48;
inline constexpr int kDigit9 = 57;
// The numeric keypad's digits and point, with NumLock on.
inline constexpr int kKeypad0 = 96;
inline constexpr int kKeypad9 = 105;
inline constexpr int kKeypadPoint = 110;
inline constexpr int kF1 = 112;
inline constexpr int kF7 = 118;
// The full-stop key; taken as the point on arrival.
inline constexpr int kFullStop = 190;

// Where the listener is: frequency, channel, mode, level and what runs.
// Not one of the receiver's bank letters A to J, so it can be pressed in
// the middle of any sequence without being taken for its argument.
inline constexpr int kWhereAmI = 'V';

// The key as the interpreter takes it: the full-stop key and the keypad's
// point type the point, and the keypad's digits are the main digits.
constexpr int AsMainKey(int key) {
  if (key == kFullStop || key == kKeypadPoint) return kPoint;
  if (key >= kKeypad0 && key <= kKeypad9) return kDigit0 + (key - kKeypad0);
  return key;
}

constexpr int Letter(char capital) {
  return capital;
}

constexpr bool IsDigit(int key) {
  return key >= kDigit0 && key <= kDigit9;
}

// The receiver's memory banks a listener can name from the keyboard: A to J.
constexpr bool IsReceiverBankLetter(int key) {
  return key >= Letter('A') && key <= Letter('J');
}

}  // namespace voxrig::keys
