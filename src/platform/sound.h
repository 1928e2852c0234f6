// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace voxrig {

// The panel's speech. Prompts are queued and play one after the other while
// the panel goes on with its work: PlayPrompt returns at once. The path is
// written as the panel writes it ("wave\point"): a backslash separates
// folders, ".wav" is added when the name has none, and the file is found
// whatever its letter case. A path that names no file plays nothing.
//
// Prompts are queued in units, what one key or one tick of the panel says.
// A unit is a readout, which CutReadouts drops (stopping the prompt that
// sounds within one buffer of the sound device, so the listener's next key
// is heard at once), until KeepUnit: then the whole unit, also what is queued
// in it later, is heard to its end whatever is cut.
class Sound {
 public:
  virtual ~Sound() = default;
  virtual void PlayPrompt(const std::string& path) = 0;
  virtual void StartUnit() = 0;
  virtual void KeepUnit() = 0;
  // Drops the prompts of every unit not kept, and starts a new unit.
  virtual void CutReadouts() = 0;
  // The panel is ending: drops every prompt queued, kept or not, but those of
  // the unit now being queued when it is kept ("quit", or why the panel
  // ends), so the panel ends as soon as that is heard, whatever was queued.
  virtual void EndWithThisUnit() = 0;
  // A prompt the configuration keeps silent (the voice is off): nothing
  // plays, but an output that shows what the prompts report, such as the
  // braille line, still learns of it. The name is the prompt's bare name.
  virtual void PassUnvoiced(const std::string& /*name*/) {}
  // Words the prompt set has no file for, such as a channel's name ("Harbour
  // Ops"), said as they stand and queued in the unit like a prompt. An
  // output that cannot say them plays nothing in their place.
  virtual void SpeakText(const std::string& /*text*/) {}
};

}  // namespace voxrig
