#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/bank_csv_command.h"
#include "app/command_line.h"
#include "fakes/memory_file_system.h"

namespace voxrig {
namespace {

const std::string kBank12 = "bank12\r\nFM\r\n12.5\r\n \r\n145.5\r\nTower\r\n9999\r\n";
const std::string kBank12Csv = "Location,Name,Frequency,Mode,TStep\r\n0,Tower,145.5,FM,12.5\r\n";

struct BankCsvCommand : ::testing::Test {
  std::optional<int> Run(const std::vector<std::string>& arguments) {
    out.str("");
    err.str("");
    return RunBankCsvCommand(arguments, files, out, err);
  }
  fakes::MemoryFileSystem files;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(BankCsvCommand, ExportsToStandardOutputOrAFileAndImportsBack) {
  files.files["bank12.dat"] = kBank12;
  EXPECT_EQ(Run({"--export", "bank12.dat"}), 0);
  EXPECT_EQ(out.str(), kBank12Csv);
  EXPECT_EQ(err.str(), "voxrig: bank12.dat: 1 channel exported\n");

  EXPECT_EQ(Run({"--export", "bank12.dat", "list.csv"}), 0);
  EXPECT_EQ(files.files["list.csv"], kBank12Csv);
  EXPECT_EQ(out.str(), "");

  files.files["bank12.dat"] = "bank12\r\nAM\r\n25\r\n \r\n118.1\r\n \r\n120.1\r\n \r\n9999\r\n";
  EXPECT_EQ(Run({"--import", "list.csv", "bank12.dat"}), 0);
  EXPECT_EQ(files.files["bank12.dat"], kBank12);
  EXPECT_EQ(err.str(),
            "voxrig: bank12.dat: 1 channel from list.csv, mode FM, step 12.5 kHz (it held 2 "
            "channels before)\n");

  // A new bank file is labelled by its number.
  EXPECT_EQ(Run({"--import", "list.csv", "bank07.dat"}), 0);
  EXPECT_EQ(files.files["bank07.dat"], "bank07" + kBank12.substr(6));
}

TEST_F(BankCsvCommand, RefusedListOrFailedWriteLeavesTheBankFileAsItWas) {
  files.files["bank12.dat"] = kBank12;
  files.files["bad.csv"] = "Location,Frequency\n0,145.5\n1,2100\n2,abc\n";
  EXPECT_EQ(Run({"--import", "bad.csv", "bank12.dat"}), kExitRefused);
  EXPECT_EQ(files.files["bank12.dat"], kBank12);
  EXPECT_EQ(err.str(),
            "voxrig: bad.csv: line 3: frequency 2100 MHz is outside the receiver's 0.1 to 2040 "
            "MHz\nvoxrig: bad.csv: line 4: frequency \"abc\" is not a number of megahertz\n"
            "voxrig: nothing written; bank12.dat is unchanged\n");

  files.files["good.csv"] = "Frequency\n118.1\n";
  files.failingWrites.insert("bank12.dat");
  EXPECT_EQ(Run({"--import", "good.csv", "bank12.dat"}), kExitRefused);
  EXPECT_EQ(files.files["bank12.dat"], kBank12);

  EXPECT_EQ(Run({"--import", "missing.csv", "bank13.dat"}), kExitRefused);
  EXPECT_EQ(Run({"--export", "bank13.dat"}), kExitRefused);
  EXPECT_EQ(err.str(), "voxrig: cannot read the bank file bank13.dat\n");
  EXPECT_EQ(files.files.count("bank13.dat"), 0u);
}

TEST_F(BankCsvCommand, OtherArgumentsAreLeftToThePanelAndWrongCountsAreUsage) {
  EXPECT_EQ(Run({}), std::nullopt);
  EXPECT_EQ(Run({"--transcript", "t.txt"}), std::nullopt);
  for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
           {"--export"}, {"--import", "a.csv"}, {"--export", "a", "b", "c"}}) {
    EXPECT_EQ(Run(wrong), kExitUsage);
  }
  EXPECT_EQ(err.str(),
            "voxrig: --export needs BANK.dat [FILE.csv] (voxrig --help lists the options)\n");
}

}  // namespace
}  // namespace voxrig
