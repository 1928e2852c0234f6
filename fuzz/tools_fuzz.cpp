// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tools that write files, run on a folder of bank files and
// others, with any command line the fuzzer builds and any bytes in the files.
// What must hold whatever comes:
//   - a refused run (exit code not 0) leaves every file byte for byte;
//   - no file that read as a bank (or has a bank's name) is changed, except
//     the bank --import was asked to make, which then reads as a bank whose
//     every value the receiver takes, with the old bytes kept for U;
//   - --export changes no file but the CSV it was asked to make, and a CSV it
//     makes of a bank that fits is taken back by --import with the same
//     channels, while one of a bank too long for a file is refused by count.
// The panel's own option parser gets the same command lines and must keep
// its rules (--device, --force only with what they belong to).
//
// Input: byte 0 picks the option and how many names follow, byte 1 where
// --force stands (if at all) and which names are links, bytes 2 to 4 pick the
// names; the rest holds the files' contents, split at each 0xFF.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/bank_csv_command.h"
#include "app/command_line.h"
#include "banks/bank_csv.h"
#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "core/text_rules.h"
#include "fakes/memory_file_system.h"
#include "link/receiver_commands.h"
#include "tuning/modes.h"

namespace {

using Folder = std::map<std::string, std::string>;

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "tools_fuzz: %s\n", what);
  std::abort();
}

// The files of the folder, in the order the input fills them.
const char* const kFiles[] = {"bank01.dat", "BANK02.DAT", "list.csv",
                              "notes.txt",  "saved.csv",  "bank0512.dat"};
// The names a command line may give: the files, names of new files, the
// same names in other letter cases, options in the wrong place.
const char* const kNames[] = {"bank01.dat", "bank02.dat", "BANK02.DAT", "list.csv",     "notes.txt",
                              "saved.csv",  "new.csv",    "bank07.dat", "bank0512.dat", "NEW.CSV",
                              "bank7.dat",  "x",          "--force",    "--device",     "--setup",
                              "--probe",    "--net",      "4532",       "--export",     "--import"};
constexpr std::size_t kNameCount = sizeof kNames / sizeof kNames[0];

bool HasBankName(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const std::size_t digits = lower.size() >= 8 ? lower.size() - 8 : 0;
  return (digits == 2 || digits == 4) && lower.starts_with("bank") && lower.ends_with(".dat") &&
         std::all_of(lower.begin() + 4, lower.begin() + 4 + static_cast<long>(digits),
                     [](char c) { return c >= '0' && c <= '9'; });
}

bool IsBank(const std::string& name, const std::string& bytes) {
  return HasBankName(name) || voxrig::banks::ReadsAsBank(bytes);
}

// A bank's channels as the tools read a whole file: frequency and name.
struct Channels {
  std::string mode, step;
  std::vector<std::pair<std::string, std::string>> list;
};

Channels ChannelsOf(const std::string& bytes) {
  Channels channels;
  const std::vector<std::string> lines = voxrig::SplitLines(bytes);
  const std::size_t end =
      static_cast<std::size_t>(std::find(lines.begin(), lines.end(), "9999") - lines.begin());
  if (end > 1) channels.mode = lines[1];
  if (end > 2) channels.step = lines[2];
  for (std::size_t slot = 4; slot + 1 < end; slot += 2) {
    channels.list.emplace_back(lines[slot], lines[slot + 1]);
  }
  if (end == lines.size()) {
    if (end > 4 && (end - 4) % 2 == 1) channels.list.emplace_back(lines[end - 1], "");
    while (!channels.list.empty() && channels.list.back().first.empty() &&
           channels.list.back().second.empty()) {
      channels.list.pop_back();
    }
  }
  return channels;
}

std::string WithoutLeadingZeros(const std::string& text) {
  std::size_t zeros = 0;
  while (zeros + 1 < text.size() && text[zeros] == '0' && text[zeros + 1] >= '0' &&
         text[zeros + 1] <= '9') {
    ++zeros;
  }
  return text.substr(zeros);
}

bool IsText(const std::string& name) {
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && byte != '\t') || byte == 0x7F;
  });
}

// Whether every value of the bank can go into a list and back: the receiver
// takes its mode, step and frequencies, and every name is text a bank line holds.
bool Fits(const Channels& channels) {
  if (!voxrig::IsModeName(channels.mode) || !voxrig::receiver::IsReceiverStep(channels.step)) {
    return false;
  }
  for (const auto& [frequency, name] : channels.list) {
    if (!voxrig::receiver::IsReceiverFrequency(frequency)) return false;
    if (name.size() > 254 || !IsText(name) || name == "9999") return false;
  }
  return true;
}

// --export's CSV, read back as --import reads it.
void CheckExportComesBack(const std::string& bankBytes, const std::string& csv) {
  const Channels source = ChannelsOf(bankBytes);
  if (!Fits(source)) return;
  const voxrig::banks::CsvImport back = voxrig::banks::BankFromCsv(csv, {"bank05"});
  if (static_cast<int>(source.list.size()) > voxrig::banks::kMostFileChannels) {
    Check(!back.ok, "a CSV of more channels than a bank file holds was taken");
    Check(!back.errors.empty() &&
              back.errors.front().find("channels; a bank file holds") != std::string::npos,
          "a CSV too long for a bank file was refused without its count");
    return;
  }
  Check(back.ok, "a CSV made by --export was refused by --import");
  const Channels made = ChannelsOf(voxrig::BankFileBytes(back.slots));
  Check(made.list.size() == source.list.size(), "--export and --import lost a channel");
  for (std::size_t i = 0; i < made.list.size(); ++i) {
    Check(made.list[i].first == WithoutLeadingZeros(source.list[i].first),
          "a channel's frequency changed on its way through a CSV");
    const std::string name = source.list[i].second.empty() ? " " : source.list[i].second;
    Check(made.list[i].second == name, "a channel's name changed on its way through a CSV");
  }
  // A list carries the mode on its channels' rows: a bank of no channels
  // comes back in the import's own mode, as there is nothing to carry it.
  if (!source.list.empty()) {
    Check(made.mode == source.mode, "the bank's mode changed on its way through a CSV");
  }
}

void CheckOptionRules(const std::vector<std::string>& arguments) {
  const auto line = voxrig::ParseCommandLine(arguments);
  if (!line) return;
  Check(!(line->setup && line->probeFile), "--setup and --probe were taken together");
  Check(!line->device || line->setup || line->probeFile, "--device was taken alone");
  Check(!line->force || line->probeFile, "--force was taken without --probe");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const bool exporting = (data[0] & 1) == 0;
  const std::size_t nameCount = (data[0] >> 1) % 4;
  std::vector<std::string> arguments{exporting ? "--export" : "--import"};
  for (std::size_t i = 0; i < nameCount; ++i) {
    arguments.push_back(kNames[data[2 + i % 3] / (i + 1) % kNameCount]);
  }
  const std::size_t forceAt = data[1] % 8;
  if (forceAt <= arguments.size() && forceAt > 0 && (data[1] & 0x80) != 0) {
    arguments.insert(arguments.begin() + static_cast<long>(forceAt), "--force");
  }

  voxrig::fakes::MemoryFileSystem files;
  std::string_view rest(reinterpret_cast<const char*>(data + 5), size - 5);
  for (const char* name : kFiles) {
    if (rest.empty()) break;
    const std::size_t cut = rest.find('\xff');
    files.files[name] = std::string(rest.substr(0, cut));
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
  for (std::size_t i = 0; i < sizeof kFiles / sizeof kFiles[0]; ++i) {
    if ((data[1] >> 3 & 0x0F) == i + 1) files.links.insert(kFiles[i]);
  }
  const Folder before = files.files;

  std::ostringstream out, err;
  const auto code = voxrig::RunBankCsvCommand(arguments, files, out, err);
  CheckOptionRules(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
  Check(code.has_value(), "--export or --import was left to the panel");
  Check(*code == 0 || *code == voxrig::kExitRefused || *code == voxrig::kExitUsage,
        "an exit code that is neither done, refused nor usage");
  if (*code != 0) {
    Check(files.files == before, "a refused run changed a file");
    return 0;
  }
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] != "--force") paths.push_back(arguments[i]);
  }
  if (exporting) {
    const std::string& bank = before.at(paths[0]);
    Check(voxrig::banks::ReadsAsBank(bank), "--export read a file that is no bank");
    if (paths.size() == 1) {
      Check(files.files == before, "--export to standard output changed a file");
      CheckExportComesBack(bank, out.str());
      return 0;
    }
    const std::string& target = paths[1];
    for (const auto& [name, bytes] : files.files) {
      if (name == target) continue;
      const auto old = before.find(name);
      Check(old != before.end() && old->second == bytes, "--export changed another file");
    }
    const auto old = before.find(target);
    Check(old == before.end() || !IsBank(target, old->second), "--export replaced a bank");
    Check(!HasBankName(target), "--export wrote a file under a bank's name");
    CheckExportComesBack(bank, files.files.at(target));
    return 0;
  }
  // --import: the one bank it names, its undo copy, nothing else.
  const std::string target = files.ExistingName(paths[1]);
  Check(HasBankName(target), "--import wrote a file without a bank's name");
  const auto old = before.find(target);
  Check(old == before.end() || old->second.empty() || voxrig::banks::ReadsAsBank(old->second),
        "--import replaced a file that was no bank");
  bool copyKept = false;
  for (const auto& [name, bytes] : files.files) {
    if (name == target) continue;
    // Beside the copy, a note of what the import wrote: the bank as it is now.
    if (name.starts_with("undo/import") && name.ends_with(".written")) {
      Check(bytes == files.files.at(target), "--import noted other bytes than it wrote");
      continue;
    }
    if (name.starts_with("undo/import")) {
      copyKept = copyKept || (old == before.end() ? name.ends_with(".new") : bytes == old->second);
      continue;
    }
    const auto was = before.find(name);
    Check(was != before.end() && was->second == bytes, "--import changed another file");
  }
  Check(copyKept, "--import kept no copy of what it replaced for U");
  const std::string& made = files.files.at(target);
  Check(voxrig::banks::FirstRefusedLine(voxrig::banks::BankSlotsOf(made)) == 0,
        "--import made a bank holding a value the receiver cannot take");
  Check(made.ends_with("9999\r\n"), "--import made a bank without its end");
  return 0;
}
