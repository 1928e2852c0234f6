// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "fakes/test_program.h"

// Helpers for the bank tests: bank file bytes written out line by line, and a
// single timeline of prompts and receiver commands in the order they happened.
namespace voxrig::banktest {

// The lines joined, each followed by CR LF.
std::string Lines(const std::vector<std::string>& lines);

// A program-written bank: label, mode, step, one blank, the channels (each
// with a one-blank tag), and the terminator, as CR LF lines.
std::string Bank(const std::string& label, const std::string& mode, const std::string& step,
                 const std::vector<std::string>& frequencies);

// The lines of a file, split at CR LF (the last, empty piece dropped).
std::vector<std::string> FileLines(const std::string& bytes);

// n distinct frequencies from a start, spaced by 0.0125 MHz: 145.0000, 145.0125, ...
std::vector<std::string> Frequencies(int count, double startMhz = 145.0);

// Records prompts and the commands written between them, in one list:
// commands appear as "> " followed by the command text, prompts by name, and
// runs of the pause prompt as "shdel x N".
class Timeline {
 public:
  explicit Timeline(fakes::TestProgram& program);
  std::vector<std::string> Events();

 private:
  void TakeCommands();
  fakes::TestProgram& program_;
  std::vector<std::string> raw_;
  std::size_t commandsSeen_ = 0;
};

}  // namespace voxrig::banktest
