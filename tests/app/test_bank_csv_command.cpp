// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tools that write files without the window: --export,
// --import and --probe, run on a working folder in memory. Each row is a
// command line and a folder, with the exit code and every file's bytes
// afterwards: nothing is written that the command was not asked to make.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/bank_csv_command.h"
#include "app/command_line.h"
#include "banks/bank_undo.h"
#include "fakes/connected_panel.h"
#include "fakes/fake_serial_survey.h"
#include "fakes/memory_file_system.h"
#include "fakes/test_program.h"
#include "posix/posix_file_system.h"
#include "setup/probe.h"

namespace voxrig {
namespace {

using Strings = std::vector<std::string>;
using Folder = std::map<std::string, std::string>;

const std::string kBank12 = "bank12\r\nFM\r\n12.5\r\n \r\n145.5\r\nTower\r\n9999\r\n";
const std::string kBank12Csv = "Location,Name,Frequency,Mode,TStep\r\n0,Tower,145.5,FM,12.5\r\n";

std::string Frequency(int i) {
  return std::to_string(100 + i) + ".5";
}

// A bank of `count` channels, as the panel writes one.
std::string BankOf(int count, const std::string& label = "bank01") {
  std::string bytes = label + "\r\nFM\r\n12.5\r\n \r\n";
  for (int i = 0; i < count; ++i) bytes += Frequency(i) + "\r\n \r\n";
  return bytes + "9999\r\n";
}

// The same channels as --export writes them.
std::string CsvOf(int count) {
  std::string csv = "Location,Name,Frequency,Mode,TStep\r\n";
  for (int i = 0; i < count; ++i) csv += std::to_string(i) + ",," + Frequency(i) + ",FM,12.5\r\n";
  return csv;
}

// A fake machine for --probe: one receiver that answers at 19200 baud.
struct ProbeMachine {
  explicit ProbeMachine(fakes::MemoryFileSystem& files) {
    program.ctx.platform.files = &files;
    survey.time = &program.time;
    survey.listed = {"/dev/ttyUSB0"};
    survey.devices["/dev/ttyUSB0"].answer = [](int, const std::string& command) {
      return command == "EX" || command.empty() ? std::string() : std::string("RF0145000000\r\n");
    };
  }
  fakes::TestProgram program;
  fakes::FakeSerialSurvey survey;
  fakes::FakeStopwatch stopwatch{program.time};
  struct : OutputFile {
    bool Write(const std::string&) override { return true; }
  } console;
  SetupTools tools{survey, stopwatch, console, ListenLimits{200, 50, 300}};
};

struct CommandLineTools : ::testing::Test {
  // Runs one command line on the folder; the exit code.
  int Run(const Strings& arguments) {
    out.str("");
    err.str("");
    if (const auto code = RunBankCsvCommand(arguments, files, out, err)) return *code;
    std::string problem;
    const auto line = ParseCommandLine(arguments, &problem);
    if (!line || !line->probeFile) {
      err << problem;
      return kExitUsage;
    }
    ProbeMachine machine(files);
    return RunProbe(machine.program.ctx, machine.tools, *line->probeFile, line->device,
                    line->force);
  }
  fakes::MemoryFileSystem files;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CommandLineTools, EachToolWritesOnlyWhatItWasAskedToMake) {
  const std::string bank20 = BankOf(20);
  const std::string bank300 = BankOf(300, "bank03");
  const std::string list9 = CsvOf(9);
  const std::string notes = "my notes\r\n";
  const std::string config = "PORT=COM1\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n";
  const Folder folder = {{"bank01.dat", bank20}, {"bank03.dat", bank300}, {"ch20.csv", list9},
                         {"notes.txt", notes},   {"VOXRIG.CFG", config},  {"saved.csv", bank20},
                         {"BANK06.DAT", kBank12}};
  struct Row {
    Strings arguments;
    int exitCode;
    // The files that differ afterwards (nothing: removed); all others as before.
    std::map<std::string, std::optional<std::string>> changed;
    std::string told;  // a piece of what the tool says on the terminal
  };
  const Row rows[] = {
      // The two names swapped: the bank is neither read as a list nor replaced.
      {{"--export", "ch20.csv", "bank01.dat"}, 1, {}, "ch20.csv does not read as a bank file"},
      {{"--export", "bank01.dat", "bank02.dat", "--force"}, 1, {}, "the name of a bank file"},
      {{"--export", "bank01.dat", "saved.csv"}, 1, {}, "saved.csv holds a bank"},
      {{"--export", "bank01.dat", "notes.txt"}, 1, {}, "give --force"},
      {{"--export", "--force", "bank01.dat", "notes.txt"}, 0, {{"notes.txt", CsvOf(20)}}, ""},
      {{"--export", "bank01.dat", "LIST.CSV"}, 0, {{"LIST.CSV", CsvOf(20)}}, "20 channels"},
      // Every channel of a file longer than the panel's 400 lines, or none.
      {{"--export", "bank03.dat", "big.csv"}, 0, {{"big.csv", CsvOf(300)}}, "300 channels"},
      // --import writes only a bank, over a bank, and keeps the old one for U.
      {{"--import", "ch20.csv", "notes.txt"}, 1, {}, "not a bank file's name"},
      {{"--import", "ch20.csv", "VOXRIG.CFG"}, 1, {}, "not a bank file's name"},
      // Beside the copy, what the import wrote: the next start tells a bank
      // changed since from the import's own.
      {{"--import", "ch20.csv", "bank06.dat"},
       0,
       {{"BANK06.DAT", "bank12\r\nFM\r\n12.5\r\n \r\n" + BankOf(9).substr(21)},
        {"undo/import01-BANK06.DAT", kBank12},
        {"undo/import01-BANK06.DAT.written",
         "bank12\r\nFM\r\n12.5\r\n \r\n" + BankOf(9).substr(21)}},
       "9 channels from ch20.csv"},
      {{"--import", "ch20.csv", "bank07.dat"},
       0,
       {{"bank07.dat", BankOf(9, "bank07")},
        {"undo/import01-bank07.dat.new", ""},
        {"undo/import01-bank07.dat.new.written", BankOf(9, "bank07")}},
       ""},
      // A bank file given where the list belongs is no list.
      {{"--import", "bank03.dat", "bank07.dat"}, 1, {}, "the header names no Frequency column"},
      // The probe: never over a file that is there, unless told; never through a link.
      {{"--probe", "VOXRIG.CFG"}, 3, {}, ""},
      {{"--probe", "notes.txt", "--force"}, 0, {{"notes.txt", "voxrig receiver probe\n"}}, ""},
      {{"--probe", "fresh.txt"}, 0, {{"fresh.txt", "voxrig receiver probe\n"}}, ""},
      {{"--force", "--setup"}, kExitUsage, {}, "--force is for --probe"},
  };
  for (const Row& row : rows) {
    files = {};
    files.files = folder;
    std::string line;
    for (const std::string& argument : row.arguments) line += argument + " ";
    EXPECT_EQ(Run(row.arguments), row.exitCode) << line << "\n" << err.str();
    Folder expected = folder;
    for (const auto& [name, bytes] : row.changed) {
      if (bytes) expected[name] = *bytes;
    }
    Folder found = files.files;
    // A probe report holds dates and times: its first line tells it apart.
    for (auto& [name, bytes] : found) {
      if (bytes.starts_with("voxrig receiver probe\n")) bytes = "voxrig receiver probe\n";
    }
    EXPECT_EQ(found, expected) << line;
    EXPECT_NE(err.str().find(row.told), std::string::npos) << line << "\n" << err.str();
    if (row.exitCode == 1) {
      EXPECT_NE(err.str().find("nothing written"), std::string::npos) << line;
    }
  }
}

// (The values a list may hold are the CSV reader's own tests.)
TEST_F(CommandLineTools, LinksAndSizesAreRefusedWithTheirReason) {
  const std::string big(FileSystem::kReadLimit + 1, 'x');
  struct Row {
    Folder folder;
    std::set<std::string> links;
    Strings arguments;
    int exitCode;
    std::string told;
  };
  const Row rows[] = {
      // A bank name that links to another file: that file is not replaced.
      {{{"bank05.dat", "my notes\r\n"}, {"l.csv", kBank12Csv}},
       {"bank05.dat"},
       {"--import", "l.csv", "bank05.dat"},
       1,
       "bank05.dat does not read as a bank file"},
      {{{"report.txt", "old report"}}, {"report.txt"}, {"--probe", "report.txt", "--force"}, 3, ""},
      {{{"big.csv", big}}, {}, {"--import", "big.csv", "bank05.dat"}, 1, "larger than 1 MB"},
      {{{"bank05.dat", big}}, {}, {"--export", "bank05.dat"}, 1, "larger than 1 MB"},
  };
  for (const Row& row : rows) {
    files = {};
    files.files = row.folder;
    files.links = row.links;
    EXPECT_EQ(Run(row.arguments), row.exitCode) << row.arguments[1] << "\n" << err.str();
    EXPECT_EQ(files.files, row.folder) << row.arguments[1];
    EXPECT_NE(err.str().find(row.told), std::string::npos) << err.str();
  }
  // The frequency is kept in the receiver's form, and a long name is told.
  files = {};
  files.files["l.csv"] = "Name,Frequency\nTower of London,00000000000145.5\n";
  EXPECT_EQ(Run({"--import", "l.csv", "bank05.dat"}), 0) << err.str();
  EXPECT_EQ(files.files["bank05.dat"],
            "bank05\r\nFM\r\n12.5\r\n \r\n145.5\r\nTower of London\r\n9999\r\n");
  EXPECT_NE(
      err.str().find("the receiver shows the first 12 characters of a name; longer on line 2"),
      std::string::npos)
      << err.str();
}

TEST_F(CommandLineTools, ExportsToStandardOutputAndImportsBackByteForByte) {
  files.files["bank12.dat"] = kBank12;
  EXPECT_EQ(Run({"--export", "bank12.dat"}), 0);
  EXPECT_EQ(out.str(), kBank12Csv);
  EXPECT_EQ(err.str(), "voxrig: bank12.dat: 1 channel exported\n");
  files.files["list.csv"] = out.str();
  files.files["bank12.dat"] = "bank12\r\nAM\r\n25\r\n \r\n118.1\r\n \r\n120.1\r\n \r\n9999\r\n";
  EXPECT_EQ(Run({"--import", "list.csv", "bank12.dat"}), 0);
  EXPECT_EQ(files.files["bank12.dat"], kBank12);
  EXPECT_EQ(err.str(),
            "voxrig: bank12.dat: 1 channel from list.csv, mode FM, step 12.5 kHz (it held 2 "
            "channels before; U in the panel takes it back)\n");
  // Wrong counts are usage; other options are the panel's.
  EXPECT_EQ(RunBankCsvCommand({}, files, out, err), std::nullopt);
  for (const Strings& wrong :
       std::vector<Strings>{{"--export"},
                            {"--import", "a.csv"},
                            {"--export", "a", "b", "c"},
                            {"--import", "a.csv", "bank01.dat", "--force"}}) {
    EXPECT_EQ(Run(wrong), kExitUsage) << wrong.size();
  }
  EXPECT_EQ(RunBankCsvCommand({"--transcript", "t.txt"}, files, out, err), std::nullopt);
}

// U in the panel takes an import back, as it takes back a key's change.
class ImportUndo : public fakes::PanelFixture {};

TEST_F(ImportUndo, ThePanelsUTakesBackEachImportOfTheLastRun) {
  fakes::MemoryFileSystem& folder = program.files;
  folder.files["bank05.dat"] = kBank12;
  folder.files["l.csv"] = "Frequency\n118.1\n";
  std::ostringstream out, err;
  ASSERT_EQ(RunBankCsvCommand({"--import", "l.csv", "bank05.dat"}, folder, out, err), 0);
  ASSERT_EQ(RunBankCsvCommand({"--import", "l.csv", "bank07.dat"}, folder, out, err), 0);
  const std::string imported = folder.files["bank05.dat"];
  ClearUndoCopies(ctx);  // as the panel starts
  Press('U');
  EXPECT_EQ(folder.files.count("bank07.dat"), 0u);
  Press('U');
  EXPECT_EQ(folder.files["bank05.dat"], kBank12);
  EXPECT_EQ(Heard(), (Strings{"undo", "0", "7", "ok", "undo", "0", "5", "ok"}));
  // The import copies are taken over, not left for the next start.
  for (const auto& [name, bytes] : folder.files) EXPECT_FALSE(name.starts_with("undo/import"));
  EXPECT_NE(imported, kBank12);
}

// An import that never finished, or a bank changed since an import: U never
// puts the old bank back over a version it does not keep. Each row is what
// the last run left (the copy of kBank12 always there, the note of what the
// import wrote or none, the bank as it is now) and what each U brings back.
TEST_F(ImportUndo, AnUnfinishedImportLeavesNoStepAndAChangedBankIsKept) {
  const std::string imported = "bank05\r\nFM\r\n12.5\r\n \r\n118.1\r\n \r\n9999\r\n";
  const std::string edited = "bank05\r\nFM\r\n12.5\r\n \r\n150.0\r\n by hand\r\n9999\r\n";
  struct Row {
    const char* what;
    std::optional<std::string> note;
    std::string bankNow;
    Strings afterEachUndo;
  };
  const Row rows[] = {
      {"killed before its rename", std::nullopt, kBank12, {}},
      {"killed before its note", std::nullopt, imported, {kBank12, imported}},
      {"killed, then changed", std::nullopt, edited, {kBank12, edited}},
      {"changed since the import", imported, edited, {kBank12, edited}},
      {"as the import left it", imported, imported, {kBank12}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fakes::MemoryFileSystem& folder = program.files;
    folder.files = {{"bank05.dat", row.bankNow}, {"undo/import01-bank05.dat", kBank12}};
    if (row.note) folder.files["undo/import01-bank05.dat.written"] = *row.note;
    ClearUndoCopies(ctx);  // as the panel starts
    for (const std::string& bytes : row.afterEachUndo) {
      Forget();
      Press('U');
      EXPECT_EQ(Heard(), (Strings{"undo", "0", "5", "ok"}));
      EXPECT_EQ(folder.files["bank05.dat"], bytes);
    }
    Forget();
    Press('U');
    EXPECT_EQ(Heard(), Strings{"inv"});
    EXPECT_EQ(folder.files["bank05.dat"],
              row.afterEachUndo.empty() ? row.bankNow : row.afterEachUndo.back());
  }
}

// A real full disk: a small tmpfs, filled so that the copy for U still fits
// and the new bank does not. The import fails, and leaves no step for U.
TEST_F(ImportUndo, AnImportOnAFullDiskLeavesNoUndoStep) {
  if (geteuid() != 0) {
    GTEST_SKIP() << "mounting the small full file system this test writes on needs root (CI runs "
                    "the tests as root)";
  }
  char pattern[] = "/tmp/voxrig-full-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string mount = pattern;
  if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k") != 0) {
    rmdir(mount.c_str());
    GTEST_SKIP() << "a tmpfs cannot be mounted here: " << std::strerror(errno);
  }
  struct Unmount {
    std::string path;
    ~Unmount() {
      umount(path.c_str());
      rmdir(path.c_str());
    }
  } unmount{mount};
  PosixFileSystem disk(mount);
  ASSERT_TRUE(disk.ReplaceFile("bank05.dat", kBank12));
  ASSERT_TRUE(disk.ReplaceFile("l.csv", CsvOf(150)));
  // Filled to the last page, then one page given back: room for the copy only.
  const int filler = open((mount + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(filler, 0);
  const std::string page(4096, 'x');
  off_t size = 0;
  while (write(filler, page.data(), page.size()) == static_cast<ssize_t>(page.size())) {
    size += static_cast<off_t>(page.size());
  }
  ASSERT_EQ(ftruncate(filler, size - static_cast<off_t>(page.size())), 0);
  close(filler);

  std::ostringstream out, err;
  EXPECT_EQ(RunBankCsvCommand({"--import", "l.csv", "bank05.dat"}, disk, out, err), 1);
  EXPECT_NE(err.str().find("cannot write bank05.dat"), std::string::npos) << err.str();
  EXPECT_EQ(disk.ReadFile("bank05.dat"), kBank12);
  const auto undoFolder = disk.ListFolder("undo");
  EXPECT_TRUE(!undoFolder || undoFolder->empty()) << undoFolder->front().name;
  // The next start has nothing to take back, whatever bank05.dat becomes.
  ASSERT_EQ(unlink((mount + "/filler").c_str()), 0);
  ASSERT_TRUE(disk.ReplaceFile("bank05.dat", "bank05\r\nAM\r\n25\r\n \r\n9999\r\n"));
  ctx.platform.files = &disk;
  ClearUndoCopies(ctx);
  Press('U');
  EXPECT_EQ(Heard(), Strings{"inv"});
  ctx.platform.files = &program.files;
}

}  // namespace
}  // namespace voxrig
