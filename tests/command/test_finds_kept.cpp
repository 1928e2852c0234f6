// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "banks/bank_undo.h"
#include "fakes/connected_panel.h"
#include "posix/posix_file_system.h"

// Nothing the listener found or made is lost: each find of a search is on
// disk when it is told, the log a new search replaces is kept, a deleted link
// comes back as the link, and the leftovers of a killed write are cleared.
namespace voxrig::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

constexpr const char* kStoppedAt = "VS RF0145512500 ST012500 AU0 MD1 AT0\r\n";

class FindsKept : public fakes::PanelFixture {
 protected:
  // A search log as the panel writes it, under the panel's mode and step.
  std::string Log(const Strings& finds) const {
    std::string bytes = "Scanbank\r\n" + ctx.tuning.modeText.str() + "\r\n" +
                        ctx.tuning.searchStepText.str() + "\r\n \r\n";
    for (const std::string& find : finds) bytes += find + "\r\n \r\n";
    return bytes + "9999\r\n";
  }
  std::optional<std::string> File(const std::string& name) const {
    const auto found = program.files.files.find(name);
    if (found == program.files.files.end()) return std::nullopt;
    return found->second;
  }
};

// A real folder, for links and left temporary files.
class RealFolder {
 public:
  RealFolder() {
    char pattern[] = "/tmp/voxrig-kept-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path = pattern;
  }
  ~RealFolder() { fs::remove_all(path); }
  RealFolder(const RealFolder&) = delete;
  RealFolder& operator=(const RealFolder&) = delete;
  std::string path;
};

// The find is written before its count is heard; a log that cannot be
// written is told at once, and the search goes on.
TEST_F(FindsKept, EachFindIsInTheSearchLogFileWhenItIsTold) {
  struct Row {
    bool diskFull;
    Strings heard;
  };
  const Strings find = {"1", "1", "4", "5", "point", "5", "1", "2", "5"};
  Strings findNotWritten = find;
  findNotWritten.push_back("wrerr");
  for (const Row& row : {Row{false, find}, Row{true, findNotWritten}}) {
    program.files.files.clear();
    program.files.diskFull = row.diskFull;
    ctx.poll.searchState = Search::kOff;
    answers["RX"] = kStoppedAt;
    Press('R');
    Forget();
    Cycle(fakes::kSignal);
    EXPECT_EQ(Spoken(), row.heard);
    EXPECT_EQ(File("bank00.dat"), row.diskFull ? std::nullopt : std::optional(Log({"145.5125"})));
    EXPECT_EQ(ctx.poll.searchState, Search::kStopped);
  }
}

// U takes a search's restart back, and keeps that search's finds as one more
// step: U again brings them back.
TEST_F(FindsKept, UndoOfASearchKeepsItsFindsAsOneMoreStep) {
  const std::string previous = "Scanbank\r\nAM\r\n25\r\n \r\n144.8\r\n \r\n9999\r\n";
  program.files.files["bank00.dat"] = previous;
  answers["RX"] = kStoppedAt;
  Press('R');
  Cycle(fakes::kSignal);
  Type("\r");
  Press('U');
  EXPECT_EQ(File("bank00.dat"), previous);
  Press('U');
  EXPECT_EQ(File("bank00.dat"), Log({"145.5125"}));
}

// R keeps the log it replaces as bank00.bak when that log holds finds, so a
// second R, or the panel's end right after one, never loses a search.
TEST_F(FindsKept, ANewSearchKeepsThePreviousLogWithFindsAsItsBackup) {
  const std::string withFinds = "Scanbank\r\nAM\r\n25\r\n \r\n144.8\r\n \r\n9999\r\n";
  const std::string withoutFinds = "Scanbank\r\nAM\r\n25\r\n \r\n9999\r\n";
  struct Row {
    const char* what;
    std::optional<std::string> log;
    std::optional<std::string> backup;
    bool backupFails;
    std::optional<std::string> backupAfter;
  };
  const Row rows[] = {
      {"a log with finds", withFinds, std::nullopt, false, withFinds},
      {"a log without finds", withoutFinds, withFinds, false, withFinds},
      {"no log", std::nullopt, std::nullopt, false, std::nullopt},
      {"a backup that cannot be written", withFinds, std::nullopt, true, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    program.files.files.clear();
    program.files.failingWrites.clear();
    if (row.log) program.files.files["bank00.dat"] = *row.log;
    if (row.backup) program.files.files["bank00.bak"] = *row.backup;
    if (row.backupFails) program.files.failingWrites.insert("bank00.bak");
    ctx.poll.searchState = Search::kOff;
    Forget();
    Press('R');
    EXPECT_EQ(File("bank00.bak"), row.backupAfter);
    if (row.backupFails) {
      // The last search's finds would be lost: no search starts.
      EXPECT_EQ(Spoken(), Strings{"wrerr"});
      EXPECT_EQ(Count("VS"), 0);
      EXPECT_EQ(File("bank00.dat"), row.log);
    } else {
      EXPECT_EQ(Count("VS"), 1);
      EXPECT_EQ(File("bank00.dat"), Log({}));
      // U takes R's change back whole: the log and the backup as they were.
      Press('\r');
      Press('U');
      EXPECT_EQ(File("bank00.dat"), row.log);
      EXPECT_EQ(File("bank00.bak"), row.backup);
    }
  }
}

// D removes a bank file that is a link as the link; U makes the link again,
// so the file it points at goes on getting the bank's changes. When that file
// has gone meanwhile, U brings the bank back as a file of its own.
TEST_F(FindsKept, UndoOfADeletedLinkBringsBackTheLink) {
  for (const bool targetGone : {false, true}) {
    SCOPED_TRACE(targetGone ? "its file gone" : "its file there");
    RealFolder folder;
    PosixFileSystem disk(folder.path);
    ctx.platform.files = &disk;
    fs::create_directory(folder.path + "/shared");
    const std::string bank = "bank05\r\n" + ctx.tuning.modeText.str() + "\r\n12.5\r\n \r\n9999\r\n";
    ASSERT_TRUE(disk.ReplaceFile("shared/list.dat", bank));
    ASSERT_TRUE(disk.MakeLink("shared/list.dat", "bank05.dat"));
    Type("D05\r");
    EXPECT_FALSE(disk.Exists("bank05.dat"));
    EXPECT_EQ(disk.ReadFile("shared/list.dat"), bank);
    if (targetGone) disk.RemoveFile("shared/list.dat");
    Forget();
    Press('U');
    EXPECT_EQ(Spoken(), (Strings{"undo", "0", "5", "ok"}));
    EXPECT_EQ(disk.ReadFile("bank05.dat"), bank);
    if (targetGone) {
      EXPECT_FALSE(disk.IsLink("bank05.dat"));
    } else {
      EXPECT_EQ(disk.LinkTarget("bank05.dat"), "shared/list.dat");
      ctx.tuning.frequencyText = "146.5";
      Type("P05\r");
      EXPECT_NE(disk.ReadFile("shared/list.dat")->find("146.5"), std::string::npos);
      EXPECT_TRUE(disk.IsLink("bank05.dat"));
    }
    ctx.platform.files = &program.files;
    ClearUndoCopies(ctx);
  }
}

// A write killed between its temporary file and the rename leaves that file;
// the next start removes the panel's own, and nothing else.
TEST_F(FindsKept, TheStartRemovesOnlyThePanelsOwnLeftTemporaryFiles) {
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  waitpid(ended, nullptr, 0);
  const std::string gone = std::to_string(ended), running = std::to_string(getpid());
  const std::string random = "-00c0ffee12345678";
  const std::map<std::string, bool> names = {
      {".bank05.dat.tmp-" + gone + random, false},
      {".BANK07.DAT.tmp-" + gone + random, false},
      {".bank00.bak.tmp-" + gone + random, false},
      {"undo/.undo00-0.dat.tmp-" + gone + random, false},
      {"undo/.import01-bank05.dat.tmp-" + gone + random, false},
      // Another panel still writing, and other programs' files.
      {".bank05.dat.tmp-" + running + random, true},
      {".notes.txt.tmp-" + gone + random, true},
      {".bank05.dat.tmp-copy", true},
      {"bank05.dat.tmp-" + gone + random, true},
      {"bank05.dat", true},
  };
  RealFolder folder;
  PosixFileSystem disk(folder.path);
  ASSERT_TRUE(disk.MakeFolder("undo"));
  for (const auto& [name, kept] : names) ASSERT_TRUE(disk.ReplaceFile(name, "half a bank"));
  ctx.platform.files = &disk;
  RemoveLeftTemporaries(ctx);
  ctx.platform.files = &program.files;
  for (const auto& [name, kept] : names) EXPECT_EQ(disk.Exists(name), kept) << name;
}

}  // namespace
}  // namespace voxrig::testing
