// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_undo.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "banks/bank_names.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

using Bytes = std::optional<std::string>;

// A key changes at most two bank files (T: a created source and its target);
// room for twice that.
constexpr int kFilesPerStep = 4;

FileSystem* Files(Context& ctx) {
  return ctx.platform.files;
}

// The copies have fixed names, so a start-up can clear them without listing
// the folder: one name per step slot and file of the step.
std::string CopyName(int slot, std::size_t file) {
  char name[32];
  std::snprintf(name, sizeof name, "%s/undo%02d-%zu.dat", kUndoFolder, slot, file);
  return name;
}

// A slot that no kept step uses. There is one more slot than steps, so the
// step being built always finds one.
int FreeSlot(const UndoState& undo, int alsoTaken) {
  for (int slot = 0; slot <= kUndoSteps; ++slot) {
    const bool taken = slot == alsoTaken ||
                       std::any_of(undo.steps.begin(), undo.steps.end(),
                                   [&](const UndoStep& step) { return step.copySlot == slot; });
    if (!taken) return slot;
  }
  return kUndoSteps + 1;  // not reached: at most 20 steps plus one are in use
}

void RemoveCopy(Context& ctx, const UndoFile& file) {
  if (file.existed) Files(ctx)->RemoveFile(file.copyName);
}

void RemoveCopies(Context& ctx, const UndoStep& step) {
  for (const UndoFile& file : step.files) RemoveCopy(ctx, file);
}

// Adds a file's present bytes (or its absence) to a step; false when its
// copy could not be written, so nothing may change the file.
bool KeepVersion(Context& ctx, UndoStep& step, const std::string& file, const Bytes& bytes) {
  if (step.files.size() >= kFilesPerStep) return false;
  UndoFile kept{file, bytes.has_value(), {}, {}};
  if (bytes) {
    kept.copyName = CopyName(step.copySlot, step.files.size());
    if (!Files(ctx)->MakeFolder(kUndoFolder)) return false;
    if (!Files(ctx)->ReplaceFile(kept.copyName, *bytes)) return false;
  }
  step.files.push_back(std::move(kept));
  return true;
}

// Before a change to a file: its copy, the first time the open step touches it.
bool KeepCopyBeforeChange(Context& ctx, const std::string& file) {
  std::optional<UndoStep>& open = ctx.undo.open;
  if (!open) return true;
  const bool known = std::any_of(open->files.begin(), open->files.end(),
                                 [&](const UndoFile& kept) { return kept.bankFile == file; });
  if (known) return true;
  // A file that cannot be read whole (a named pipe, a file larger than any
  // bank) has no copy to keep, so it is not changed.
  const FileRead present = Files(ctx)->Read(file);
  if (present.status == ReadStatus::kUnreadable || present.status == ReadStatus::kTooLarge) {
    return false;
  }
  return KeepVersion(ctx, *open, file,
                     present.status == ReadStatus::kRead ? Bytes(present.bytes) : Bytes());
}

void PushStep(Context& ctx, UndoStep step) {
  UndoState& undo = ctx.undo;
  undo.steps.push_back(std::move(step));
  while (undo.steps.size() > static_cast<std::size_t>(kUndoSteps)) {
    RemoveCopies(ctx, undo.steps.front());
    undo.steps.erase(undo.steps.begin());
  }
}

// The bank's number as the listener typed it: "bank07.dat" gives 0, 7.
void SayBankNumber(Context& ctx, const std::string& file) {
  const std::size_t end = file.size() >= 8 ? file.size() - 4 : file.size();
  for (std::size_t i = 4; i < end; ++i) {
    if (file[i] >= '0' && file[i] <= '9') Say(ctx, std::string(1, file[i]));
  }
}

// A link that D removed comes back as the link, so the file it points at goes
// on getting the bank's later changes. When that file has gone since, the
// bank's bytes come back as a file of its own instead: nothing is lost.
bool RestoreLink(FileSystem& files, const UndoFile& file, const Bytes& before) {
  const bool taken = files.Exists(file.bankFile) || files.IsLink(file.bankFile);
  if (taken && !files.RemoveFile(file.bankFile)) return false;
  if (!files.MakeLink(file.linkTarget, file.bankFile)) return false;
  if (!before || files.Exists(file.bankFile)) return true;
  files.RemoveFile(file.bankFile);
  return files.ReplaceFile(file.bankFile, *before);
}

// Puts one file back as a step kept it. When another program changed the
// file since the panel last wrote it, that version is kept in `elsewhere`
// first, so U can bring it back too.
bool RestoreFile(Context& ctx, const UndoFile& file, UndoStep& elsewhere) {
  FileSystem& files = *Files(ctx);
  Bytes before;
  if (file.existed) {
    before = files.ReadFile(file.copyName);
    if (!before) return false;  // the copy is gone: nothing to put back
  }
  const Bytes now = files.ReadFile(file.bankFile);
  const auto known = ctx.undo.lastWritten.find(file.bankFile);
  const bool changedElsewhere = known == ctx.undo.lastWritten.end() || known->second != now;
  const std::size_t keptBefore = elsewhere.files.size();
  if (changedElsewhere && now != before && !KeepVersion(ctx, elsewhere, file.bankFile, now)) {
    return false;
  }
  const bool restored = !file.linkTarget.empty() ? RestoreLink(files, file, before)
                        : before                 ? files.ReplaceFile(file.bankFile, *before)
                                 : !files.Exists(file.bankFile) || files.RemoveFile(file.bankFile);
  if (!restored) {
    if (elsewhere.files.size() > keptBefore) {
      RemoveCopy(ctx, elsewhere.files.back());
      elsewhere.files.pop_back();
    }
    return false;
  }
  ctx.undo.lastWritten[file.bankFile] =
      file.linkTarget.empty() ? before : files.ReadFile(file.bankFile);
  return true;
}

// An import's copy: "import07-bank05.dat" holds bank05.dat as it was before
// the seventh import since the panel last started; "import07-bank05.dat.new"
// (empty) says the import made bank05.dat. Once the import has written the
// bank, "import07-bank05.dat.written" beside the copy holds what it wrote.
constexpr const char* kImportPrefix = "import";
constexpr const char* kMadeSuffix = ".new";
constexpr const char* kWrittenSuffix = ".written";
constexpr int kMostImportCopies = 99;

struct ImportCopy {
  int number = 0;
  std::string entry;     // the copy's name in the undo folder
  std::string bankFile;  // the bank file it belongs to
  bool existed = true;
};

std::optional<ImportCopy> ImportCopyOf(const std::string& entry) {
  const std::size_t prefix = std::string_view(kImportPrefix).size();
  if (entry.size() < prefix + 4 || entry.compare(0, prefix, kImportPrefix) != 0 ||
      entry[prefix + 2] != '-' || entry.ends_with(kWrittenSuffix)) {
    return std::nullopt;
  }
  const char tens = entry[prefix], units = entry[prefix + 1];
  if (tens < '0' || tens > '9' || units < '0' || units > '9') return std::nullopt;
  ImportCopy copy{(tens - '0') * 10 + (units - '0'), entry, entry.substr(prefix + 3), true};
  if (copy.bankFile.ends_with(kMadeSuffix)) {
    copy.bankFile.resize(copy.bankFile.size() - std::string_view(kMadeSuffix).size());
    copy.existed = false;
  }
  if (copy.bankFile.empty()) return std::nullopt;
  return copy;
}

// The import copies in an undo folder, oldest first.
std::vector<ImportCopy> ImportCopies(FileSystem& files, const std::string& folder) {
  std::vector<ImportCopy> copies;
  const auto entries = files.ListFolder(folder);
  if (!entries) return copies;
  for (const FolderEntry& entry : *entries) {
    if (entry.kind != FolderEntry::Kind::kFile) continue;
    if (auto copy = ImportCopyOf(entry.name)) copies.push_back(std::move(*copy));
  }
  std::sort(copies.begin(), copies.end(),
            [](const ImportCopy& a, const ImportCopy& b) { return a.number < b.number; });
  return copies;
}

// The imports since the last run become the oldest steps U can take back:
// each copy moves to a step's slot. What an import wrote counts as the
// panel's own writing, so U puts the old bank back without keeping the
// import's version; a bank that holds anything else by now (changed since, or
// an import that ended before it noted what it wrote) is kept as one more
// step first. An import that never changed its bank leaves no step.
void TakeOverImportCopies(Context& ctx) {
  FileSystem& files = *Files(ctx);
  std::vector<ImportCopy> copies = ImportCopies(files, kUndoFolder);
  const std::size_t kept = static_cast<std::size_t>(kUndoSteps);
  for (std::size_t i = 0; i < copies.size(); ++i) {
    const ImportCopy& copy = copies[i];
    const std::string path = std::string(kUndoFolder) + "/" + copy.entry;
    const std::string writtenPath = path + kWrittenSuffix;
    const Bytes before = copy.existed ? files.ReadFile(path) : Bytes();
    const Bytes written = files.ReadFile(writtenPath);
    const Bytes now = files.ReadFile(copy.bankFile);
    UndoStep step{FreeSlot(ctx.undo, -1), {}};
    UndoFile file{copy.bankFile, copy.existed, {}, {}};
    bool usable =
        i + kept >= copies.size() && (!copy.existed || before) && (written || now != before);
    if (usable && copy.existed) {
      file.copyName = CopyName(step.copySlot, 0);
      usable = files.ReplaceFile(file.copyName, *before);
    }
    files.RemoveFile(path);
    if (files.Exists(writtenPath)) files.RemoveFile(writtenPath);
    if (!usable) continue;
    if (written) {
      ctx.undo.lastWritten[copy.bankFile] = written;
    } else {
      ctx.undo.lastWritten.erase(copy.bankFile);
    }
    step.files.push_back(std::move(file));
    PushStep(ctx, std::move(step));
  }
}

}  // namespace

void RemoveLeftTemporaries(Context& ctx) {
  FileSystem* files = Files(ctx);
  if (files == nullptr) return;
  for (const LeftTemporary& left : files->LeftTemporaries("")) {
    if (banks::IsBankFileName(left.forFile) || left.forFile == banks::kSearchLogBackup) {
      files->RemoveFile(left.name);
    }
  }
  for (const LeftTemporary& left : files->LeftTemporaries(kUndoFolder)) {
    files->RemoveFile(std::string(kUndoFolder) + "/" + left.name);
  }
}

void ClearUndoCopies(Context& ctx) {
  ctx.undo = UndoState{};
  if (Files(ctx) == nullptr) return;
  for (int slot = 0; slot <= kUndoSteps; ++slot) {
    for (int file = 0; file < kFilesPerStep; ++file) {
      const std::string name = CopyName(slot, static_cast<std::size_t>(file));
      if (Files(ctx)->Exists(name)) Files(ctx)->RemoveFile(name);
    }
  }
  TakeOverImportCopies(ctx);
}

std::optional<std::string> KeepImportCopy(FileSystem& files, const std::string& bankFile,
                                          const std::optional<std::string>& bytesBefore) {
  const auto slash = bankFile.rfind('/');
  const std::string folder =
      (slash == std::string::npos ? std::string() : bankFile.substr(0, slash + 1)) + kUndoFolder;
  const std::string name = slash == std::string::npos ? bankFile : bankFile.substr(slash + 1);
  const std::vector<ImportCopy> copies = ImportCopies(files, folder);
  const int number = copies.empty() ? 1 : copies.back().number + 1;
  if (number > kMostImportCopies || !files.MakeFolder(folder)) return std::nullopt;
  const std::string numbered =
      std::string(kImportPrefix) + (number < 10 ? "0" : "") + std::to_string(number) + "-";
  const std::string copy = folder + "/" + numbered + name + (bytesBefore ? "" : kMadeSuffix);
  if (!files.ReplaceFile(copy, bytesBefore.value_or(std::string()))) return std::nullopt;
  return copy;
}

void SettleImportCopy(FileSystem& files, const std::string& copy,
                      const std::optional<std::string>& written) {
  // A note that cannot be written leaves the bank as changed by someone
  // else: U then keeps it before putting the old bank back.
  if (written) {
    files.ReplaceFile(copy + kWrittenSuffix, *written);
  } else {
    files.RemoveFile(copy);
  }
}

void BeginUndoStep(Context& ctx) {
  UndoStep step;
  step.copySlot = FreeSlot(ctx.undo, -1);
  ctx.undo.open = std::move(step);
}

void EndUndoStep(Context& ctx) {
  std::optional<UndoStep>& open = ctx.undo.open;
  if (!open) return;
  UndoStep step = std::move(*open);
  open.reset();
  // A file that holds what it held before (a channel that was already
  // there, a write that failed) is no change to take back.
  UndoStep changed{step.copySlot, {}};
  for (UndoFile& file : step.files) {
    const Bytes before = file.existed ? Files(ctx)->ReadFile(file.copyName) : Bytes();
    if (Files(ctx)->ReadFile(file.bankFile) == before) {
      RemoveCopy(ctx, file);
    } else {
      changed.files.push_back(std::move(file));
    }
  }
  if (!changed.files.empty()) PushStep(ctx, std::move(changed));
}

bool ReplaceBankFile(Context& ctx, const std::string& file, const std::string& bytes) {
  if (Files(ctx) == nullptr || !KeepCopyBeforeChange(ctx, file)) return false;
  if (!Files(ctx)->ReplaceFile(file, bytes)) return false;
  // A write outside any step (a search's finds) is no change U takes back
  // by itself: an older step that U takes back keeps it as one more step,
  // as it keeps another program's change.
  if (ctx.undo.open) ctx.undo.lastWritten[file] = bytes;
  return true;
}

bool RemoveBankFile(Context& ctx, const std::string& file) {
  FileSystem* files = Files(ctx);
  if (files == nullptr) return false;
  const std::optional<std::string> linkTarget = files->LinkTarget(file);
  if (!files->Exists(file) && !linkTarget) return true;
  if (!KeepCopyBeforeChange(ctx, file)) return false;
  if (linkTarget && ctx.undo.open) {
    for (UndoFile& kept : ctx.undo.open->files) {
      if (kept.bankFile == file && kept.linkTarget.empty()) kept.linkTarget = *linkTarget;
    }
  }
  files->RemoveFile(file);
  if (files->Exists(file) || files->IsLink(file)) return false;
  ctx.undo.lastWritten[file] = std::nullopt;
  return true;
}

void UndoLastChange(Context& ctx) {
  UndoState& undo = ctx.undo;
  if (undo.steps.empty() || Files(ctx) == nullptr) {
    Say(ctx, "inv");
    return;
  }
  UndoStep step = std::move(undo.steps.back());
  undo.steps.pop_back();
  UndoStep elsewhere{FreeSlot(undo, step.copySlot), {}};
  UndoStep failed{step.copySlot, {}};
  std::vector<std::string> restored;
  // The files back in the opposite order of their change.
  for (auto file = step.files.rbegin(); file != step.files.rend(); ++file) {
    if (RestoreFile(ctx, *file, elsewhere)) {
      restored.insert(restored.begin(), file->bankFile);
      RemoveCopy(ctx, *file);
    } else {
      failed.files.insert(failed.files.begin(), *file);
    }
  }
  // A file that could not be put back keeps its copy, and U can try again.
  const bool allRestored = failed.files.empty();
  if (!allRestored) PushStep(ctx, std::move(failed));
  if (!elsewhere.files.empty()) PushStep(ctx, std::move(elsewhere));
  Say(ctx, "undo");
  // The search log's backup comes back with the log R replaced, which is
  // said already.
  for (const std::string& file : restored) {
    if (file != banks::kSearchLogBackup) SayBankNumber(ctx, file);
  }
  Say(ctx, allRestored ? "ok" : "wrerr");
}

}  // namespace voxrig
