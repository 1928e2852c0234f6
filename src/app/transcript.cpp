// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transcript.h"

namespace voxrig {

namespace {

// The text as the display draws it: without a final LF and the CR before it,
// and with any other line break shown as a blank.
std::string DrawnText(const std::string& text) {
  std::string drawn = TextToDraw(text);
  for (char& c : drawn) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return drawn;
}

}  // namespace

std::unique_ptr<StreamOutputFile> StreamOutputFile::Open(const std::string& path) {
  if (path == "-") return std::unique_ptr<StreamOutputFile>(new StreamOutputFile(stdout, false));
  std::FILE* stream = std::fopen(path.c_str(), "wb");
  if (stream == nullptr) return nullptr;
  return std::unique_ptr<StreamOutputFile>(new StreamOutputFile(stream, true));
}

std::unique_ptr<StreamOutputFile> StreamOutputFile::StandardError() {
  return std::unique_ptr<StreamOutputFile>(new StreamOutputFile(stderr, false));
}

StreamOutputFile::~StreamOutputFile() {
  if (owned_) Close();
}

void StreamOutputFile::Close() {
  if (stream_ == nullptr) return;
  // Standard output is closed too once it has failed: a pipe whose reader
  // has gone is let go, and nothing more is tried on it.
  std::fclose(stream_);
  stream_ = nullptr;
}

bool StreamOutputFile::Write(const std::string& bytes) {
  if (stream_ == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size();
  if (std::fflush(stream_) == 0 && written) return true;
  Close();
  return false;
}

void TranscriptSound::PlayPrompt(const std::string& path) {
  // Written before playing, so the line stands while the prompt is heard.
  out_.Write("prompt " + path + "\n");
  inner_.PlayPrompt(path);
}

void TranscriptSound::SpeakText(const std::string& text) {
  // One event, one line: a line break in a name read from a file is a blank.
  out_.Write("name " + DrawnText(text) + "\n");
  inner_.SpeakText(text);
}

void TranscriptDisplay::SetTextPosition(int x, int y) {
  x_ = x;
  y_ = y;
  continuing_ = false;
  inner_.SetTextPosition(x, y);
}

void TranscriptDisplay::SetFont(const Font& font) {
  points_ = font.points;
  inner_.SetFont(font);
}

bool TranscriptDisplay::Area::Overlaps(const Area& other) const {
  return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
}

// A character is taken as at most 0.6 of the font's height, which is its
// points at up to 108 dots an inch; the window's default font is 12 points.
TranscriptDisplay::Area TranscriptDisplay::AreaOfRun() const {
  constexpr int kDefaultPoints = 12;
  const int height = (points_ > 0 ? points_ : kDefaultPoints) * 3 / 2;
  const int width = static_cast<int>(run_.size()) * height * 3 / 5;
  return Area{runX_, runY_, runX_ + width, runY_ + height};
}

void TranscriptDisplay::ForgetCoveredTexts() {
  const std::pair<int, int> place{runX_, runY_};
  const Area drawn = AreaOfRun();
  std::erase_if(written_, [&](const auto& entry) {
    return entry.first != place && entry.second.area.Overlaps(drawn);
  });
}

void TranscriptDisplay::SetColour(Colour colour) {
  inner_.SetColour(colour);
}

void TranscriptDisplay::Print(const std::string& text) {
  if (continuing_) {
    run_ += DrawnText(text);
  } else {
    runX_ = x_;
    runY_ = y_;
    run_ = DrawnText(text);
    continuing_ = true;
  }
  ForgetCoveredTexts();
  Standing& written = written_[{runX_, runY_}];
  written.area = AreaOfRun();
  if (written.text != run_) {
    written.text = run_;
    out_.Write("text " + std::to_string(runX_) + "," + std::to_string(runY_) + " " + run_ + "\n");
  }
  inner_.Print(text);
}

}  // namespace voxrig
