// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/bank_csv_command.h"

#include <algorithm>

#include "app/command_line.h"
#include "banks/bank_csv.h"
#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/bank_names.h"
#include "banks/bank_undo.h"
#include "core/text_rules.h"
#include "link/receiver_commands.h"
#include "tuning/modes.h"

namespace voxrig {

namespace {

constexpr const char* kForce = "--force";

std::string Channels(int count) {
  return std::to_string(count) + (count == 1 ? " channel" : " channels");
}

std::string ChannelCount(const BankState::Slots& slots) {
  return Channels(
      static_cast<int>(banks::ReadLayout(slots, BankState::kFileLines).channels.size()));
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

bool IsBankFileName(const std::string& path) {
  return banks::IsBankFileName(BaseName(path));
}

bool IsCsvName(const std::string& path) {
  const std::string name = Lower(BaseName(path));
  return name.size() > 4 && name.ends_with(".csv");
}

// The label of a bank file made from a list: "bank" and its number, as the
// panel labels the banks it makes.
std::string LabelFromName(const std::string& path) {
  const std::string name = BaseName(path);
  return name.substr(0, name.size() - 4);
}

// The words for a file that could not be read: its size is told as the
// reason when that is it.
std::string CannotRead(const std::string& what, const std::string& path, ReadStatus status) {
  if (status == ReadStatus::kTooLarge) {
    return path + " is larger than " + std::to_string(FileSystem::kReadLimit / (1024 * 1024)) +
           " MB, the most " + what + " may be";
  }
  if (status == ReadStatus::kUnreadable) return path + " is not a regular file";
  return "cannot read " + path;
}

int Refuse(std::ostream& err, const std::string& why) {
  err << "voxrig: " << why << "; nothing written\n";
  return kExitRefused;
}

// Why the CSV may not be written to `csvPath`, or nothing when it may. A bank
// is never replaced; a name that is not a CSV's, or a file that is there, is
// replaced only when the command line says --force.
std::optional<std::string> ExportTargetRefused(FileSystem& files, const std::string& bankPath,
                                               const std::string& csvPath, bool force) {
  if (IsBankFileName(csvPath)) {
    return csvPath + " is the name of a bank file, and --export writes only a CSV list (is it " +
           "voxrig --export " + bankPath + " FILE.csv you meant?)";
  }
  const FileRead existing = files.Read(csvPath);
  if ((existing.status == ReadStatus::kRead || existing.status == ReadStatus::kTooLarge) &&
      banks::ReadsAsBank(existing.bytes)) {
    return csvPath + " holds a bank, and --export never replaces one";
  }
  if (!force && !IsCsvName(csvPath)) {
    return csvPath + " does not end in .csv; give --force to write the list there all the same";
  }
  return std::nullopt;
}

int Export(const std::string& bankPath, const std::string* csvPath, bool force, FileSystem& files,
           std::ostream& out, std::ostream& err) {
  const FileRead bank = files.Read(bankPath);
  if (bank.status != ReadStatus::kRead) {
    return Refuse(err, CannotRead("a bank file", bankPath, bank.status));
  }
  if (!banks::ReadsAsBank(bank.bytes)) {
    return Refuse(err, bankPath + " does not read as a bank file (its second line names no mode)");
  }
  if (csvPath != nullptr) {
    if (const auto why = ExportTargetRefused(files, bankPath, *csvPath, force)) {
      return Refuse(err, *why);
    }
  }
  int channels = 0;
  const std::string csv = banks::BankFileToCsv(bank.bytes, channels);
  if (csvPath == nullptr) {
    out << csv;
    out.flush();
    if (!out) {
      err << "voxrig: cannot write the CSV to standard output\n";
      return kExitRefused;
    }
  } else if (!files.ReplaceFile(*csvPath, csv)) {
    return Refuse(err, "cannot write " + *csvPath);
  }
  err << "voxrig: " << bankPath << ": " << Channels(channels) << " exported"
      << (csvPath != nullptr ? " to " + *csvPath : std::string()) << "\n";
  return 0;
}

// The header a bank made from a list takes from the bank it replaces: its
// label ("Scanbank" for the search log), and its mode and step when the list
// names none and the receiver can take them.
banks::BankHeader HeaderKept(const std::string& bankPath,
                             const std::optional<BankState::Slots>& oldSlots) {
  banks::BankHeader header{LabelFromName(bankPath)};
  if (!oldSlots) return header;
  if (!(*oldSlots)[0].empty()) header.label = (*oldSlots)[0].str();
  if (IsModeName((*oldSlots)[1].str())) header.mode = (*oldSlots)[1].str();
  if (receiver::IsReceiverStep((*oldSlots)[2].str())) header.step = (*oldSlots)[2].str();
  return header;
}

int Import(const std::string& csvPath, const std::string& bankPath, FileSystem& files,
           std::ostream& err) {
  if (!IsBankFileName(bankPath)) {
    return Refuse(err, bankPath + " is not a bank file's name; --import writes only bank files, " +
                           "bank01.dat to bank99.dat");
  }
  // Found whatever its letter case, as the panel finds it.
  const std::string target = files.ExistingName(bankPath);
  const FileRead csv = files.Read(csvPath);
  if (csv.status != ReadStatus::kRead) {
    return Refuse(err, CannotRead("a channel list", csvPath, csv.status));
  }
  const FileRead old = files.Read(target);
  const bool existed = old.status != ReadStatus::kMissing;
  if (existed && old.status != ReadStatus::kRead) {
    return Refuse(err, CannotRead("a bank file", target, old.status));
  }
  // Through a link too: the file it names must be a bank, or empty.
  if (existed && !old.bytes.empty() && !banks::ReadsAsBank(old.bytes)) {
    return Refuse(err, target + " does not read as a bank file, and --import replaces only banks");
  }
  const std::optional<BankState::Slots> oldSlots =
      existed ? std::optional(banks::BankSlotsOf(old.bytes)) : std::nullopt;
  const banks::CsvImport made = banks::BankFromCsv(csv.bytes, HeaderKept(target, oldSlots));
  for (const std::string& error : made.errors)
    err << "voxrig: " << csvPath << ": " << error << "\n";
  if (!made.ok) {
    err << "voxrig: nothing written; " << target << (existed ? " is unchanged" : " not made")
        << "\n";
    return kExitRefused;
  }
  for (const std::string& note : made.notes) err << "voxrig: " << csvPath << ": " << note << "\n";
  // U in the panel takes the import back, as it takes back a key's change.
  const std::optional<std::string> copy =
      KeepImportCopy(files, target, existed ? std::optional(old.bytes) : std::nullopt);
  if (!copy) return Refuse(err, "cannot keep a copy of " + target + " in the undo folder for U");
  const std::string bytes = BankFileBytes(made.slots);
  const bool written = files.ReplaceFile(target, bytes);
  SettleImportCopy(files, *copy, written ? std::optional(bytes) : std::nullopt);
  if (!written) {
    return Refuse(err,
                  "cannot write " + target + (existed ? "; the old bank file is unchanged" : ""));
  }
  err << "voxrig: " << target << ": " << Channels(made.channels) << " from " << csvPath << ", mode "
      << made.slots[1].str() << ", step " << made.slots[2].str() << " kHz";
  if (oldSlots)
    err << " (it held " << ChannelCount(*oldSlots) << " before; U in the panel takes it back)";
  err << "\n";
  return 0;
}

}  // namespace

std::optional<int> RunBankCsvCommand(const std::vector<std::string>& arguments, FileSystem& files,
                                     std::ostream& out, std::ostream& err) {
  if (arguments.empty()) return std::nullopt;
  const std::string& option = arguments.front();
  if (option != "--export" && option != "--import") return std::nullopt;
  // The files, in order, and --force wherever it stands after the option.
  std::vector<std::string> paths;
  int forces = 0;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == kForce) {
      ++forces;
    } else {
      paths.push_back(arguments[i]);
    }
  }
  const bool exporting = option == "--export";
  const bool countsRight = exporting ? (paths.size() == 1 || paths.size() == 2) : paths.size() == 2;
  if (!countsRight || forces > 1 || (!exporting && forces > 0)) {
    err << "voxrig: " << option << " needs "
        << (exporting ? "BANK.dat [FILE.csv] [--force]" : "FILE.csv BANK.dat")
        << " (voxrig --help lists the options)\n";
    return kExitUsage;
  }
  if (exporting) {
    return Export(paths[0], paths.size() == 2 ? &paths[1] : nullptr, forces == 1, files, out, err);
  }
  return Import(paths[0], paths[1], files, err);
}

}  // namespace voxrig
