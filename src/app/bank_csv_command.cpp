#include "app/bank_csv_command.h"

#include "app/command_line.h"
#include "banks/bank_csv.h"
#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "core/text_rules.h"

namespace voxrig {

namespace {

std::string Channels(int count) {
  return std::to_string(count) + (count == 1 ? " channel" : " channels");
}

std::string ChannelCount(const BankState::Slots& slots) {
  return Channels(
      static_cast<int>(banks::ReadLayout(slots, BankState::kFileLines).channels.size()));
}

// The label of a bank file made from a list: "bank" and its number, as the
// panel labels the banks it makes.
std::string LabelFromName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string prefix = "bank", suffix = ".dat";
  if (name.size() > prefix.size() + suffix.size() && name.rfind(prefix, 0) == 0 &&
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
    return name.substr(0, name.size() - suffix.size());
  }
  return prefix;
}

int Export(const std::string& bankPath, const std::string* csvPath, FileSystem& files,
           std::ostream& out, std::ostream& err) {
  const auto bytes = files.ReadFile(bankPath);
  if (!bytes) {
    err << "voxrig: cannot read the bank file " << bankPath << "\n";
    return kExitRefused;
  }
  const BankState::Slots slots = banks::BankSlotsOf(*bytes);
  const std::string csv = banks::BankToCsv(slots);
  if (csvPath == nullptr) {
    out << csv;
    out.flush();
    if (!out) {
      err << "voxrig: cannot write the CSV to standard output\n";
      return kExitRefused;
    }
  } else if (!files.ReplaceFile(*csvPath, csv)) {
    err << "voxrig: cannot write " << *csvPath << "; nothing written\n";
    return kExitRefused;
  }
  err << "voxrig: " << bankPath << ": " << ChannelCount(slots) << " exported"
      << (csvPath != nullptr ? " to " + *csvPath : std::string()) << "\n";
  return 0;
}

int Import(const std::string& csvPath, const std::string& bankPath, FileSystem& files,
           std::ostream& err) {
  const auto csv = files.ReadFile(csvPath);
  if (!csv) {
    err << "voxrig: cannot read " << csvPath << "\n";
    return kExitRefused;
  }
  // A bank read back from its own export keeps its first line ("Scanbank"
  // for the search log), and its mode and step when the list names none; a
  // new one is labelled by its number.
  const auto old = files.ReadFile(bankPath);
  const std::optional<BankState::Slots> oldSlots =
      old ? std::optional(banks::BankSlotsOf(*old)) : std::nullopt;
  banks::BankHeader header{LabelFromName(bankPath)};
  if (oldSlots) {
    header.label = (*oldSlots)[0].str();
    if (!(*oldSlots)[1].empty()) header.mode = (*oldSlots)[1].str();
    if (!(*oldSlots)[2].empty()) header.step = (*oldSlots)[2].str();
  }
  const banks::CsvImport made = banks::BankFromCsv(*csv, header);
  for (const std::string& error : made.errors)
    err << "voxrig: " << csvPath << ": " << error << "\n";
  if (!made.ok) {
    err << "voxrig: nothing written; " << bankPath << (old ? " is unchanged" : " not made") << "\n";
    return kExitRefused;
  }
  for (const std::string& note : made.notes) err << "voxrig: " << csvPath << ": " << note << "\n";
  if (!files.ReplaceFile(bankPath, BankFileBytes(made.slots))) {
    err << "voxrig: cannot write " << bankPath << "; nothing written"
        << (old ? ", the old bank file is unchanged" : "") << "\n";
    return kExitRefused;
  }
  err << "voxrig: " << bankPath << ": " << Channels(made.channels) << " from " << csvPath
      << ", mode " << made.slots[1].str() << ", step " << made.slots[2].str() << " kHz";
  if (oldSlots) err << " (it held " << ChannelCount(*oldSlots) << " before)";
  err << "\n";
  return 0;
}

}  // namespace

std::optional<int> RunBankCsvCommand(const std::vector<std::string>& arguments, FileSystem& files,
                                     std::ostream& out, std::ostream& err) {
  if (arguments.empty()) return std::nullopt;
  const std::string& option = arguments.front();
  if (option == "--export" && (arguments.size() == 2 || arguments.size() == 3)) {
    return Export(arguments[1], arguments.size() == 3 ? &arguments[2] : nullptr, files, out, err);
  }
  if (option == "--import" && arguments.size() == 3) {
    return Import(arguments[1], arguments[2], files, err);
  }
  if (option == "--export" || option == "--import") {
    err << "voxrig: " << option << " needs "
        << (option == "--export" ? "BANK.dat [FILE.csv]" : "FILE.csv BANK.dat")
        << " (voxrig --help lists the options)\n";
    return kExitUsage;
  }
  return std::nullopt;
}

}  // namespace voxrig
