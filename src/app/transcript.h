// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/sound.h"

// The transcript: a plain-text account, one line per event, of every prompt
// the panel asks to play and every text it draws, so that a braille reader can
// follow the panel and a test of the whole program can see what it said and
// showed. Lines, each ended by LF and flushed at once:
//   prompt <path as the panel wrote it>          e.g. "prompt wave\vxr"
//   name <words said as they stand>              e.g. "name Harbour Ops"
//   text <x>,<y> <the run's whole text so far>   e.g. "text 270,0 *** Voxrig V 4.0b ***"
// A print that continues a run without a new text position reports the place
// where the run started and the run's text including the new piece. A final
// CR LF is not part of the text; any other line break inside a text is shown
// as a blank so that one event stays one line. Every text drawn is written,
// but for a text drawn again at a place where it still stands: the level
// meter redrawn unchanged on every poll writes nothing, while a text drawn
// again after another drawing covered its place (a cleared lower panel) is
// written again.
namespace voxrig {

// An output file over a C stream (a named file or standard output); every
// write is flushed so the transcript is complete even if the program is killed.
class StreamOutputFile : public OutputFile {
 public:
  // Creates (or empties) the named file; "-" is standard output. Null when
  // the file cannot be created.
  static std::unique_ptr<StreamOutputFile> Open(const std::string& path);
  // Standard error, for the messages a listener at a terminal reads.
  static std::unique_ptr<StreamOutputFile> StandardError();
  ~StreamOutputFile() override;
  StreamOutputFile(const StreamOutputFile&) = delete;
  StreamOutputFile& operator=(const StreamOutputFile&) = delete;
  // False once the stream has failed (a full disk, a pipe whose reader has
  // gone): it is then closed, and later writes do nothing.
  bool Write(const std::string& bytes) override;

 private:
  StreamOutputFile(std::FILE* stream, bool owned) : stream_(stream), owned_(owned) {}
  void Close();
  std::FILE* stream_;
  bool owned_;
};

// Plays every prompt through the wrapped sound after writing its line.
class TranscriptSound : public Sound {
 public:
  TranscriptSound(Sound& inner, OutputFile& out) : inner_(inner), out_(out) {}
  void PlayPrompt(const std::string& path) override;
  void SpeakText(const std::string& text) override;
  void StartUnit() override { inner_.StartUnit(); }
  void KeepUnit() override { inner_.KeepUnit(); }
  void CutReadouts() override { inner_.CutReadouts(); }
  void EndWithThisUnit() override { inner_.EndWithThisUnit(); }
  void PassUnvoiced(const std::string& name) override { inner_.PassUnvoiced(name); }

 private:
  Sound& inner_;
  OutputFile& out_;
};

// Draws through the wrapped display and writes each print's line.
class TranscriptDisplay : public Display {
 public:
  TranscriptDisplay(Display& inner, OutputFile& out) : inner_(inner), out_(out) {}
  void SetTextPosition(int x, int y) override;
  void SetFont(const Font& font) override;
  void SetColour(Colour colour) override;
  void Print(const std::string& text) override;

 private:
  Display& inner_;
  OutputFile& out_;
  int x_ = 0;
  int y_ = 0;
  bool continuing_ = false;  // the next print joins the current run
  int runX_ = 0;
  int runY_ = 0;
  std::string run_;
  // Where a text stands on the window, roughly: wide enough that a drawing
  // over it is never missed.
  struct Area {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Overlaps(const Area& other) const;
  };
  struct Standing {
    std::string text;
    Area area;
  };
  Area AreaOfRun() const;
  // Forgets the texts that the run now drawn covers, so each is written
  // again when it is drawn again.
  void ForgetCoveredTexts();

  int points_ = 0;
  // The text last written for each place a run started at, while it stands.
  std::map<std::pair<int, int>, Standing> written_;
};

}  // namespace voxrig
