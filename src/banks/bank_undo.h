// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/context.h"
#include "platform/file_system.h"

// U: the bank changes of this run, taken back one key at a time. Before a
// change, each bank file it touches is copied into the undo folder (or noted
// as missing); U puts the copy back, or removes a file the change created.
// Only files: the receiver's memory is never touched by U.
namespace voxrig {

// How many changes U can take back.
inline constexpr int kUndoSteps = 20;
// The folder of the working folder that holds the copies.
inline constexpr const char* kUndoFolder = "undo";

// Removes the copies a run before this one left behind, and forgets every
// step; the copies that "voxrig --import" kept since then become the first
// steps, so U takes an import back as it takes back a key's change.
void ClearUndoCopies(Context& ctx);

// Removes the temporary files that the panel's own writes left when a run
// was killed between writing a file and renaming it over the old one: those
// of bank files and the search log's backup in the working folder, and any
// in the undo folder. Another program's files, and the writes of a panel
// that still runs, are left alone.
void RemoveLeftTemporaries(Context& ctx);

// For "voxrig --import", which runs without the panel: keeps what the bank
// file held before (nothing: the import makes it) in the undo folder beside
// it, for the panel's next start to take over. The copy's name, or nothing
// when the copy cannot be kept; the import must then change nothing.
std::optional<std::string> KeepImportCopy(FileSystem& files, const std::string& bankFile,
                                          const std::optional<std::string>& bytesBefore);
// After the import's write: `written` holds what it wrote, which is noted
// beside the copy, so the next start can tell whether the bank has changed
// since; nothing when the write failed, and the copy goes, leaving no step
// to take back.
void SettleImportCopy(FileSystem& files, const std::string& copy,
                      const std::optional<std::string>& written);

// Opens the step of one key: each bank file that ReplaceBankFile or
// RemoveBankFile changes until EndUndoStep is copied first, once.
void BeginUndoStep(Context& ctx);
// Closes it: a file that ends as it began is no change; a step that changed
// any file becomes the newest step, and the oldest goes past 20.
void EndUndoStep(Context& ctx);

// The undo step of one key's work, open for the guard's life: every bank file
// the work changes is taken back together by U.
class UndoStepGuard {
 public:
  explicit UndoStepGuard(Context& ctx) : ctx_(ctx) { BeginUndoStep(ctx_); }
  ~UndoStepGuard() { EndUndoStep(ctx_); }
  UndoStepGuard(const UndoStepGuard&) = delete;
  UndoStepGuard& operator=(const UndoStepGuard&) = delete;

 private:
  Context& ctx_;
};

// Writes a bank file atomically, after keeping its copy when a step is open.
// False when the copy or the write failed; the file is then as it was.
// Written outside a step, the file counts as changed since the older steps,
// so U keeps this version before it takes one of them back.
bool ReplaceBankFile(Context& ctx, const std::string& file, const std::string& bytes);
// Removes a bank file, after keeping its copy when a step is open. True when
// no such file is left; false when it stays (its copy could not be kept, or
// the folder refused).
bool RemoveBankFile(Context& ctx, const std::string& file);

// U: "undo", the bank numbers, "ok" ("inv" with nothing left to undo).
void UndoLastChange(Context& ctx);

}  // namespace voxrig
