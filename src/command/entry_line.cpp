// SPDX-License-Identifier: GPL-3.0-or-later
#include "command/entry_line.h"

#include "panel/screen_lines.h"

namespace voxrig {

namespace {

// The key that began a sequence.
char CommandKeyOf(PendingCommand command) {
  switch (command) {
    case PendingCommand::kNone:
      return ' ';
    case PendingCommand::kLowerLimit:
      return 'S';
    case PendingCommand::kUpperLimit:
      return 'E';
    case PendingCommand::kStep:
      return 'I';
    case PendingCommand::kTransfer:
      return 'T';
    case PendingCommand::kPut:
      return 'P';
    case PendingCommand::kSort:
      return 'O';
    case PendingCommand::kSelectBank:
      return 'B';
    case PendingCommand::kMemoryScan:
      return 'G';
    case PendingCommand::kWriteToReceiver:
      return 'W';
    case PendingCommand::kDeleteBank:
      return 'D';
    case PendingCommand::kKillChannel:
      return 'K';
    case PendingCommand::kReadReceiver:
      return 'X';
  }
  return ' ';  // not reached: every command has its case
}

// What has been typed for a sequence so far: a limit or the step once the
// first character has replaced the old value, else the sequence's own text.
std::string TypedForSequence(const Context& ctx) {
  const CommandState& command = ctx.command;
  const TuningState& tuning = ctx.tuning;
  if (!TypesSearchLimit(command.pendingCommand)) return command.entryText.str();
  if (command.limitEntryFresh == 1) return "";
  if (command.pendingCommand == PendingCommand::kLowerLimit) return tuning.searchLowerText.str();
  if (command.pendingCommand == PendingCommand::kUpperLimit) return tuning.searchUpperText.str();
  return tuning.searchStepText.str();
}

}  // namespace

std::string EntryText(const Context& ctx) {
  const CommandState& command = ctx.command;
  if (command.pendingCommand == PendingCommand::kNone) {
    return !command.frequencyEntryFresh ? ctx.tuning.frequencyText.str() : "";
  }
  const std::string typed = TypedForSequence(ctx);
  const std::string key(1, CommandKeyOf(command.pendingCommand));
  return typed.empty() ? key : key + " " + typed;
}

void ShowEntryLine(Context& ctx) {
  const std::string entry = EntryText(ctx);
  if (ctx.command.entryShown == entry) return;
  ctx.command.entryShown = entry;
  Display& display = *ctx.platform.display;
  display.SetFont(FontOf(Line::kEcho));
  display.SetColour(Colour::kBlack);
  MoveTo(display, Line::kEcho);
  display.Print(std::string(20, ' '));
  MoveTo(display, Line::kEcho);
  display.Print(entry);
}

}  // namespace voxrig
