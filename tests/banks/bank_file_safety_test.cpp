// SPDX-License-Identifier: GPL-3.0-or-later
// Bank files the panel must not damage: longer than the bank in memory, not
// regular files, under another letter case, or linked in from elsewhere.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_merge.h"
#include "banks/bank_operations.h"
#include "banks/bank_test_support.h"
#include "fakes/connected_panel.h"
#include "posix/posix_file_system.h"

namespace voxrig {
namespace {

using banktest::Bank;
using banktest::Frequencies;
using banktest::Lines;
using Strings = std::vector<std::string>;

struct BankFileSafetyTest : fakes::PanelFixture {
  BankFileSafetyTest() { ctx.tuning.frequencyText = "145.5"; }
  std::string& File(const std::string& name) { return program.files.files[name]; }
  // Selects the bank as B leaves it, then runs the operation with an argument.
  void Run(void (*operation)(Context&, const std::string&), const std::string& argument) {
    ctx.banks.bankFileName = "bank12.dat";
    ReadBankFile(ctx);
    ctx.banks.bankScanIndex = 4;
    program.ClearRecords();
    operation(ctx, argument);
  }
};

// K leaves its result to the Enter key, which says it from lastWriteOk.
void Kill(Context& ctx, const std::string&) {
  DeleteChannel(ctx);
  SayWriteResult(ctx, ctx.banks.lastWriteOk);
}

// A bank of `channels` whose file has no terminator within its first 400 lines.
std::string LongBank(int channels) {
  return Bank("bank12", "FM", "12.5", Frequencies(channels, 100.0));
}

TEST_F(BankFileSafetyTest, AFileLongerThanTheBankInMemoryIsNeverRewrittenShorter) {
  const struct {
    const char* what;
    std::string bytes;
  } files[] = {
      {"401 lines, the terminator on the last", LongBank(198)},
      {"5,001 lines", LongBank(2498)},
      {"400 lines without terminator, then one more", Lines(Strings(400, "146.0")) + "146.5\r\n"},
      {"larger than a read may be", LongBank(2498) + std::string(FileSystem::kReadLimit, 'x')},
  };
  const struct {
    const char* key;
    void (*operation)(Context&, const std::string&);
    const char* argument;
  } operations[] = {{"K", Kill, ""},
                    {"O", SortBank, "12"},
                    {"P", PutFrequency, "12"},
                    {"T", TransferBank, "0512"},
                    {"T from it", TransferBank, "1205"}};
  for (const auto& file : files) {
    for (const auto& operation : operations) {
      SCOPED_TRACE(std::string(operation.key) + " on " + file.what);
      File("bank12.dat") = file.bytes;
      File("bank05.dat") = Bank("bank05", "FM", "12.5", {"433.5"});
      Run(operation.operation, operation.argument);
      EXPECT_EQ(program.Heard(), Strings{"toolong"});
      EXPECT_EQ(File("bank12.dat"), file.bytes);
      EXPECT_EQ(File("bank05.dat"), Bank("bank05", "FM", "12.5", {"433.5"}));
      EXPECT_TRUE(program.Commands().empty()) << "nothing retuned";
    }
  }
  // The log written at a search's end is refused alike, not cut.
  File("bank00.dat") = LongBank(300);
  ctx.banks.bankFileName = "bank00.dat";
  EXPECT_FALSE(WriteBankFile(ctx));
  EXPECT_EQ(File("bank00.dat"), LongBank(300));
}

TEST_F(BankFileSafetyTest, SomethingUnderTheBanksNameThatIsNoFileIsLeftAlone) {
  // A named pipe or a folder called bank12.dat.
  program.files.unreadable.insert("bank12.dat");
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), (Strings{"bnf", "wrerr"}));
  Run(SortBank, "12");
  EXPECT_EQ(program.Heard(), Strings{"bnf"});
  ctx.banks.bankFileName = "bank12.dat";
  EXPECT_FALSE(WriteBankFile(ctx));
  EXPECT_EQ(program.files.replaceCount, 0);
  EXPECT_TRUE(program.files.files.empty());
}

TEST_F(BankFileSafetyTest, BankFilesAreFoundWhateverTheirCaseAndKeepTheirName) {
  const std::string upper = Bank("BANK12", "FM", "12.5", {"146.0"});
  const std::string lower = Bank("bank12", "FM", "12.5", {"147.0"});
  // Only the upper-case name: read, and written back under it.
  File("BANK12.DAT") = upper;
  Run(PutFrequency, "12");
  EXPECT_EQ(program.Heard(), Strings{"ok"});
  EXPECT_EQ(File("BANK12.DAT"), Bank("BANK12", "FM", "12.5", {"146.0", "145.5"}));
  EXPECT_EQ(program.files.files.size(), 1u) << "no second bank12.dat";
  // B reads it and tunes its first channel.
  program.ClearRecords();
  ASSERT_EQ(program.Finish(ReadBankToSelect(ctx, "12")), BankReading::kSelected);
  program.Finish(TuneSelectedBank(ctx));
  EXPECT_EQ(program.Heard().back(), "sel");
  EXPECT_EQ(program.Commands().front(), "VA0146.00000");

  // Both names: the exact lower-case one, always.
  ctx.tuning.frequencyText = "145.5";
  File("BANK12.DAT") = upper;
  File("bank12.dat") = lower;
  Run(PutFrequency, "12");
  EXPECT_EQ(File("bank12.dat"), Bank("bank12", "FM", "12.5", {"147.0", "145.5"}));
  EXPECT_EQ(File("BANK12.DAT"), upper);
}

// The real folder: a bank linked in from a synced folder and one copied in
// under upper-case letters are each written where they are and read back
// byte for byte.
TEST_F(BankFileSafetyTest, LinkedAndUpperCaseBanksOnARealFolder) {
  namespace fs = std::filesystem;
  char pattern[] = "/tmp/voxrig-banks-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  fs::create_directory(folder + "/synced");
  std::ofstream(folder + "/synced/b12.dat", std::ios::binary)
      << Bank("bank12", "FM", "12.5", {"146.0"});
  std::ofstream(folder + "/BANK05.DAT", std::ios::binary)
      << Bank("bank05", "FM", "12.5", {"433.5"});
  fs::create_symlink("synced/b12.dat", folder + "/bank12.dat");
  PosixFileSystem posix(folder);
  ctx.platform.files = &posix;

  Run(TransferBank, "0512");
  EXPECT_EQ(program.Heard(), Strings{"ok"});
  Run(PutFrequency, "05");
  EXPECT_EQ(program.Heard(), Strings{"ok"});
  auto slurp = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(slurp(folder + "/synced/b12.dat"), Bank("bank12", "FM", "12.5", {"146.0", "433.5"}));
  EXPECT_TRUE(fs::is_symlink(folder + "/bank12.dat"));
  EXPECT_EQ(slurp(folder + "/BANK05.DAT"), Bank("bank05", "FM", "12.5", {"433.5", "145.5"}));
  EXPECT_FALSE(fs::exists(folder + "/bank05.dat"));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace voxrig
