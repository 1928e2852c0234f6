// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Channel lists as people exchange them: comma-separated text from
// spreadsheets and radio-programming tools. This is only the record syntax
// (quotes, separators, line ends, a byte-order mark); what the columns mean
// is bank_csv's.
namespace voxrig::banks {

struct CsvRecord {
  int line = 0;  // the file line the record starts on, from 1
  std::vector<std::string> fields;
};

struct CsvText {
  char separator = ',';
  std::vector<CsvRecord> records;  // blank lines (and lines of bare separators) left out
  // The first line holding a byte that text never holds (a NUL or another
  // control byte than tab, CR and LF): the file is no channel list at all.
  std::optional<int> notTextLine;
  // The line of a quote that is never closed: everything after it would be
  // one field.
  std::optional<int> openQuoteLine;
};

// Splits the bytes into records. A UTF-8 byte-order mark is skipped; CR LF,
// LF and a lone CR end a line; a field in double quotes may hold the
// separator, line ends and doubled quotes. The separator is the one the first
// line uses most outside quotes: ';' (spreadsheets where the decimal mark is
// a comma), a tab, or ','.
CsvText ReadCsv(std::string_view bytes);

// One field as it is written: in double quotes (inner quotes doubled) when it
// holds the separator, a quote, a line end, or blanks at either end that a
// reader might trim.
std::string CsvField(std::string_view text, char separator = ',');

}  // namespace voxrig::banks
