// SPDX-License-Identifier: GPL-3.0-or-later
#include "banks/bank_csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_test_support.h"
#include "banks/csv_records.h"

namespace voxrig::banks {
namespace {

using banktest::Lines;
using Strings = std::vector<std::string>;

// The bank file bytes a list makes, or the first refusal as "ERROR line N: ...".
std::string Imported(const std::string& csv, const BankHeader& header = {"bank12"}) {
  const CsvImport made = BankFromCsv(csv, header);
  if (!made.ok) return "ERROR " + (made.errors.empty() ? std::string("?") : made.errors.front());
  return BankFileBytes(made.slots);
}

std::string FromBank(const std::string& bankBytes) {
  return BankToCsv(BankSlotsOf(bankBytes));
}

TEST(BankCsv, ExportWritesHeaderAndOneLinePerChannelCountedFromZero) {
  const std::string bank =
      Lines({"bank12", "CW ", "6.25", " ", "145.5", " ", "7.05", "Tower, north", "446.00625",
             "say \"hi\"", "118.1", "  lead", "9999"});
  EXPECT_EQ(FromBank(bank),
            "Location,Name,Frequency,Mode,TStep\r\n"
            "0,,145.5,CW,6.25\r\n"
            "1,\"Tower, north\",7.05,CW,6.25\r\n"
            "2,\"say \"\"hi\"\"\",446.00625,CW,6.25\r\n"
            "3,\"  lead\",118.1,CW,6.25\r\n");
}

TEST(BankCsv, ExportThenImportGivesTheSameBankFileByteForByte) {
  const std::vector<Strings> banks = {
      {"bank12", "FM", "12.5", " ", "145.5", " ", "145.", "Tower", "145.50", " ", ".5", " ",
       "1296.25", "a;b,c\"d", "9999"},
      {"Scanbank", "AM", "8.33", " ", "118.1", " ", "9999"},
      {"bank03", "CW ", "0.5", " ", "7.0305", "  spaced  ", "9999"},
      {"bank04", "AUT", "25", " ", "0.5", " ", "2040", "top", "9999"},
      {"bank05", "WFM", "100", " ", "9999"},
      {"bank06", "FM", "12.5", " ", "9999"},
  };
  for (const Strings& lines : banks) {
    const std::string bank = Lines(lines);
    // A bank read back into its own file keeps its label, and its mode and
    // step when it has no channel to carry them.
    EXPECT_EQ(Imported(FromBank(bank), {lines[0], lines[1], lines[2]}), bank) << FromBank(bank);
  }
  // The most channels a bank file holds, 197, in its 400 lines.
  const std::string full = banktest::Bank("bank07", "USB", "1", banktest::Frequencies(197));
  EXPECT_EQ(banktest::FileLines(full).size(), 399u);
  EXPECT_EQ(Imported(FromBank(full), {"bank07"}), full);
}

TEST(BankCsv, ImportReadsTheFormsOtherProgramsWrite) {
  const std::string chirpHeader =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
      "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";
  const std::string twoChannels =
      Lines({"bank12", "FM", "12.50", " ", "145.500000", "Repeater", "446.006250", " ", "9999"});
  struct Case {
    const char* what;
    std::string csv;
    std::string bank;
  };
  const std::vector<Case> cases = {
      {"a programming tool's export with a byte-order mark and CR LF",
       "\xEF\xBB\xBF" + chirpHeader +
           "\r\n0,Repeater,145.500000,-,0.600000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,12.50,,50W,"
           ",,,,\r\n1,,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,S,50W,,,,,"
           "\r\n",
       twoChannels},
      {"LF line ends, columns in another order and a trailing empty line",
       "Mode,Frequency,Name,TStep,Location\nFM,446.006250,,12.50,7\nNFM,145.500000,Repeater,"
       "12.50,3\n\n",
       twoChannels},
      {"semicolons with decimal commas, as spreadsheets write them",
       "Location;Name;Frequency;Mode;TStep\r\n1;Repeater;145,500000;FM;12,50\r\n2;;446,006250;FM;"
       "12,50\r\n;;;;\r\n",
       twoChannels},
      {"quoted names holding commas, quotes and a line end",
       "Name,Frequency\n\"Tower, \"\"north\"\"\",118.1\n\"two\nlines\",119.1\n",
       Lines({"bank12", "FM", "12.5", " ", "118.1", "Tower, \"north\"", "119.1", "two lines",
              "9999"})},
      {"only a frequency column, upper-case header, blanks around numbers",
       "FREQUENCY\r\n  7.05 \r\n", Lines({"bank12", "FM", "12.5", " ", "7.05", " ", "9999"})},
      {"a header without channels", "Location,Name,Frequency\r\n",
       Lines({"bank12", "FM", "12.5", " ", "9999"})},
      {"the receiver's range ends included", "Frequency,Mode\n0.1,Auto\n2040,AM\n",
       Lines({"bank12", "AUT", "12.5", " ", "0.1", " ", "2040", " ", "9999"})},
      {"leading zeros and decimal zeros, kept in the receiver's form",
       "Frequency,TStep\n00000000000145.5,012.500\n00.5,12.500\n",
       Lines({"bank12", "FM", "12.50", " ", "145.5", " ", "0.5", " ", "9999"})},
  };
  for (const Case& c : cases) EXPECT_EQ(Imported(c.csv), c.bank) << c.what;
}

// Every name a list may give a mode, its letter case aside; Hamlib's names
// of modes heard through another are no CSV names, and leave the bank FM.
TEST(BankCsv, ImportHearsEachModeByItsListNames) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"fm", "FM"},    {"NFM", "FM"},   {"Nam", "AM"},  {"am", "AM"},
      {"wfm", "WFM"},  {"usb", "USB"},  {"Lsb", "LSB"}, {"cw", "CW "},
      {"AUTO", "AUT"}, {"auto", "AUT"}, {"CWR", "FM"},  {"PKTUSB", "FM"},
  };
  for (const auto& [name, bankMode] : cases) {
    EXPECT_EQ(Imported("Frequency,Mode\n145.5," + name + "\n"),
              Lines({"bank12", bankMode, "12.5", " ", "145.5", " ", "9999"}))
        << name;
  }
}

TEST(BankCsv, ImportRefusesTheWholeListNamingTheLine) {
  std::string tooMany = "Frequency\n";
  for (int i = 0; i < 198; ++i) tooMany += "145." + std::to_string(100 + i) + "\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string("Frequency\n145.5\n\0\x01\x02", 17),
       "line 3: holds bytes that are not text; this is no channel list"},
      {"Location,Name,Mode\n0,Tower,FM\n", "line 1: the header names no Frequency column"},
      {"", "line 1: no header line; the file is empty"},
      {"Location,Frequency\n0,145.5\n1,2100.000000\n",
       "line 3: frequency 2100.000000 MHz is outside the receiver's 0.1 to 2040 MHz"},
      {"Frequency\n0.05\n", "line 2: frequency 0.05 MHz is outside the receiver's 0.1 to 2040 MHz"},
      {"Frequency\n99999999999999999999\n",
       "line 2: frequency 99999999999999999999 MHz is outside the receiver's 0.1 to 2040 MHz"},
      {"Name,Frequency\nTower,abc\n", "line 2: frequency \"abc\" is not a number of megahertz"},
      {"Name,Frequency\nTower,-145.5\n",
       "line 2: frequency \"-145.5\" is not a number of megahertz"},
      {"Name,Frequency\nTower,\n", "line 2: no frequency"},
      {"Frequency\n145.1234567\n",
       "line 2: frequency 145.1234567 has more than six decimals (the receiver tunes to the "
       "hertz)"},
      {"Location,Frequency\n4,145.5\n\n4,146.5\n", "line 4: location 4 is also on line 2"},
      {"Location,Frequency\nA1,145.5\n", "line 2: location \"A1\" is not a channel number"},
      {"Name,Frequency\n9999,145.5\n", "line 2: the name 9999 would end the bank file there"},
      {"Name,Frequency\n\"open,145.5\n", "line 2: a quote opened here is never closed"},
      {tooMany, "line 199: 198 channels; a bank file holds 197"},
      {"Frequency,TStep\n145.5,x\n", "line 2: step \"x\" is not a number of kilohertz"},
      {"Frequency,TStep\n145.5,8.334\n",
       "line 2: step 8.334 kHz is not one the receiver has (a multiple of 0.05 kHz up to 999.95, "
       "or 8.33)"},
      {"Frequency,TStep\n145.5,1000\n",
       "line 2: step 1000 kHz is not one the receiver has (a multiple of 0.05 kHz up to 999.95, "
       "or 8.33)"},
      {"Name,Frequency\n" + std::string(255, 'n') + ",145.5\n",
       "line 2: the name has 255 characters; a bank line holds 254"},
  };
  for (const auto& [csv, error] : cases) EXPECT_EQ(Imported(csv), "ERROR " + error) << csv;
  // Every refused line is named, not only the first.
  const CsvImport made = BankFromCsv("Frequency\n1\nx\n145\n3000\n", {"bank12"});
  EXPECT_EQ(made.errors, (Strings{"line 3: frequency \"x\" is not a number of megahertz",
                                  "line 5: frequency 3000 MHz is outside the receiver's 0.1 to "
                                  "2040 MHz"}));
}

TEST(BankCsv, ImportTellsWhatTheBankDoesNotKeep) {
  const CsvImport modes = BankFromCsv(
      "Location,Frequency,Mode,Skip,Power\n0,145.5,DV,S,5W\n1,118.1,AM,,\n2,145.6,FM,,\n"
      "3,120.1,AM,,\n",
      {"bank12"});
  ASSERT_TRUE(modes.ok);
  EXPECT_EQ(modes.slots[1], "AM");  // the first channel whose mode the receiver has
  EXPECT_EQ(modes.notes, (Strings{"columns ignored: Skip, Power",
                                  "line 2: mode \"DV\" is not one the receiver has",
                                  "a bank has one mode: every channel is heard in AM, also those "
                                  "of other modes (line 4)"}));

  std::string ninetyTwo = "Frequency,Mode,TStep,Name\n";
  for (int i = 0; i < 92; ++i) {
    ninetyTwo += "145." + std::to_string(100 + i) + ",FM,8.33," +
                 (i % 40 == 1 ? "Thirteen char" : "") + "\n";
  }
  const CsvImport many = BankFromCsv(ninetyTwo, {"bank12"});
  ASSERT_TRUE(many.ok);
  EXPECT_EQ(many.channels, 92);
  EXPECT_EQ(many.slots[2], "8.33");
  EXPECT_EQ(
      many.notes,
      (Strings{"the receiver shows the first 12 characters of a name; longer on lines 3, 43, 83",
               "W sends the first 91 channels to the receiver (00 to 90); the bank holds 92"}));
}

TEST(CsvRecords, SeparatorsQuotesAndLineNumbers) {
  const CsvText text = ReadCsv("a;\"b;c\";d\r\n\r\n\"x\ny\";2\r;\n");
  EXPECT_EQ(text.separator, ';');
  ASSERT_EQ(text.records.size(), 2u);
  EXPECT_EQ(text.records[0].fields, (Strings{"a", "b;c", "d"}));
  EXPECT_EQ(text.records[1].line, 3);
  EXPECT_EQ(text.records[1].fields, (Strings{"x\ny", "2"}));
  EXPECT_EQ(ReadCsv("a\tb\n").records[0].fields, (Strings{"a", "b"}));
  EXPECT_EQ(CsvField("plain"), "plain");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField(" x"), "\" x\"");
}

}  // namespace
}  // namespace voxrig::banks
