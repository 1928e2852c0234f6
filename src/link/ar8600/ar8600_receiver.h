// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/receiver.h"
#include "platform/serial_device.h"

namespace voxrig {

// The AR8600 on its serial line, in its own command language: every command
// the panel sends it is built here, and every answer it gives is read here.
// Commands end in CR; the receiver's answers carry no end mark that can be
// trusted, so each is recognised by its keyword.
//
// Nothing here waits: a question is written by its Ask… call, and Take…
// reads what has arrived when it is called (the panel calls it a tick or a
// pause later).
class Ar8600Receiver : public Receiver {
 public:
  // `device` reads without waiting; null while no line is open, when every
  // command is still logged but goes nowhere and nothing is ever read.
  explicit Ar8600Receiver(std::unique_ptr<SerialDevice> device);

  const ReceiverCapabilities& Capabilities() const override;
  void SetWireLog(OutputFile* log) override { log_ = log; }

  RadioResult SetFrequency(Vfo vfo, const std::string& megahertz) override;
  RadioResult SetStep(const std::string& kilohertz) override;
  RadioResult SelectMode(Mode mode) override;
  RadioResult SetAttenuator(bool on) override;
  RadioResult SetNoiseLimiter(bool on) override;

  RadioResult AskReception() override;
  std::optional<Reception> TakeReception() override;
  RadioResult AskReceiveState() override;
  std::optional<ReceiveState> TakeReceiveState() override;
  RadioResult ReportLevelChanges() override;

  RadioResult StartSearch() override;
  RadioResult GoOn() override;

  RadioResult StartMemoryScan(const std::string& banks) override;
  RadioResult RestartMemoryScan() override;
  RadioResult AskCurrentChannel() override;
  // Also takes the channel a memory scan rests on from the answer to
  // AskReceiveState ("MS MXA05 ..."), which names it the same way.
  std::optional<MemoryChannel> TakeCurrentChannel() override;
  RadioResult RecallChannel(char bank, int channel) override;
  RadioResult PassChannel(bool pass) override;
  RadioResult AskBankChannels(char bank, bool first) override;
  std::optional<BankBatch> TakeBankChannels(char bank) override;
  RadioResult WriteChannel(char bank, int channel, const std::string& megahertz,
                           const std::string& stepKilohertz, const std::string& modeText,
                           const std::string& name) override;
  RadioResult ClearBank(char bank) override;
  RadioResult AskBankSize(char bank) override;
  std::optional<BankSize> TakeBankSize(char bank) override;
  RadioResult SetBankSizeNinety(char bank) override;

  bool AnswerWaiting() override;
  // Reads ahead what has arrived, and keeps it for the next read: true once
  // the receiver has ended a line for each command sent since the last read
  // (every reply ends in CR LF), and no line is half come.
  bool WholeAnswerWaiting() override;
  void DropLateAnswers() override;
  bool LineGone() override;
  bool Answered() override;

  RadioResult ExitRemote() override;

  // The line itself, for a look at the radio behind it past the panel's
  // calls; null while none is open.
  SerialDevice* Line() { return device_.get(); }

 private:
  RadioResult Send(const std::string& command);
  RadioResult WriteBytes(const std::string& bytes);
  // One read of what has arrived, at most a read's worth; empty when nothing
  // waits.
  std::string ReadOnce();
  // Everything that has arrived, read by reads until none waits (bounded).
  std::string ReadEverything();
  // The first answer the panel knows by its keyword among what has arrived,
  // cut to that answer's length.
  std::optional<std::string> TakeKnownAnswer();
  // An answer accepted: logged "RX= " and counted as heard.
  void Accept(const std::string& answer);
  void Log(const std::string& prefix, const std::string& text);

  std::unique_ptr<SerialDevice> device_;
  // Bytes WholeAnswerWaiting read ahead, at most a read's worth, which the
  // next read returns first.
  std::string readAhead_;
  // Commands sent since the last read: each has a line to come.
  int linesOwed_ = 0;
  OutputFile* log_ = nullptr;
  bool answered_ = false;
  // A bank read in progress: bytes of a line not ended yet, and the lines of
  // the batch so far.
  std::string bankBytes_;
  std::vector<std::string> bankLines_;
};

}  // namespace voxrig
