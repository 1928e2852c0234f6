// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_csv.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>

#include "banks/bank_file.h"
#include "banks/bank_layout.h"
#include "banks/csv_records.h"
#include "core/receiver_modes.h"
#include "core/text_rules.h"
#include "link/receiver_commands.h"
#include "tuning/modes.h"

namespace voxrig::banks {

namespace {

using receiver::kHighestHz;
using receiver::kLowestHz;
constexpr std::size_t kMostDecimals = 6;
using receiver::kChannelNameLength;

// What the columns are called in the lists people exchange.
enum class Column { kLocation, kName, kFrequency, kMode, kStep };
struct ColumnName {
  std::string_view name;
  Column column;
};
constexpr std::array<ColumnName, 13> kColumnNames{{
    {"location", Column::kLocation},
    {"channel", Column::kLocation},
    {"ch", Column::kLocation},
    {"name", Column::kName},
    {"tag", Column::kName},
    {"alpha tag", Column::kName},
    {"frequency", Column::kFrequency},
    {"freq", Column::kFrequency},
    {"frequency (mhz)", Column::kFrequency},
    {"rx frequency", Column::kFrequency},
    {"mode", Column::kMode},
    {"tstep", Column::kStep},
    {"step", Column::kStep},
}};

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A decimal number as a listener's list may write it: digits with at most one
// point, where a lone comma is the decimal mark of a spreadsheet.
std::optional<std::string> DecimalText(std::string_view field) {
  std::string text = Trimmed(field);
  if (text.find('.') == std::string::npos && std::count(text.begin(), text.end(), ',') == 1) {
    std::replace(text.begin(), text.end(), ',', '.');
  }
  if (std::count(text.begin(), text.end(), '.') > 1) return std::nullopt;
  if (std::count_if(text.begin(), text.end(), IsDigit) == 0) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == '.'; })) {
    return std::nullopt;
  }
  return text;
}

// Hertz of a decimal megahertz text with at most six decimals; past the
// receiver's range when the megahertz alone are too many digits to count.
std::int64_t HzOf(const std::string& decimal) {
  const auto point = decimal.find('.');
  std::string megahertz = decimal.substr(0, point);
  std::string decimals = point == std::string::npos ? "" : decimal.substr(point + 1);
  megahertz.erase(0, std::min(megahertz.find_first_not_of('0'), megahertz.size()));
  if (megahertz.size() > 6) return kHighestHz + 1;
  decimals.resize(kMostDecimals, '0');
  return (megahertz.empty() ? 0 : std::stoll(megahertz)) * 1'000'000 + std::stoll(decimals);
}

// A decimal text without the leading zeros of its whole part (one stays
// before a point: 0.5), so 0000145.5 is kept as 145.5, the form the receiver
// reads.
std::string WithoutLeadingZeros(std::string text) {
  std::size_t zeros = 0;
  while (zeros + 1 < text.size() && text[zeros] == '0' && IsDigit(text[zeros + 1])) ++zeros;
  return text.substr(zeros);
}

// The frequency text a channel keeps, or why the field cannot be one.
std::optional<std::string> ChannelFrequency(std::string_view field, std::string& why) {
  const std::string shown = Trimmed(field);
  if (shown.empty()) {
    why = "no frequency";
    return std::nullopt;
  }
  const auto decimal = DecimalText(shown);
  if (!decimal) {
    why = "frequency \"" + shown + "\" is not a number of megahertz";
    return std::nullopt;
  }
  const auto point = decimal->find('.');
  if (point != std::string::npos && decimal->size() - point - 1 > kMostDecimals) {
    why = "frequency " + shown + " has more than six decimals (the receiver tunes to the hertz)";
    return std::nullopt;
  }
  const std::int64_t hz = HzOf(*decimal);
  if (hz < kLowestHz || hz > kHighestHz) {
    why = "frequency " + shown + " MHz is outside the receiver's 0.1 to 2040 MHz";
    return std::nullopt;
  }
  return WithoutLeadingZeros(*decimal);
}

// The step text a bank keeps, or why the field cannot be one: kilohertz the
// receiver steps by, without leading zeros or decimal zeros past the second.
std::optional<std::string> BankStepText(std::string_view field, std::string& why) {
  const std::string shown = Trimmed(field);
  auto decimal = DecimalText(shown);
  if (!decimal) {
    why = "step \"" + shown + "\" is not a number of kilohertz";
    return std::nullopt;
  }
  std::string step = WithoutLeadingZeros(*decimal);
  const auto point = step.find('.');
  while (point != std::string::npos && step.size() - point - 1 > 2 && step.back() == '0') {
    step.pop_back();
  }
  if (!receiver::IsReceiverStep(step)) {
    why = "step " + shown +
          " kHz is not one the receiver has (a multiple of 0.05 kHz up to 999.95, or 8.33)";
    return std::nullopt;
  }
  return step;
}

// The modes other programs name are read and written by the names the mode
// table gives them.
std::optional<std::string> BankModeOf(const std::string& field) {
  const ReceiverMode* mode = ModeOfCsvName(Trimmed(field));
  if (mode == nullptr) return std::nullopt;
  return std::string(mode->panelText);
}

std::string CsvModeOf(const std::string& bankMode) {
  const ReceiverMode* mode = ModeOfPanelText(bankMode);
  return mode != nullptr ? std::string(mode->csvName) : Trimmed(bankMode);
}

// The CSV of a bank: a header line, then one line per channel counted from
// 0, each with the bank's mode and step.
std::string CsvOf(const std::string& bankMode, const std::string& bankStep,
                  const std::vector<std::pair<std::string, std::string>>& channels) {
  const std::string mode = CsvField(CsvModeOf(bankMode));
  const std::string step = CsvField(bankStep);
  std::string csv = "Location,Name,Frequency,Mode,TStep\r\n";
  for (std::size_t k = 0; k < channels.size(); ++k) {
    const auto& [frequency, tag] = channels[k];
    // The one blank of a channel the panel added is no name.
    const std::string name = tag == " " ? std::string() : tag;
    csv += std::to_string(k) + "," + CsvField(name) + "," + CsvField(frequency) + "," + mode + "," +
           step + "\r\n";
  }
  return csv;
}

std::string LineList(const std::vector<int>& lines) {
  std::string list;
  for (int line : lines) list += (list.empty() ? "" : ", ") + std::to_string(line);
  return list;
}

// One channel line that was taken.
struct Row {
  int line = 0;
  long long location = 0;
  std::string frequency;
  std::string tag;
  std::string mode;  // as the line writes it
  std::string step;  // as the line writes it
};

// The field of a column in a record, empty when the record is short or the
// list has no such column.
std::string FieldOf(const CsvRecord& record, const std::map<Column, std::size_t>& columns,
                    Column column) {
  const auto at = columns.find(column);
  if (at == columns.end() || at->second >= record.fields.size()) return {};
  return record.fields[at->second];
}

// A name as a bank line can hold it: the line ends that a quoted field may
// carry become blanks, and no name is empty (the panel's own channels carry
// one blank).
std::string TagOf(const std::string& name) {
  std::string tag = name;
  std::replace(tag.begin(), tag.end(), '\n', ' ');
  return tag.empty() ? std::string(" ") : tag;
}

bool IsBlankRecord(const CsvRecord& record) {
  return std::all_of(record.fields.begin(), record.fields.end(),
                     [](const std::string& field) { return Trimmed(field).empty(); });
}

// Reads the channel lines; refused lines go to the errors.
std::vector<Row> ReadRows(const CsvText& text, const std::map<Column, std::size_t>& columns,
                          CsvImport& result) {
  std::vector<Row> rows;
  std::map<long long, int> lineOfLocation;
  for (std::size_t r = 1; r < text.records.size(); ++r) {
    const CsvRecord& record = text.records[r];
    if (IsBlankRecord(record)) continue;
    const auto refuse = [&](const std::string& why) {
      result.errors.push_back("line " + std::to_string(record.line) + ": " + why);
    };
    Row row;
    row.line = record.line;
    if (columns.count(Column::kLocation) != 0) {
      const std::string location = Trimmed(FieldOf(record, columns, Column::kLocation));
      if (location.empty() || location.size() > 9 ||
          !std::all_of(location.begin(), location.end(), IsDigit)) {
        refuse("location \"" + location + "\" is not a channel number");
        continue;
      }
      row.location = std::stoll(location);
      const auto [earlier, fresh] = lineOfLocation.emplace(row.location, record.line);
      if (!fresh) {
        refuse("location " + location + " is also on line " + std::to_string(earlier->second));
        continue;
      }
    } else {
      row.location = static_cast<long long>(rows.size());
    }
    std::string why;
    const auto frequency = ChannelFrequency(FieldOf(record, columns, Column::kFrequency), why);
    if (!frequency) {
      refuse(why);
      continue;
    }
    row.frequency = *frequency;
    row.tag = TagOf(FieldOf(record, columns, Column::kName));
    if (row.tag == kBankTerminator) {
      refuse("the name 9999 would end the bank file there");
      continue;
    }
    if (row.tag.size() > BoundedText::kCapacity) {
      refuse("the name has " + std::to_string(row.tag.size()) + " characters; a bank line holds " +
             std::to_string(BoundedText::kCapacity));
      continue;
    }
    row.mode = FieldOf(record, columns, Column::kMode);
    const std::string step = FieldOf(record, columns, Column::kStep);
    if (!Trimmed(step).empty()) {
      const auto stepText = BankStepText(step, why);
      if (!stepText) {
        refuse(why);
        continue;
      }
      row.step = *stepText;
    }
    rows.push_back(row);
  }
  return rows;
}

// The bank's mode: that of the first channel the receiver has a mode for.
// Channels of other modes, and modes the receiver lacks, are told.
std::string BankMode(const std::vector<Row>& rows, bool hasModeColumn, const std::string& kept,
                     CsvImport& result) {
  std::optional<std::string> mode;
  std::vector<int> otherModes;
  for (const Row& row : rows) {
    const auto bankMode = BankModeOf(row.mode);
    if (!bankMode) {
      if (hasModeColumn) {
        result.notes.push_back("line " + std::to_string(row.line) + ": mode \"" +
                               Trimmed(row.mode) + "\" is not one the receiver has");
      }
    } else if (!mode) {
      mode = bankMode;
    } else if (*bankMode != *mode) {
      otherModes.push_back(row.line);
    }
  }
  const std::string bankMode = mode.value_or(kept);
  if (!mode && !rows.empty()) {
    result.notes.push_back("no channel names a mode the receiver has: the bank listens in " +
                           bankMode);
  }
  if (!otherModes.empty()) {
    result.notes.push_back("a bank has one mode: every channel is heard in " + Trimmed(bankMode) +
                           ", also those of other modes (line" +
                           (otherModes.size() > 1 ? "s " : " ") + LineList(otherModes) + ")");
  }
  return bankMode;
}

std::string BankStep(const std::vector<Row>& rows, const std::string& kept) {
  return rows.empty() || rows.front().step.empty() ? kept : rows.front().step;
}

// The receiver shows a channel's first 12 characters; a longer name is kept
// whole in the bank, and the listener is told which ones the receiver cuts.
void NoteLongNames(const std::vector<Row>& rows, CsvImport& result) {
  std::vector<int> lines;
  for (const Row& row : rows) {
    if (row.tag.size() > kChannelNameLength) lines.push_back(row.line);
  }
  if (lines.empty()) return;
  result.notes.push_back("the receiver shows the first " + std::to_string(kChannelNameLength) +
                         " characters of a name; longer on line" + (lines.size() > 1 ? "s " : " ") +
                         LineList(lines));
}

// The first reason the bytes are no channel list at all, if there is one.
std::optional<std::string> UnreadableText(const CsvText& text) {
  if (text.notTextLine) {
    return "line " + std::to_string(*text.notTextLine) +
           ": holds bytes that are not text; this is no channel list";
  }
  if (text.openQuoteLine) {
    return "line " + std::to_string(*text.openQuoteLine) + ": a quote opened here is never closed";
  }
  if (text.records.empty()) return std::string("line 1: no header line; the file is empty");
  return std::nullopt;
}

// The columns the header line names, each at its first place; the names of
// the others, as written, go to `ignored`.
std::map<Column, std::size_t> ColumnsOf(const CsvRecord& names, std::vector<std::string>& ignored) {
  std::map<Column, std::size_t> columns;
  for (std::size_t i = 0; i < names.fields.size(); ++i) {
    const std::string name = Lower(Trimmed(names.fields[i]));
    const auto known = std::find_if(kColumnNames.begin(), kColumnNames.end(),
                                    [&](const ColumnName& c) { return c.name == name; });
    if (known == kColumnNames.end() || columns.count(known->column) != 0) {
      if (!name.empty()) ignored.push_back(Trimmed(names.fields[i]));
      continue;
    }
    columns[known->column] = i;
  }
  return columns;
}

// The bank's slots: the header, the mode and step the rows give, the channels
// in order, and the terminator.
void FillSlots(const std::vector<Row>& rows, bool hasModeColumn, const BankHeader& header,
               CsvImport& result) {
  BankState::Slots& slots = result.slots;
  slots[0] = header.label;
  slots[1] = BankMode(rows, hasModeColumn, header.mode, result);
  slots[2] = BankStep(rows, header.step);
  slots[3] = " ";
  int slot = kFirstChannelSlot;
  for (const Row& row : rows) {
    slots[static_cast<std::size_t>(slot++)] = row.frequency;
    slots[static_cast<std::size_t>(slot++)] = row.tag;
  }
  slots[static_cast<std::size_t>(slot)] = kBankTerminator;
  result.channels = static_cast<int>(rows.size());
}

}  // namespace

BankState::Slots BankSlotsOf(std::string_view bankFileBytes) {
  BankState::Slots slots;
  const std::vector<std::string> lines = SplitLines(bankFileBytes);
  for (std::size_t i = 0; i < lines.size() && i < BankState::kFileLines; ++i) {
    slots[i] = lines[i];
    if (slots[i] == kBankTerminator) break;
  }
  return slots;
}

std::string BankToCsv(const BankState::Slots& slots) {
  const BankLayout layout = ReadLayout(slots, BankState::kFileLines);
  std::vector<std::pair<std::string, std::string>> channels;
  for (const Channel& channel : layout.channels) {
    channels.emplace_back(channel.frequency.str(), channel.tag.str());
  }
  return CsvOf(slots[1].str(), slots[2].str(), channels);
}

std::string BankFileToCsv(std::string_view bankFileBytes, int& channels) {
  const std::vector<std::string> lines = SplitLines(bankFileBytes);
  // Any line that is exactly "9999" ends the bank, as it does for the panel.
  const std::size_t end = static_cast<std::size_t>(
      std::find(lines.begin(), lines.end(), kBankTerminator) - lines.begin());
  const auto line = [&](std::size_t i) { return i < end ? lines[i] : std::string(); };
  std::vector<std::pair<std::string, std::string>> found;
  for (std::size_t slot = kFirstChannelSlot; slot + 1 < end; slot += 2) {
    found.emplace_back(lines[slot], lines[slot + 1]);
  }
  if (end == lines.size()) {
    // Without a terminator: a last frequency without its tag line is a
    // channel, and the empty records behind the last text are none.
    if (end > kFirstChannelSlot && (end - kFirstChannelSlot) % 2 == 1) {
      found.emplace_back(lines[end - 1], std::string());
    }
    while (!found.empty() && found.back().first.empty() && found.back().second.empty()) {
      found.pop_back();
    }
  }
  channels = static_cast<int>(found.size());
  return CsvOf(line(1), line(2), found);
}

bool ReadsAsBank(std::string_view bytes) {
  const std::vector<std::string> lines = SplitLines(bytes);
  if (lines.size() > 1 && IsModeName(lines[1])) return true;
  for (std::size_t slot = kFirstChannelSlot; slot < lines.size(); slot += 2) {
    if (lines[slot] == kBankTerminator) return true;
  }
  return false;
}

CsvImport BankFromCsv(std::string_view bytes, const BankHeader& header) {
  CsvImport result;
  const CsvText text = ReadCsv(bytes);
  if (const auto error = UnreadableText(text)) {
    result.errors.push_back(*error);
    return result;
  }
  const CsvRecord& names = text.records.front();
  std::vector<std::string> ignored;
  const std::map<Column, std::size_t> columns = ColumnsOf(names, ignored);
  if (columns.count(Column::kFrequency) == 0) {
    result.errors.push_back("line " + std::to_string(names.line) +
                            ": the header names no Frequency column");
    return result;
  }
  std::vector<Row> rows = ReadRows(text, columns, result);
  if (!result.errors.empty()) return result;
  if (static_cast<int>(rows.size()) > kMostFileChannels) {
    result.errors.push_back("line " + std::to_string(rows[kMostFileChannels].line) + ": " +
                            std::to_string(rows.size()) + " channels; a bank file holds " +
                            std::to_string(kMostFileChannels));
    return result;
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.location < b.location; });
  if (!ignored.empty()) {
    std::string list;
    for (const std::string& name : ignored) list += (list.empty() ? "" : ", ") + name;
    result.notes.push_back("columns ignored: " + list);
  }
  FillSlots(rows, columns.count(Column::kMode) != 0, header, result);
  NoteLongNames(rows, result);
  if (result.channels > kMostReceiverChannels) {
    result.notes.push_back("W sends the first " + std::to_string(kMostReceiverChannels) +
                           " channels to the receiver (00 to 90); the bank holds " +
                           std::to_string(result.channels));
  }
  result.ok = true;
  return result;
}

}  // namespace voxrig::banks
