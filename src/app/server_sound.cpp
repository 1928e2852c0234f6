// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/server_sound.h"

#include "platform/latin1_text.h"

namespace voxrig {

bool ServerSound::Speaking() {
  if (server_.Reachable()) return true;
  if (!lostTold_) {
    lostTold_ = true;
    messages_.Write("voxrig: speech-dispatcher was lost; speaking with the recorded prompts\n");
    prompts_.PlayPrompt(promptFolder_ + "nospd");
    prompts_.KeepUnit();
  }
  return false;
}

void ServerSound::PlayPrompt(const std::string& path) {
  const std::size_t folderEnd = path.find_last_of("\\/");
  if (folderEnd != std::string::npos) promptFolder_ = path.substr(0, folderEnd + 1);
  if (!Speaking()) {
    prompts_.PlayPrompt(path);
    return;
  }
  const std::string words = words_.WordsOf(path);
  if (!words.empty()) {
    server_.Say(words);
    return;
  }
  // A pause comes between what was said before and what follows, and a beep
  // is a sound rather than words.
  server_.EndMessage();
  prompts_.PlayPrompt(path);
}

void ServerSound::SpeakText(const std::string& text) {
  if (!Speaking()) {
    prompts_.SpeakText(text);
    return;
  }
  // Names are the panel's Latin-1; the server takes UTF-8.
  server_.Say(Utf8FromLatin1(text, true));
}

// The units are kept on both sides: the beeps and pauses play from the
// recorded set while the words go to the server.
void ServerSound::StartUnit() {
  server_.StartUnit();
  prompts_.StartUnit();
}

void ServerSound::KeepUnit() {
  server_.KeepUnit();
  prompts_.KeepUnit();
}

void ServerSound::CutReadouts() {
  server_.CutReadouts();
  prompts_.CutReadouts();
}

void ServerSound::EndWithThisUnit() {
  server_.EndWithThisUnit();
  prompts_.EndWithThisUnit();
}

}  // namespace voxrig
