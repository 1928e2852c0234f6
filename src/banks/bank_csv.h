// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"

// A bank as a channel list that spreadsheets and radio-programming tools
// read and write, and back. Columns are found by name, so a list exported by
// another program, with columns of its own in any order, reads as well as
// our own.
namespace voxrig::banks {

// The channels a bank file can hold with its header and terminator in 400 lines.
inline constexpr int kMostFileChannels = (BankState::kFileLines - 4 - 1) / 2;
// The channels a receiver bank takes from W (00 to 90).
inline constexpr int kMostReceiverChannels = 91;

// The bank as CSV with CR LF line ends: a header line
// "Location,Name,Frequency,Mode,TStep", then one line per channel, counted
// from 0 as the receiver numbers its channels. Frequencies and the step are
// written as the bank holds them, so a bank read back is the same bank.
std::string BankToCsv(const BankState::Slots& slots);

struct CsvImport {
  // True when every line was taken; the slots then hold the whole bank.
  bool ok = false;
  int channels = 0;
  // Why the list cannot become a bank, each naming its line: nothing is
  // written when there is any.
  std::vector<std::string> errors;
  // What the listener should know about a bank that was made: columns
  // ignored, modes the bank does not keep, channels past the receiver's 91.
  std::vector<std::string> notes;
  BankState::Slots slots;
};

// A whole bank file as CSV, as BankToCsv writes a bank: every channel in
// front of its terminator, however many lines the file has (the panel holds
// only its first 400), each line as long as the file has it. `channels` is
// set to their number.
std::string BankFileToCsv(std::string_view bankFileBytes, int& channels);

// The slots of a bank file's bytes, read line by line up to its terminator
// (at most 400 lines) as the panel reads a bank file.
BankState::Slots BankSlotsOf(std::string_view bankFileBytes);

// True when the bytes read as a bank file rather than anything else: its
// second line names one of the panel's modes, or a "9999" line ends a
// channel list. A CSV list, notes or a configuration do not.
bool ReadsAsBank(std::string_view bytes);

// What a bank made from a list takes from the bank file it replaces (or, for
// a new file, from the panel's defaults): its label, and the mode and step
// when the list names none.
struct BankHeader {
  std::string label;
  std::string mode = "FM";
  std::string step = "12.5";
};

// Builds a bank from CSV bytes: at least a Frequency column (MHz, 0.1 to
// 2040); Location orders the channels, Name gives each its tag, Mode and
// TStep of the first channel give the bank's mode and step.
CsvImport BankFromCsv(std::string_view bytes, const BankHeader& header);

}  // namespace voxrig::banks
