// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/receiver_check.h"

#include <algorithm>
#include <cstdio>

#include "banks/bank_names.h"
#include "core/text_rules.h"
#include "link/ar8600/ar8600_commands.h"
#include "link/receiver_commands.h"
#include "memory/memory_bank.h"
#include "memory/receiver_read.h"
#include "speech/speech.h"
#include "tuning/frequency.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace banks {

namespace {

using receiver::kChannelNameLength;

std::string PaddedName(const std::string& name) {
  std::string padded = name.substr(0, kChannelNameLength);
  padded.resize(kChannelNameLength, ' ');
  return padded;
}

// "A01", and the channel's name after it as B says it ("A01 Tower").
std::string ChannelLabel(char bank, std::size_t number, const std::string& name, bool withName) {
  char label[8];
  std::snprintf(label, sizeof label, "%c%02zu", bank, number % 100);
  const std::string words = withName ? NameToSay(name) : std::string();
  return words.empty() ? std::string(label) : label + (" " + words);
}

// The receiver's frequency field for the hertz it reports: ten digits, or
// eleven when it holds seven decimals.
std::string FieldOfHz(std::int64_t hz) {
  std::string digits = std::to_string(hz);
  if (digits.size() < 10) digits.insert(0, 10 - digits.size(), '0');
  return digits;
}

bool SameMode(const std::string& sentModeField, const MemoryChannel& line) {
  if (sentModeField == " AU1") return line.automaticMode;
  return !line.automaticMode && sentModeField == " MD" + std::to_string(line.receiverModeCode);
}

std::string Described(const std::string& frequency, const std::string& mode,
                      const std::string& name) {
  std::string trimmedName = PaddedName(name);
  while (!trimmedName.empty() && trimmedName.back() == ' ') trimmedName.pop_back();
  std::string trimmedMode = mode;
  while (!trimmedMode.empty() && trimmedMode.back() == ' ') trimmedMode.pop_back();
  return frequency + " MHz " + trimmedMode + " \"" + trimmedName + "\"";
}

std::string HeldBy(const MemoryChannel& line) {
  if (line.empty) return "the receiver holds nothing";
  return "the receiver holds " + Described(MegahertzText(line.hz), BankModeOf(line), line.name);
}

std::string StepNote(std::int64_t stepHz) {
  return " step " + StepText(stepHz) + " kHz";
}

}  // namespace

std::vector<std::string> ChannelDifferences(char bank, const std::vector<Channel>& sent,
                                            const std::string& mode, const std::string& step,
                                            const std::vector<MemoryChannel>& read,
                                            bool withNames) {
  std::vector<std::string> differences;
  const std::string modeField = receiver::ChannelModeField(mode);
  const std::int64_t stepHz = receiver::ChannelStepHz(step);
  for (std::size_t k = 0; k < std::max(sent.size(), read.size()); ++k) {
    const std::string& name = k < sent.size() ? sent[k].tag.str() : read[k].name;
    const std::string label = ChannelLabel(bank, k, name, withNames);
    if (k >= sent.size()) {
      if (!read[k].empty) differences.push_back(label + ": should be empty; " + HeldBy(read[k]));
      continue;
    }
    const std::string sentText =
        "sent " + Described(sent[k].frequency.str(), mode, sent[k].tag.str());
    if (k >= read.size()) {
      differences.push_back(label + ": " + sentText + "; past the end of the receiver's bank, " +
                            "which has " + std::to_string(read.size()) +
                            (read.size() == 1 ? " channel" : " channels"));
      continue;
    }
    const MemoryChannel& line = read[k];
    // A line without a step field tells nothing about the step.
    const bool sameStep = line.empty || line.stepHz == 0 || line.stepHz == stepHz;
    const bool same =
        !line.empty &&
        FieldOfHz(line.hz) == receiver::ChannelFrequencyField(sent[k].frequency.str()) &&
        SameMode(modeField, line) && PaddedName(line.name) == PaddedName(sent[k].tag.str()) &&
        sameStep;
    if (same) continue;
    // The step is named only where it differs.
    differences.push_back(label + ": " + sentText + (sameStep ? "" : StepNote(stepHz)) + "; " +
                          HeldBy(line) + (sameStep ? "" : StepNote(line.stepHz)));
  }
  return differences;
}

std::string CheckReportName(const std::string& entry) {
  return "check" + entry + ".txt";
}

}  // namespace banks

Steps<> CheckWrittenBank(Context& ctx, std::string entry, std::vector<banks::Channel> sent,
                         std::string mode, std::string step) {
  // The answer to the last channel write is let in first, so it is not
  // taken for part of the bank.
  co_await Pause(ctx);
  const char bank = entry[2];
  const ReceiverMemory memory = co_await ReadReceiverMemory(ctx, bank);
  if (memory.outcome != ReceiverMemory::Outcome::kRead) {
    if (memory.outcome == ReceiverMemory::Outcome::kRefused) {
      Say(ctx, "nochk");
    } else {
      SayReceiverLost(ctx);  // once, also when the loss itself said it
    }
    co_return;
  }
  const std::vector<std::string> differences =
      banks::ChannelDifferences(bank, sent, mode, step, memory.lines, ctx.speech.namesSpoken);
  const std::string reportName = banks::CheckReportName(entry);
  if (differences.empty()) {
    // A report of an earlier write would now tell of differences that are gone.
    if (ctx.platform.files->Exists(reportName)) ctx.platform.files->RemoveFile(reportName);
    Say(ctx, "ok");
    co_return;
  }
  std::string report = "Bank file " + banks::BankFileName(LeftText(entry, 2)) +
                       " written into receiver bank " + std::string(1, bank) + ": " +
                       std::to_string(differences.size()) + " channels differ\r\n";
  for (const std::string& difference : differences) report += difference + "\r\n";
  const bool written = ctx.platform.files->ReplaceFile(reportName, report);
  SpeakCount(ctx, static_cast<int>(differences.size()));
  Say(ctx, "differ");
  // The listener is told when the list of differences could not be kept.
  if (!written) Say(ctx, "wrerr");
}

}  // namespace voxrig
