// SPDX-License-Identifier: GPL-3.0-or-later
// Reads an arbitrary bank file and runs one bank operation on it through a
// whole fake program, then checks what a listener relies on: no bank file
// grows past its 400 lines or loses its end, no channel that was in a file is
// lost (however long the file was: the lines past the 400 that the bank in
// memory holds count too), and nothing is ever tuned or sent outside the bank.
//
// Input: byte 0 picks the operation and the typed argument, byte 1 holds
// switches, byte 2 the current channel slot for K, and the rest is the bank
// file (bank12.dat). A byte 0xFF in the rest splits off a second file, which
// becomes bank05.dat and bank00.dat (the sources of T).
//
// With switch bit 6 set, the input is a key script instead: byte 2 gives its
// length, the script follows, then the files as above. Each script byte is a
// key sequence typed into the whole panel (P, T, O, K, D, U, a search, or
// another program rewriting a file), and the undo oracle holds: after every U
// each bank file is one of its earlier versions, byte for byte, and without
// other programs' edits U gives back exactly the folder before the change.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_merge.h"
#include "banks/bank_operations.h"
#include "banks/bank_undo.h"
#include "command/interpreter.h"
#include "core/text_rules.h"
#include "fakes/test_program.h"
#include "link/receiver_commands.h"
#include "memory/receiver_transfer.h"
#include "poll/operation.h"
#include "poll/search_log.h"
#include "poll/selected_bank.h"

namespace {

using voxrig::BankState;
using voxrig::Context;

enum class Operation {
  kSelect,
  kSort,
  kDelete,
  kPut,
  kTransfer,
  kMerge,
  kLogHits,
  kWriteToReceiver,
  kCount
};

// Arguments as the keyboard can type them, refused ones included.
const char* const kEntries[] = {"12", "0512", "1212", "00", "1.", "123", "12A", "12J", "1.A", ""};

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "bank_fuzz: %s\n", what);
  std::abort();
}

// The channels and lines of a bank file as this program reads it.
struct FileView {
  bool present = false;
  voxrig::banks::BankLayout layout;
  BankState::Slots slots;
};

FileView View(voxrig::fakes::TestProgram& program, const std::string& name) {
  FileView view;
  const auto it = program.files.files.find(name);
  if (it == program.files.files.end()) return view;
  voxrig::fakes::TestProgram reader;
  reader.files.files[name] = it->second;
  reader.ctx.banks.bankFileName = name;
  voxrig::ReadBankFile(reader.ctx);
  view.present = true;
  view.slots = reader.ctx.banks.bankSlots;
  view.layout = voxrig::banks::ReadLayout(view.slots, BankState::kFileLines);
  return view;
}

std::size_t LineCount(const std::string& bytes) {
  std::size_t lines = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == '\r' && bytes[i + 1] == '\n') ++lines;
  }
  return lines;
}

// Every file this program wrote holds at most 400 CR LF lines, and a
// terminator, when there is one, is its last line.
void CheckWrittenFiles(voxrig::fakes::TestProgram& program,
                       const std::vector<std::string>& originals) {
  for (const auto& [name, bytes] : program.files.files) {
    bool original = false;
    for (const std::string& bytesBefore : originals) original = original || bytesBefore == bytes;
    if (original) continue;
    Check(LineCount(bytes) <= static_cast<std::size_t>(BankState::kFileLines),
          "a written bank file is longer than 400 lines");
    Check(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n",
          "a written bank file does not end with CR LF");
    const std::size_t end = bytes.find("\r\n9999\r\n");
    Check(end == std::string::npos || end + 8 == bytes.size(),
          "a written bank file goes on after its terminator");
    Check(bytes.rfind("9999\r\n", 0) != 0 || bytes.size() == 6,
          "a written bank file goes on after its terminator");
  }
}

// The target's channels before the merge stand, in order, at its head after it.
void CheckChannelsKept(const FileView& before, const FileView& after) {
  if (!before.present || !after.present) return;
  if (before.slots[1] != after.slots[1]) return;
  Check(after.layout.channels.size() >= before.layout.channels.size(), "a merge lost a channel");
  for (std::size_t i = 0; i < before.layout.channels.size(); ++i) {
    Check(after.layout.channels[i].frequency == before.layout.channels[i].frequency &&
              after.layout.channels[i].tag == before.layout.channels[i].tag,
          "a merge overwrote a channel");
  }
}

// Every channel of a bank file, read the way the panel reads a bank but
// without its 400-line reach: all the records in front of the first "9999"
// line, or without one, up to the last record that holds any text. A channel
// is its frequency and its tag, each cut to a slot's 254 characters.
std::vector<std::pair<std::string, std::string>> AllChannels(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t position = 0;
  while (position < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", position);
    const std::size_t stop = end == std::string::npos ? bytes.size() : end;
    lines.push_back(bytes.substr(position, std::min<std::size_t>(stop - position, 254)));
    position = stop + 1;
    if (end != std::string::npos && bytes[end] == '\r' && position < bytes.size() &&
        bytes[position] == '\n') {
      ++position;
    }
    if (lines.back() == "9999") break;
  }
  std::size_t end = lines.size();
  const bool terminated = !lines.empty() && lines.back() == "9999";
  if (terminated) end = lines.size() - 1;
  std::vector<std::pair<std::string, std::string>> channels;
  for (std::size_t slot = 4; slot + 1 < end + (terminated ? 0 : 1); slot += 2) {
    channels.emplace_back(lines[slot], slot + 1 < lines.size() ? lines[slot + 1] : std::string());
  }
  if (!terminated) {
    // The empty records behind the last text are what a file that lost its
    // "9999" reads as; they carry no channel.
    while (!channels.empty() && channels.back().first.empty() && channels.back().second.empty()) {
      channels.pop_back();
    }
  }
  return channels;
}

// After an operation that did not mean to remove channels, every channel of
// every file that it changed is still in it: the same frequency and tag after
// P, T and a merge; the same frequency after O, which drops repeats; all but
// one after K. A file left byte for byte as it was (a refusal) passes.
void CheckNoChannelLost(voxrig::fakes::TestProgram& program,
                        const std::map<std::string, std::string>& before, Operation operation) {
  for (const auto& [name, oldBytes] : before) {
    const auto now = program.files.files.find(name);
    Check(now != program.files.files.end(), "a bank file vanished");
    if (now->second == oldBytes) continue;
    const auto after = AllChannels(now->second);
    std::map<std::string, int> left;
    for (const auto& [frequency, tag] : after) {
      ++left[operation == Operation::kSort ? frequency : frequency + '\n' + tag];
    }
    int missing = 0;
    for (const auto& [frequency, tag] : AllChannels(oldBytes)) {
      const std::string key = operation == Operation::kSort ? frequency : frequency + '\n' + tag;
      if (operation == Operation::kSort) {
        // A frequency of one blank is what a dropped repeat reads as while
        // O drops repeats, so O may drop such a channel too.
        missing += left.count(key) == 0 && frequency != " " ? 1 : 0;
      } else if (left[key]-- <= 0) {
        ++missing;
      }
    }
    Check(missing <= (operation == Operation::kDelete ? 1 : 0), "a channel in the file was lost");
  }
}

bool AllDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What B may send for a bank's first channel, mode and step, in the forms the
// receiver reads: VA and four megahertz digits, a point and decimals or six
// more digits, within 0.1 to 2040 MHz; ST and three kilohertz digits, then a
// point and two decimals or three more digits, a step the receiver has; a
// mode code or automatic mode.
bool IsWellFormed(const std::string& command) {
  if (command.starts_with("VA")) {
    if (command.size() < 12 || !AllDigits(command.substr(2, 4))) return false;
    const bool point = command[6] == '.';
    const std::string rest = command.substr(point ? 7 : 6);
    if (!AllDigits(rest) || (!point && rest.size() != 6)) return false;
    const std::string text = command.substr(2, 4) + "." + rest;
    return voxrig::receiver::IsReceiverFrequency(
        text.substr(0, std::min<std::size_t>(11, text.size())));
  }
  if (command.starts_with("ST")) {
    if (command.size() != 8 || !AllDigits(command.substr(2, 3))) return false;
    const std::string tail = command.substr(5);
    if (tail[0] == '.')
      return AllDigits(tail.substr(1)) && voxrig::receiver::IsReceiverStep(command.substr(2));
    return AllDigits(tail) && tail[2] == '0' &&
           voxrig::receiver::IsReceiverStep(command.substr(2, 3) + "." + tail.substr(0, 2));
  }
  if (command.starts_with("MD"))
    return command.size() == 3 && command[2] >= '0' && command[2] <= '8';
  return command == "AU1";
}

// The text tuned last is never the terminator. (The command alone cannot
// tell: a hand-edited channel of 99990 MHz goes out as VA9999000000 too.)
void CheckNothingTunedOutsideTheBank(const Context& ctx) {
  Check(ctx.tuning.frequencyText != voxrig::kBankTerminator,
        "the terminator was tuned as a frequency");
}

// The bank files of the folder, without the undo copies.
using Folder = std::map<std::string, std::string>;

Folder BankFiles(voxrig::fakes::TestProgram& program) {
  Folder banks;
  for (const auto& [name, bytes] : program.files.files) {
    if (name.rfind("bank", 0) == 0) banks[name] = bytes;
  }
  return banks;
}

// A key whose work waits for the receiver (B, R, an Enter that leaves a
// scan) goes on step by step; it is run to its end, as the loop would,
// before the next key.
void FinishOperation(Context& ctx) {
  while (voxrig::OperationRunning(ctx)) {
    ctx.platform.stopwatch->Sleep(voxrig::MsUntilOperationStep(ctx));
    voxrig::RunDueOperationStep(ctx);
  }
}

void Type(Context& ctx, const std::string& keys) {
  for (const char c : keys) {
    voxrig::PanelState& panel = ctx.panel;
    if (panel.keyQueueCount + 2 > voxrig::PanelState::kQueueSize) return;
    panel.keyQueue[static_cast<std::size_t>(panel.keyQueueCount++)] = c == '^' ? 38 : c;
    panel.keyQueue[static_cast<std::size_t>(panel.keyQueueCount++)] = 0;
    voxrig::InterpretKey(ctx);
    FinishOperation(ctx);
    voxrig::InterpretKey(ctx);
  }
}

// Every version a bank file has held, "absent" included.
struct History {
  std::map<std::string, std::set<std::string>> versions;
  std::set<std::string> absentOnce;
  void Note(const Folder& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      const auto it = folder.find(name);
      if (it == folder.end()) {
        absentOnce.insert(name);
      } else {
        versions[name].insert(it->second);
      }
    }
  }
  bool Holds(const Folder& folder, const std::vector<std::string>& names) const {
    for (const std::string& name : names) {
      const auto it = folder.find(name);
      if (it == folder.end()) {
        if (absentOnce.count(name) == 0) return false;
      } else {
        const auto known = versions.find(name);
        if (known == versions.end() || known->second.count(it->second) == 0) return false;
      }
    }
    return true;
  }
};

void RunUndoScript(std::string_view script, const std::string& primary,
                   const std::string& secondary, std::uint8_t switches) {
  voxrig::fakes::TestProgram program;
  Context& ctx = program.ctx;
  program.AttachReceiver();
  ctx.app.programRunning = true;
  ctx.link.linkState = voxrig::ReceiverAnswer::kReceived;
  ctx.tuning.modeText = "FM";
  ctx.tuning.searchStepText = "12.5";
  ctx.tuning.searchLowerText = "145";
  ctx.tuning.searchUpperText = "146";
  ctx.tuning.frequencyText = "145.5";
  if ((switches & 1) == 0) program.files.files["bank12.dat"] = primary;
  if ((switches & 2) == 0) {
    program.files.files["bank05.dat"] = secondary;
    program.files.files["bank00.dat"] = secondary;
  }
  const std::vector<std::string> names{"bank00.dat", "bank05.dat", "bank12.dat", "bank07.dat"};
  History history;
  history.Note(BankFiles(program), names);
  // The folder before each change U can still take back, newest last, while
  // no other program has written a file.
  std::vector<Folder> changes;
  bool exact = true;
  for (const char byte : script) {
    const unsigned action = static_cast<unsigned char>(byte);
    const std::string bank = (action & 0x20) != 0 ? "05" : "12";
    const Folder before = BankFiles(program);
    bool undoable = true;
    bool searchStarted = false;
    switch (action % 8) {
      case 0:
        ctx.tuning.frequencyText = std::to_string(140 + (action >> 3)) + ".5";
        Type(ctx, "P" + bank + "\r");
        break;
      case 1:
        Type(ctx, (action & 0x40) != 0 ? "T12\r"
                                       : "T05" + std::string((action & 0x20) ? "07" : "12") + "\r");
        break;
      case 2:
        Type(ctx, "O" + bank + "\r");
        break;
      case 3:
        Type(ctx, "B" + bank + "\r" + std::string((action >> 3) & 3, '^') + "K\r");
        break;
      case 4:
        Type(ctx, "D" + bank + "\r");
        break;
      case 5: {
        Type(ctx, "U");
        const Folder after = BankFiles(program);
        Check(history.Holds(after, names), "after U a bank file is none of its earlier versions");
        if (exact) {
          if (changes.empty()) {
            Check(after == before, "U with nothing to undo changed a file");
          } else {
            Check(after == changes.back(), "U did not give back the folder before the change");
            changes.pop_back();
          }
        }
        undoable = false;
        break;
      }
      case 6:
        // Another program rewrites a file.
        program.files.files["bank" + bank + ".dat"] = primary.substr(0, action >> 3);
        exact = false;
        undoable = false;
        break;
      default:
        // R replaces the search log at once, as a step of its own; the
        // search's end rewrites it again outside any step, and may happen to
        // leave the bytes it had before R. U still takes the search back.
        Type(ctx, "R");
        searchStarted = BankFiles(program) != before;
        Type(ctx, "\r");
        break;
    }
    // Enter ends any selection or scan, so each script byte starts afresh.
    Type(ctx, "\r");
    const Folder after = BankFiles(program);
    history.Note(after, names);
    if (undoable && (after != before || searchStarted)) {
      changes.push_back(before);
      if (changes.size() > static_cast<std::size_t>(voxrig::kUndoSteps))
        changes.erase(changes.begin());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  if ((data[1] & 0x40) != 0) {
    const std::size_t length = std::min<std::size_t>(data[2] % 64, size - 3);
    const std::string_view script(reinterpret_cast<const char*>(data + 3), length);
    const std::string_view files(reinterpret_cast<const char*>(data + 3 + length),
                                 size - 3 - length);
    const std::size_t cut = files.find('\xff');
    RunUndoScript(
        script, std::string(files.substr(0, cut)),
        std::string(cut == std::string_view::npos ? std::string_view() : files.substr(cut + 1)),
        data[1]);
    return 0;
  }
  const auto operation = static_cast<Operation>(data[0] % static_cast<unsigned>(Operation::kCount));
  const std::string entry = kEntries[(data[0] / 8) % (sizeof kEntries / sizeof kEntries[0])];
  const std::uint8_t switches = data[1];
  const int scanIndex = static_cast<int>(data[2]) * 2 - 8 + ((switches >> 5) & 1);
  const std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  const std::size_t split = rest.find('\xff');
  const std::string primary(rest.substr(0, split));
  const std::string secondary(split == std::string_view::npos ? std::string_view()
                                                              : rest.substr(split + 1));

  voxrig::fakes::TestProgram program;
  Context& ctx = program.ctx;
  program.AttachReceiver();
  if ((switches & 1) == 0) program.files.files["bank12.dat"] = primary;
  if ((switches & 2) == 0) {
    program.files.files["bank05.dat"] = secondary;
    program.files.files["bank00.dat"] = secondary;
  }
  program.files.diskFull = (switches & 4) != 0;
  if ((switches & 8) != 0) ctx.app.voicePrefix = "";
  ctx.poll.searchStopMode =
      (switches & 16) != 0 ? voxrig::StopMode::kStop : voxrig::StopMode::kContinue;
  ctx.tuning.modeText = "FM";
  ctx.tuning.searchStepText = "12.5";
  ctx.tuning.frequencyText = "145.5";

  std::vector<std::string> originals;
  for (const auto& [name, bytes] : program.files.files) originals.push_back(bytes);
  const std::map<std::string, std::string> filesBefore = program.files.files;
  const FileView targetBefore = View(program, "bank12.dat");

  ctx.banks.bankFileName = "bank12.dat";
  voxrig::ReadBankFile(ctx);
  Check(ctx.banks.bankLastSlot % 2 == 0, "the last channel slot is not a frequency slot");

  switch (operation) {
    case Operation::kSelect:
      program.Finish(voxrig::SelectBank(ctx, entry));
      for (const std::string& command : program.Commands()) {
        Check(IsWellFormed(command), "B sent a command the receiver cannot read");
      }
      break;
    case Operation::kSort: {
      voxrig::SortBank(ctx, entry);
      const FileView after = View(program, "bank12.dat");
      // A file too long to rewrite is left as it was, in whatever order.
      const std::vector<std::string> heard = program.Heard();
      const bool sorted = !heard.empty() && heard.back() == "ok";
      if (after.present && sorted && entry == "12") {
        const auto& channels = after.layout.channels;
        for (std::size_t i = 1; i < channels.size(); ++i) {
          Check(voxrig::NumberFromText(channels[i - 1].frequency.str()) <=
                    voxrig::NumberFromText(channels[i].frequency.str()),
                "a sorted bank is out of order");
        }
        Check(channels.size() <= targetBefore.layout.channels.size(), "a sort added channels");
      }
      break;
    }
    case Operation::kDelete: {
      ctx.banks.bankScanIndex = scanIndex;
      const auto before = voxrig::banks::ReadLayout(ctx.banks.bankSlots, BankState::kFileLines);
      const BankState::Slots slotsBefore = ctx.banks.bankSlots;
      voxrig::DeleteChannel(ctx);
      const auto after = voxrig::banks::ReadLayout(ctx.banks.bankSlots, BankState::kFileLines);
      Check(after.channels.size() + 1 >= before.channels.size() &&
                after.channels.size() <= before.channels.size(),
            "K removed more than one channel");
      // A K refused on a file too long to rewrite changes nothing at all.
      const bool refused = ctx.banks.lastWriteTooLong;
      Check(
          !refused || (ctx.banks.bankScanIndex == scanIndex && ctx.banks.bankSlots == slotsBefore),
          "a refused K changed the bank in memory");
      Check(refused ||
                (ctx.banks.bankScanIndex >= 4 && ctx.banks.bankScanIndex % 2 == 0 &&
                 ctx.banks.bankScanIndex <= std::max(4, voxrig::banks::LastChannelSlot(after))),
            "K left the current channel outside the bank");
      break;
    }
    case Operation::kPut:
      voxrig::PutFrequency(ctx, entry);
      CheckChannelsKept(targetBefore, View(program, "bank12.dat"));
      break;
    case Operation::kTransfer:
      voxrig::TransferBank(ctx, entry);
      CheckChannelsKept(targetBefore, View(program, "bank12.dat"));
      break;
    case Operation::kMerge: {
      // The source list as T leaves it, taken from the second file.
      ctx.banks.bankFileName = "bank05.dat";
      voxrig::ReadBankFile(ctx);
      ctx.banks.sourceSlots = ctx.banks.bankSlots;
      voxrig::MergeIntoBank(ctx, entry);
      CheckChannelsKept(targetBefore, View(program, "bank12.dat"));
      break;
    }
    case Operation::kLogHits: {
      const bool terminated = voxrig::banks::TerminatorSlot(ctx.banks.bankSlots, 400) >= 4;
      for (std::size_t i = 0; i < primary.size() && i < 250; ++i) {
        ctx.tuning.frequencyText =
            std::to_string(100 + static_cast<int>(primary[i] & 0x7f) * 7 + static_cast<int>(i % 3));
        voxrig::LogSearchHit(ctx);
      }
      const std::string log = voxrig::BankFileBytes(ctx.banks.bankSlots);
      Check(LineCount(log) <= 400, "the search log is longer than its file");
      if (terminated) {
        Check(log.size() >= 6 && log.substr(log.size() - 6) == "9999\r\n",
              "the search log lost its terminator");
      }
      break;
    }
    case Operation::kWriteToReceiver: {
      program.Finish(voxrig::WriteBankToReceiver(ctx, entry));
      // Besides its channels W clears the bank first ("MQ") and reads it back
      // afterwards ("MA") to check what the receiver stored.
      std::vector<std::string> channels;
      for (const std::string& command : program.Commands()) {
        if (command.rfind("MQ", 0) == 0 || command.rfind("MA", 0) == 0) continue;
        channels.push_back(command);
      }
      Check(channels.size() <= 91, "more than channels 00 to 90 were sent");
      for (const std::string& command : channels) {
        Check(command.rfind("MX", 0) == 0 && command.size() >= 46, "a malformed channel command");
      }
      break;
    }
    case Operation::kCount:
      break;
  }
  CheckNothingTunedOutsideTheBank(ctx);
  CheckWrittenFiles(program, originals);
  if (operation == Operation::kSort || operation == Operation::kPut ||
      operation == Operation::kTransfer || operation == Operation::kMerge ||
      operation == Operation::kDelete) {
    CheckNoChannelLost(program, filesBefore, operation);
  }
  return 0;
}
