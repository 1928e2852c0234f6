// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/csv_records.h"

#include <algorithm>

namespace voxrig::banks {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsControlByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F;
}

// The separator of the first line: the candidate it holds most often outside
// quotes, a comma when it holds none.
char DetectSeparator(std::string_view bytes) {
  int commas = 0, semicolons = 0, tabs = 0;
  bool quoted = false;
  for (char c : bytes) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\r' || c == '\n') break;
    commas += c == ',';
    semicolons += c == ';';
    tabs += c == '\t';
  }
  if (semicolons > commas && semicolons >= tabs) return ';';
  if (tabs > commas) return '\t';
  return ',';
}

}  // namespace

CsvText ReadCsv(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  CsvText text;
  text.separator = DetectSeparator(bytes);
  int line = 1;
  CsvRecord record{line, {}};
  std::string field;
  bool quoted = false;
  bool recordHasText = false;
  int quoteLine = 0;
  const auto endField = [&] {
    record.fields.push_back(field);
    field.clear();
  };
  const auto endRecord = [&] {
    endField();
    if (recordHasText) text.records.push_back(std::move(record));
    record = CsvRecord{line, {}};
    recordHasText = false;
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (IsControlByte(c) && !text.notTextLine) text.notTextLine = line;
    const bool lineEnd = c == '\r' || c == '\n';
    if (lineEnd) {
      // CR LF is one line end.
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      ++line;
    }
    if (quoted) {
      if (c != '"') {
        field += lineEnd ? '\n' : c;
      } else if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    if (lineEnd) {
      endRecord();
    } else if (c == text.separator) {
      endField();
    } else if (c == '"') {
      quoted = true;
      quoteLine = line;
      recordHasText = true;
    } else {
      field += c;
      recordHasText = recordHasText || (c != ' ' && c != '\t');
    }
  }
  if (quoted) text.openQuoteLine = quoteLine;
  endRecord();
  return text;
}

std::string CsvField(std::string_view text, char separator) {
  const bool quote =
      text.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos ||
      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return std::string(text);
  std::string field = "\"";
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + '"';
}

}  // namespace voxrig::banks
