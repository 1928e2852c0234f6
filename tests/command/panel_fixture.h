#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "command/interpreter.h"
#include "core/context.h"
#include "fakes/test_program.h"

namespace voxrig::testing {

// A panel as it stands after connecting to a receiver that has answered: the
// known state of the connect sequence, the port open on the fake line, and a
// receiver that answers every command with an empty line unless a test gives
// it another answer. Keys are handled as the timer hands them over: the key,
// then its separator.
class PanelFixture : public ::testing::Test {
 protected:
  PanelFixture() {
    program.AttachReceiver();
    ctx.app.programRunning = 1;
    ctx.link.linkState = ReceiverAnswer::kReceived;
    ctx.link.statusLine = ">";
    ctx.tuning.frequencyText = "145.0";
    ctx.tuning.frequencyDigits = "145";
    ctx.tuning.searchLowerText = "145";
    ctx.tuning.searchUpperText = "146";
    ctx.tuning.searchStepText = "12.5";
    ctx.tuning.modeText = "FM";
    ctx.command.frequencyEntryFresh = 1;
    program.line.responder = [this](const std::string& command) {
      trace.push_back("TX " + command);
      const auto answer = answers.find(command);
      if (answer != answers.end()) return answer->second;
      return silent ? std::string() : std::string("\r\n");
    };
    program.sound.OnPlayed([this](const std::string& name) { trace.push_back(name); });
  }

  // One key press: the key and its separator, each taken on its own tick.
  void Press(int key) {
    PanelState& panel = ctx.panel;
    panel.keyQueue[static_cast<std::size_t>(panel.keyQueueCount++)] = key;
    panel.keyQueue[static_cast<std::size_t>(panel.keyQueueCount++)] = 0;
    InterpretKey(ctx);
    InterpretKey(ctx);
  }

  // Keys named by characters: digits, capital letters, "." for the
  // full-stop key, "\r" for Enter and " " for Space.
  void Type(std::string_view keys) {
    for (char c : keys) {
      if (c == '.') {
        Press(190);
      } else {
        Press(static_cast<unsigned char>(c));
      }
    }
  }

  std::vector<std::string> Heard() const { return program.Heard(); }
  std::vector<std::string> Commands() const { return program.Commands(); }

  // Forgets what was sent, heard, drawn and traced so far.
  void Forget() {
    program.ClearRecords();
    trace.clear();
  }

  // A bank file as the program writes it: header, channels (frequency and a
  // blank tag), terminator.
  void PutBankFile(const std::string& name, const std::string& mode,
                   const std::vector<std::string>& frequencies) {
    std::string bytes = "bank" + name.substr(4, 2) + "\r\n" + mode + "\r\n12.5\r\n \r\n";
    for (const std::string& frequency : frequencies) bytes += frequency + "\r\n \r\n";
    bytes += "9999\r\n";
    program.files.files[name] = bytes;
  }

  // Puts a bank straight into memory, selected by hand on its first channel.
  void SelectInMemory(const std::vector<std::string>& frequencies) {
    BankState& banks = ctx.banks;
    banks.bankSlots = {};
    banks.bankSlots[0] = "bank05";
    banks.bankSlots[1] = "FM";
    banks.bankSlots[2] = "12.5";
    banks.bankSlots[3] = " ";
    std::size_t slot = 4;
    for (const std::string& frequency : frequencies) {
      banks.bankSlots[slot] = frequency;
      banks.bankSlots[slot + 1] = " ";
      slot += 2;
    }
    banks.bankSlots[slot] = "9999";
    banks.bankLastSlot = static_cast<int>(slot) - 2;
    banks.bankScanIndex = 4;
    banks.bankFileName = "bank05.dat";
    ctx.link.bankScanState = BankScan::kBankSelected;
  }

  fakes::TestProgram program;
  Context& ctx = program.ctx;
  // Prompts heard and commands sent ("TX " + command), in the order they
  // happened.
  std::vector<std::string> trace;
  // Answers of the fake receiver by command (without its CR).
  std::map<std::string, std::string> answers;
  // A receiver that answers nothing at all.
  bool silent = false;
};

}  // namespace voxrig::testing
