// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "posix/posix_file_system.h"

namespace voxrig {
namespace {

namespace fs = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/voxrig-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    files = std::make_unique<PosixFileSystem>(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string At(const std::string& name) const { return folder + "/" + name; }

  // Every name in the working folder, hidden temporary files included.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string folder;
  std::unique_ptr<PosixFileSystem> files;
};

std::string BankBytes() {
  std::string bytes = "bank12\r\n\r\n\r\n\r\n145.5000\r\nTower\r\n9999\r\n";
  bytes += std::string("\0\x80\xFF", 3);
  return bytes;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spill(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST_F(PosixFileSystemTest, ReplaceFileWritesExactlyTheBytesAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", BankBytes()));
  EXPECT_EQ(files->ReadFile("bank12.dat"), BankBytes());
  EXPECT_EQ(Names(), std::vector<std::string>{"bank12.dat"});
}

TEST_F(PosixFileSystemTest, ReplacingALongerFileLeavesNoneOfItsBytes) {
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", std::string(5000, 'x')));
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", "9999\r\n"));
  EXPECT_EQ(files->ReadFile("bank12.dat"), "9999\r\n");
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", ""));
  EXPECT_EQ(files->ReadFile("bank12.dat"), "");
}

TEST_F(PosixFileSystemTest, ReplaceFileOnAFullDiskReturnsFalseAndKeepsTheOldFile) {
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", BankBytes()));
  // The write goes to /dev/full, which fails every write with ENOSPC.
  files->SetBeforeReplaceWrite([](int fd) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ASSERT_GE(dup2(full, fd), 0);
    close(full);
  });
  EXPECT_FALSE(files->ReplaceFile("bank12.dat", std::string(100000, 'n')));
  EXPECT_EQ(files->ReadFile("bank12.dat"), BankBytes());
  EXPECT_EQ(Names(), std::vector<std::string>{"bank12.dat"}) << "temporary file removed";
}

TEST_F(PosixFileSystemTest, ReplaceFileThatCannotBeWrittenReturnsFalse) {
  // No such folder: the temporary file cannot even be created.
  EXPECT_FALSE(files->ReplaceFile("missing/bank12.dat", "9999\r\n"));
  // A folder in the way of the rename.
  fs::create_directory(At("bank13.dat"));
  EXPECT_FALSE(files->ReplaceFile("bank13.dat", "9999\r\n"));
  EXPECT_TRUE(fs::is_directory(At("bank13.dat")));
  EXPECT_EQ(Names(), std::vector<std::string>{"bank13.dat"}) << "temporary file removed";
}

TEST_F(PosixFileSystemTest, ReplaceFileKeepsTheOldFilesPermissions) {
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", "old"));
  ASSERT_EQ(chmod(At("bank12.dat").c_str(), 0640), 0);
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", "new"));
  struct stat info {};
  ASSERT_EQ(stat(At("bank12.dat").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// The panel may be killed (or the power cut) while a bank file is being
// written. Whatever moment that happens, the bank file must be whole: the old
// one or the new one.
TEST_F(PosixFileSystemTest, KilledReplaceLeavesEitherTheWholeOldOrTheWholeNewFile) {
  std::string contents[2] = {std::string(3 * 1024 * 1024, 'o') + "9999\r\n",
                             std::string(5 * 1024 * 1024, 'n') + "9999\r\n"};
  for (std::size_t i = 0; i < contents[1].size(); i += 4096) contents[1][i] = '\n';
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", contents[0]));

  // How long a replace takes from the fork of a writer to its end, so the
  // kills can be spread across the whole of it: writing, syncing, renaming.
  auto replaceInChild = [&](const std::string& bytes) {
    const pid_t child = fork();
    if (child == 0) {
      PosixFileSystem childFiles(folder);
      _exit(childFiles.ReplaceFile("bank12.dat", bytes) ? 0 : 1);
    }
    return child;
  };
  using Micros = std::chrono::microseconds;
  Micros oneReplace{0};
  for (int i = 0; i < 2; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = replaceInChild(contents[i == 0 ? 1 : 0]);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    oneReplace = std::max(
        oneReplace, std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start));
  }
  // Read directly: these files are larger than the panel ever reads.
  ASSERT_TRUE(Slurp(At("bank12.dat")) == contents[0]);

  // Each kill falls at a random moment inside its own twentieth of the span.
  constexpr int kRounds = 20;
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> within(0.0, 1.0);
  int current = 0;
  int sawOld = 0;
  int sawNew = 0;
  for (int round = 0; round < kRounds; ++round) {
    const int next = 1 - current;
    const pid_t child = replaceInChild(contents[next]);
    ASSERT_GT(child, 0);
    const double share = (round + within(random)) / kRounds;
    std::this_thread::sleep_for(Micros(static_cast<long long>(share * 1.1 * oneReplace.count())));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);

    const std::string found = Slurp(At("bank12.dat"));
    const bool isOld = found == contents[current];
    const bool isNew = found == contents[next];
    ASSERT_TRUE(isOld || isNew) << "round " << round << ": a partial file of " << found.size()
                                << " bytes";
    if (isNew) {
      current = next;
      ++sawNew;
    } else {
      ++sawOld;
    }
  }
  RecordProperty("killedBeforeRename", sawOld);
  RecordProperty("killedAfterRename", sawNew);
}

TEST_F(PosixFileSystemTest, CreateFileEmptiesAnExistingFileAndWritesThrough) {
  ASSERT_TRUE(files->ReplaceFile("debug1.dat", "an earlier log\r\n"));
  auto log = files->CreateFile("debug1.dat");
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(files->ReadFile("debug1.dat"), "");

  // Each line is in the file as soon as it is written, while the log is
  // still open: nothing waits in a buffer for a crash to lose.
  EXPECT_TRUE(log->Write("VOXRIG 4.0b  11-06-2024   09:05:03\r\n"));
  EXPECT_EQ(files->ReadFile("debug1.dat"), "VOXRIG 4.0b  11-06-2024   09:05:03\r\n");
  EXPECT_TRUE(log->Write("TX= LM\r\n"));
  EXPECT_EQ(files->ReadFile("debug1.dat"), "VOXRIG 4.0b  11-06-2024   09:05:03\r\nTX= LM\r\n");
  log.reset();
  EXPECT_EQ(files->ReadFile("debug1.dat"), "VOXRIG 4.0b  11-06-2024   09:05:03\r\nTX= LM\r\n");
}

TEST_F(PosixFileSystemTest, CreateFileFailuresAreReported) {
  EXPECT_EQ(files->CreateFile("missing/debug1.dat"), nullptr);
  // A link under the log's name is refused, even one to a device: a planted
  // link must never get the log's writes.
  ASSERT_EQ(symlink("/dev/full", At("debug1.dat").c_str()), 0);
  EXPECT_EQ(files->CreateFile("debug1.dat"), nullptr);
}

TEST_F(PosixFileSystemTest, ReadFileGivesNothingForAMissingFileOrAFolder) {
  EXPECT_EQ(files->ReadFile("bank99.dat"), std::nullopt);
  fs::create_directory(At("wave"));
  EXPECT_EQ(files->ReadFile("wave"), std::nullopt);
  ASSERT_TRUE(files->ReplaceFile("empty.dat", ""));
  EXPECT_EQ(files->ReadFile("empty.dat"), std::string());
}

TEST_F(PosixFileSystemTest, ExistsFollowsLinksAndRemoveFileRemoves) {
  EXPECT_FALSE(files->Exists("bank12.dat"));
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", "9999\r\n"));
  EXPECT_TRUE(files->Exists("bank12.dat"));
  EXPECT_TRUE(files->RemoveFile("bank12.dat"));
  EXPECT_FALSE(files->Exists("bank12.dat"));
  EXPECT_FALSE(files->RemoveFile("bank12.dat"));

  // "COM5" linked to a device exists; a link to a device that is gone
  // (an unplugged adapter) does not.
  ASSERT_EQ(symlink("/dev/null", At("COM5").c_str()), 0);
  ASSERT_EQ(symlink("/dev/serial/by-id/unplugged", At("COM6").c_str()), 0);
  EXPECT_TRUE(files->Exists("COM5"));
  EXPECT_FALSE(files->Exists("COM6"));
  EXPECT_FALSE(files->Exists("com5")) << "names keep their letter case";
  // Both are links, whether or not they lead anywhere: the panel waits for
  // that adapter rather than try another port.
  EXPECT_TRUE(files->IsLink("COM6"));
  EXPECT_TRUE(files->IsLink("COM5"));
  EXPECT_FALSE(files->IsLink("COM7"));
}

TEST_F(PosixFileSystemTest, MakeFolderIsTrueOnlyWhenAFolderIsThereAfterwards) {
  EXPECT_TRUE(files->MakeFolder("undo"));
  EXPECT_TRUE(files->MakeFolder("undo"));  // already there
  EXPECT_TRUE(files->ReplaceFile("undo/undo00-0.dat", BankBytes()));
  EXPECT_EQ(files->ReadFile("undo/undo00-0.dat"), BankBytes());
  ASSERT_TRUE(files->ReplaceFile("plain", "x"));
  EXPECT_FALSE(files->MakeFolder("plain"));  // a file stands in its way
  EXPECT_FALSE(files->MakeFolder("missing/undo"));
}

TEST_F(PosixFileSystemTest, DefaultFolderIsTheWorkingFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(folder);
  PosixFileSystem here;
  const bool replaced = here.ReplaceFile("bank01.dat", "9999\r\n");
  fs::current_path(before);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(files->ReadFile("bank01.dat"), "9999\r\n");
}

// ---- Special files, links and letter case -----------------------------------

// Runs `work` in a child process and says whether it ended, successfully,
// within two seconds: a read that hangs on a pipe or eats /dev/zero fails
// here instead of holding the test run.
bool FinishesWithin2s(const std::function<bool()>& work) {
  const pid_t child = fork();
  if (child == 0) _exit(work() ? 0 : 1);
  for (int waited = 0; waited < 200; ++waited) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child)
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return false;
}

TEST_F(PosixFileSystemTest, SpecialFilesAreNeitherWaitedForNorReadWhole) {
  ASSERT_EQ(mkfifo(At("pipe.dat").c_str(), 0666), 0);
  ASSERT_EQ(symlink("/dev/zero", At("zero.dat").c_str()), 0);
  ASSERT_EQ(symlink(At("pipe.dat").c_str(), At("pipelink.dat").c_str()), 0);
  ASSERT_EQ(symlink(At("gone.dat").c_str(), At("dangling.dat").c_str()), 0);
  fs::create_directory(At("folder.dat"));
  const struct {
    const char* name;
    ReadStatus status;
  } cases[] = {{"pipe.dat", ReadStatus::kUnreadable},     {"zero.dat", ReadStatus::kUnreadable},
               {"pipelink.dat", ReadStatus::kUnreadable}, {"folder.dat", ReadStatus::kUnreadable},
               {"dangling.dat", ReadStatus::kMissing},    {"none.dat", ReadStatus::kMissing}};
  for (const auto& c : cases) {
    EXPECT_TRUE(FinishesWithin2s([&] {
      const FileRead read = files->Read(c.name);
      return read.status == c.status && read.bytes.empty();
    })) << c.name;
  }
  // Nor written: a pipe or a folder under the name stays what it was, and a
  // debug log is not opened on a pipe.
  EXPECT_TRUE(FinishesWithin2s([&] { return !files->ReplaceFile("pipe.dat", "9999\r\n"); }));
  EXPECT_TRUE(FinishesWithin2s([&] { return files->CreateFile("pipe.dat") == nullptr; }));
  EXPECT_TRUE(fs::is_fifo(At("pipe.dat")));
  EXPECT_FALSE(files->ReplaceFile("zero.dat", "9999\r\n"));
  EXPECT_TRUE(fs::is_symlink(At("zero.dat")));
}

TEST_F(PosixFileSystemTest, AFileLongerThanTheLimitGivesItsFirstBytesOnly) {
  const std::size_t limit = FileSystem::kReadLimit;
  Spill(At("big.dat"), std::string(limit, 'a') + "b");
  const FileRead big = files->Read("big.dat");
  EXPECT_EQ(big.status, ReadStatus::kTooLarge);
  EXPECT_EQ(big.bytes, std::string(limit, 'a'));
  EXPECT_EQ(files->ReadFile("big.dat"), std::nullopt);
  Spill(At("full.dat"), std::string(limit, 'a'));
  EXPECT_EQ(files->Read("full.dat").status, ReadStatus::kRead);
}

TEST_F(PosixFileSystemTest, ALinkedFileIsWrittenThroughAndTheLinkStays) {
  // The banks live in a synced folder and are linked in, one through another.
  const std::string synced = folder + "/synced";
  fs::create_directory(synced);
  Spill(synced + "/radio.dat", "old");
  ASSERT_EQ(symlink("synced/radio.dat", At("hop.dat").c_str()), 0);
  ASSERT_EQ(symlink("hop.dat", At("bank12.dat").c_str()), 0);
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", BankBytes()));
  EXPECT_EQ(Slurp(synced + "/radio.dat"), BankBytes());
  EXPECT_TRUE(fs::is_symlink(At("bank12.dat")));
  EXPECT_EQ(fs::read_symlink(At("bank12.dat")), "hop.dat");
  EXPECT_EQ(files->ReadFile("bank12.dat"), BankBytes());
  EXPECT_EQ(Names(), (std::vector<std::string>{"bank12.dat", "hop.dat", "synced"}));
  EXPECT_EQ(fs::directory_iterator(synced)->path().filename(), "radio.dat");
}

TEST_F(PosixFileSystemTest, ALinkToNowhereOrIntoNoWritableFolderIsAFailureAndStays) {
  ASSERT_EQ(symlink("synced/gone.dat", At("bank12.dat").c_str()), 0);
  ASSERT_EQ(symlink("/proc/version", At("bank13.dat").c_str()), 0);
  for (const char* name : {"bank12.dat", "bank13.dat"}) {
    const std::string target = fs::read_symlink(At(name));
    EXPECT_FALSE(files->ReplaceFile(name, "9999\r\n")) << name;
    EXPECT_EQ(fs::read_symlink(At(name)), target) << name;
  }
  EXPECT_FALSE(fs::exists(folder + "/synced"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"bank12.dat", "bank13.dat"}));
}

TEST_F(PosixFileSystemTest, AHardLinkedFileIsReplacedUnderThisNameOnly) {
  Spill(At("bank12.dat"), "old");
  ASSERT_EQ(link(At("bank12.dat").c_str(), At("copy.dat").c_str()), 0);
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", "new"));
  EXPECT_EQ(Slurp(At("bank12.dat")), "new");
  EXPECT_EQ(Slurp(At("copy.dat")), "old");
}

TEST_F(PosixFileSystemTest, LinksPlantedWhereTheTemporaryFileWasAreNeverWrittenThrough) {
  // The temporary names of earlier versions, each a link to a file outside.
  const std::string outside = folder + "-outside";
  Spill(outside, "precious");
  for (const std::string& name :
       {".bank12.dat.tmp-" + std::to_string(getpid()), std::string(".bank12.dat.tmp")}) {
    ASSERT_EQ(symlink(outside.c_str(), At(name).c_str()), 0);
  }
  ASSERT_TRUE(files->ReplaceFile("bank12.dat", BankBytes()));
  EXPECT_EQ(files->ReadFile("bank12.dat"), BankBytes());
  EXPECT_EQ(Slurp(outside), "precious");
  fs::remove(outside);

  // Nor can a link planted under the debug log's name be emptied.
  Spill(At("precious.txt"), "precious");
  ASSERT_EQ(symlink("precious.txt", At("debug1.dat").c_str()), 0);
  EXPECT_EQ(files->CreateFile("debug1.dat"), nullptr);
  EXPECT_EQ(Slurp(At("precious.txt")), "precious");
}

TEST_F(PosixFileSystemTest, ExistingNameFindsAFileWhateverItsLetterCase) {
  EXPECT_EQ(files->ExistingName("bank05.dat"), "bank05.dat") << "nothing there: the name itself";
  Spill(At("BANK05.DAT"), "upper");
  Spill(At("Bank05.Dat"), "mixed");
  EXPECT_EQ(files->ExistingName("bank05.dat"), "BANK05.DAT") << "first in byte order";
  Spill(At("bank05.dat"), "lower");
  EXPECT_EQ(files->ExistingName("bank05.dat"), "bank05.dat") << "the exact name, always";
  EXPECT_EQ(files->ExistingName("bank5.dat"), "bank5.dat");
  fs::create_directory(At("sub"));
  Spill(At("sub/BANK07.DAT"), "upper");
  EXPECT_EQ(files->ExistingName("sub/bank07.dat"), "sub/BANK07.DAT");

  // Read and written back byte for byte under the name it has.
  Spill(At("BANK06.DAT"), BankBytes());
  const std::string name = files->ExistingName("bank06.dat");
  EXPECT_EQ(files->ReadFile(name), BankBytes());
  ASSERT_TRUE(files->ReplaceFile(name, "9999\r\n"));
  EXPECT_EQ(Slurp(At("BANK06.DAT")), "9999\r\n");
  EXPECT_FALSE(fs::exists(At("bank06.dat")));
}

TEST_F(PosixFileSystemTest, RemovingAFolderFailsAndItStillExists) {
  fs::create_directory(At("bank05.dat"));
  EXPECT_FALSE(files->RemoveFile("bank05.dat"));
  EXPECT_TRUE(files->Exists("bank05.dat"));
}

}  // namespace
}  // namespace voxrig
