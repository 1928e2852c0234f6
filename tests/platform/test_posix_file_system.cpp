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
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix_file_system.h"

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
  ASSERT_EQ(files->ReadFile("bank12.dat"), contents[0]);

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

    const auto found = files->ReadFile("bank12.dat");
    ASSERT_TRUE(found.has_value()) << "round " << round;
    const bool isOld = *found == contents[current];
    const bool isNew = *found == contents[next];
    ASSERT_TRUE(isOld || isNew) << "round " << round << ": a partial file of " << found->size()
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
  ASSERT_EQ(symlink("/dev/full", At("debug1.dat").c_str()), 0);
  auto log = files->CreateFile("debug1.dat");
  ASSERT_NE(log, nullptr);
  EXPECT_FALSE(log->Write("TX= LM\r\n")) << "a full disk is not reported as written";
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

}  // namespace
}  // namespace voxrig
