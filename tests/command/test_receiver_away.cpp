// SPDX-License-Identifier: GPL-3.0-or-later
// What the keys do about a receiver that has gone away, and what W and Z send
// to a receiver that may not be there: never "ok" after a failure, never a
// receiver bank cleared for nothing, every channel left out counted.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/connected_panel.h"

namespace voxrig::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Strings = std::vector<std::string>;

class ReceiverAway : public fakes::PanelFixture {};

TEST_F(ReceiverAway, KeysThatWouldConfirmSomethingAboutTheReceiverSayRncOnceInstead) {
  struct Row {
    std::vector<int> keys;
    Strings spoken;
  };
  const auto typed = [](const std::string& text) {
    std::vector<int> keys;
    for (char c : text) keys.push_back(c == '.' ? 190 : static_cast<unsigned char>(c));
    return keys;
  };
  const Row rows[] = {
      {typed("145.5\r"), {"1", "4", "5", "point", "5", "rnc"}},
      {typed("B05\r"), {"bank", "0", "5", "rnc"}},
      {typed("W05A\r"), {"write", "fromb", "0", "5", "torb", "A", "rnc"}},
      {typed("Z"), {"rnc"}},
      {typed("GB\r"), {"radbank", "B", "rnc"}},
      {typed("M"), {"rnc"}},
      {typed("A"), {"rnc"}},
      {typed("L"), {"noise", "rnc"}},
      {typed("I25\r"), {"incr", "2", "5", "rnc"}},
      {{keys::kF1}, {"rnc"}},
      {{keys::kRight}, {"rnc"}},
  };
  PutBankFile("bank05.dat", "FM", {"145.5"});
  ctx.link.receiverLost = true;
  silent = true;
  for (const Row& row : rows) {
    Forget();
    ctx.poll.bankScanState = BankScan::kOff;  // B leaves its bank selected; arrows would step it
    for (int key : row.keys) Press(key);
    EXPECT_EQ(Spoken(), row.spoken) << "key " << row.keys[0];
  }
  // W, Z and G put nothing on a line whose receiver cannot be seen.
  EXPECT_THAT(Sent("MQ"), IsEmpty());
  EXPECT_THAT(Sent("MW"), IsEmpty());
  EXPECT_THAT(Sent("MS"), IsEmpty());
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
}

TEST_F(ReceiverAway, ReceiverBankIsClearedOnlyAtEnterRightBeforeItsChannels) {
  PutBankFile("bank05.dat", "FM", {"145.5"});
  // Given up after the letter, with another key: nothing reaches the receiver.
  Type("W05AX");
  EXPECT_THAT(Commands(), IsEmpty());

  // A bank "file" that cannot be read (a folder): the listener hears why,
  // and the receiver's bank is left alone.
  program.files.files["bank06.dat"] = "";
  program.files.unreadable.insert("bank06.dat");
  Type("W06B\r");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_EQ(Spoken().back(), "bnf");

  Forget();
  Type("W05A\r");
  Strings toReceiver;
  for (const std::string& event : trace) {
    if (event.starts_with("TX ") || event == "wait") toReceiver.push_back(event);
  }
  // Then W reads the bank back to check it.
  EXPECT_THAT(toReceiver,
              ElementsAre("wait", "TX MQA%%", "TX MXA00 RF0145500000 ST012500 MD1 TM            ",
                          "TX MAA"));
}

TEST_F(ReceiverAway, TransferSkipsAndCountsChannelsTheReceiverCannotStoreAndBlanksControlBytes) {
  const std::string tooLong(254, '1');
  std::string bank = "bank05\r\nFM\r\n12.5\r\n \r\n";
  const Strings frequencies = {
      "145.5",           "abc", "1e3", "3000", "0.05", "145.5.1", "", tooLong,
      "0000145.1234567", ".1",  "2040"};
  for (const std::string& frequency : frequencies) bank += frequency + "\r\n \r\n";
  bank += std::string("118.1\r\nTow\x11") + "er" + '\x13' + '\0' + "X\r\n9999\r\n";
  program.files.files["bank05.dat"] = bank;
  Type("W05A\r");
  EXPECT_THAT(Sent("MX"), ElementsAre("MXA00 RF0145500000 ST012500 MD1 TM            ",
                                      "MXA01 RF0145123457 ST012500 MD1 TM            ",
                                      "MXA02 RF0000100000 ST012500 MD1 TM            ",
                                      "MXA03 RF2040000000 ST012500 MD1 TM            ",
                                      "MXA04 RF0118100000 ST012500 MD1 TMTow er  X   "));
  // After the read-back's verdict, never left bare: seven channels were left out.
  const Strings spoken = Spoken();
  EXPECT_THAT(Strings(spoken.end() - 2, spoken.end()), ElementsAre("skipped", "7"));
}

TEST_F(ReceiverAway, TransferOfMoreThanTheReceiverBankHoldsSaysHowManyWentOver) {
  Strings frequencies;
  for (int i = 0; i < 97; ++i) frequencies.push_back(std::to_string(140 + i) + ".5");
  PutBankFile("bank05.dat", "FM", frequencies);
  Type("W05A\r");
  const Strings written = Sent("MX");
  ASSERT_EQ(written.size(), 91u);
  EXPECT_EQ(written.back().substr(0, 18), "MXA90 RF0230500000");
  const Strings spoken = Spoken();
  EXPECT_THAT(Strings(spoken.end() - 2, spoken.end()), ElementsAre("over", "6"));
}

TEST_F(ReceiverAway, ReceiverGoneMidTransferStopsItAndSaysHowManyChannelsItGot) {
  PutBankFile("bank05.dat", "FM", Strings(20, "145.5"));
  int channels = 0;
  program.line.responder = [&](const std::string& command) -> std::string {
    if (command.starts_with("MX") && ++channels == 12) program.line.hungUp = true;
    return "\r\n";
  };
  Type("W05A\r");
  EXPECT_EQ(Sent("MX").size(), 12u);
  const Strings spoken = Spoken();
  EXPECT_THAT(Strings(spoken.end() - 4, spoken.end()), ElementsAre("rnc", "written", "1", "2"));
  EXPECT_TRUE(ctx.link.receiverLost);
}

TEST_F(ReceiverAway, CheckDropsLateAnswersBeforeEachQuestion) {
  for (char bank = 'A'; bank <= 'J'; ++bank) {
    const std::string letter(1, bank);
    answers["MW" + letter] = "MW " + letter + ":90 x:10\r\n";
  }
  // An answer left from an earlier, slower question says bank A is 50/50.
  program.line.Answer("MW A:50 a:50\r\n");
  Press('Z');
  EXPECT_THAT(Sent("MWA"), ElementsAre("MWA"));
  EXPECT_THAT(Spoken(), ElementsAre("ckconfig", "ok"));
}

}  // namespace
}  // namespace voxrig::testing
