// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/transcript.h"

#include <algorithm>
#include <sstream>

#include "e2e/scratch_folder.h"

namespace e2e {
namespace {

TranscriptLine ParseLine(const std::string& raw) {
  TranscriptLine line;
  line.raw = raw;
  const std::string promptTag = "prompt ";
  const std::string textTag = "text ";
  const std::string nameTag = "name ";
  if (raw.rfind(promptTag, 0) == 0) {
    std::string path = raw.substr(promptTag.size());
    size_t folderEnd = path.find_last_of("\\/");
    line.prompt = folderEnd == std::string::npos ? path : path.substr(folderEnd + 1);
    line.kind = TranscriptLine::Kind::kPrompt;
  } else if (raw.rfind(nameTag, 0) == 0) {
    // Words said as they stand count among the prompts, as "name:" and the words.
    line.prompt = "name:" + raw.substr(nameTag.size());
    line.kind = TranscriptLine::Kind::kPrompt;
  } else if (raw.rfind(textTag, 0) == 0) {
    // text <x>,<y> <text>
    std::string rest = raw.substr(textTag.size());
    size_t comma = rest.find(',');
    size_t blank = rest.find(' ', comma == std::string::npos ? 0 : comma);
    if (comma == std::string::npos) return line;
    try {
      line.x = std::stoi(rest.substr(0, comma));
      line.y = std::stoi(rest.substr(comma + 1, blank - comma - 1));
    } catch (...) {
      return line;
    }
    line.text = blank == std::string::npos ? std::string() : rest.substr(blank + 1);
    line.kind = TranscriptLine::Kind::kText;
  }
  return line;
}

}  // namespace

Transcript Transcript::Read(const std::string& path) {
  return Parse(ReadTextFile(path));
}

Transcript Transcript::Parse(const std::string& bytes) {
  Transcript transcript;
  std::string raw;
  for (char c : bytes) {
    if (c == '\n') {
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      transcript.lines_.push_back(ParseLine(raw));
      raw.clear();
    } else {
      raw += c;
    }
  }
  // A last line still being written is not taken.
  return transcript;
}

std::vector<std::string> Transcript::Prompts() const {
  return PromptsAfter(*this, 0);
}

std::vector<std::string> PromptsAfter(const Transcript& transcript, size_t from) {
  std::vector<std::string> prompts;
  const auto& lines = transcript.lines();
  for (size_t i = from; i < lines.size(); ++i) {
    if (lines[i].kind == TranscriptLine::Kind::kPrompt) prompts.push_back(lines[i].prompt);
  }
  return prompts;
}

std::vector<std::string> Transcript::TextsAt(int x, int y) const {
  std::vector<std::string> texts;
  for (const TranscriptLine& line : lines_) {
    if (line.kind == TranscriptLine::Kind::kText && line.x == x && line.y == y) {
      texts.push_back(line.text);
    }
  }
  return texts;
}

int Transcript::CountPrompt(const std::string& name) const {
  std::vector<std::string> played = Prompts();
  return static_cast<int>(std::count(played.begin(), played.end(), name));
}

std::string Transcript::Dump() const {
  std::ostringstream out;
  for (const TranscriptLine& line : lines_) out << "  | " << line.raw << "\n";
  return out.str();
}

}  // namespace e2e
