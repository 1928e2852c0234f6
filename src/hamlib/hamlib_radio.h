// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <hamlib/rig.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hamlib/hamlib_memories.h"
#include "platform/receiver.h"

namespace voxrig {

// A radio driven through Hamlib, as the panel's Receiver: each call is
// carried out at once with Hamlib's calls, and a question's answer is kept
// until the panel takes it.
//
// What most radios cannot be asked to do is done here: the search between
// VFO A and VFO B by the step (on a radio without a search of its own) steps
// the radio on at each level question and listens (Hamlib's carrier detect,
// or the strength against the squelch) until a signal holds it, and goes on
// once asked or once the signal has gone; the memory scan does the same over
// the channels of its banks that are not passed.
//
// A hard Hamlib error (the port failed, the radio stopped answering, an
// answer it could not read) counts as the line gone: the panel says the
// receiver is lost and opens the radio again, as with the AR8600.
class HamlibRadio : public Receiver {
 public:
  // Takes an open radio and what it can do (normally the model's own
  // record). `heldDevice`: the descriptor that holds the radio's serial
  // device for this program, let go when the radio closes; -1 for a radio
  // on no serial port.
  HamlibRadio(s_rig* rig, ReceiverCapabilities capabilities, int heldDevice = -1);
  ~HamlibRadio() override;
  HamlibRadio(const HamlibRadio&) = delete;
  HamlibRadio& operator=(const HamlibRadio&) = delete;

  const ReceiverCapabilities& Capabilities() const override { return capabilities_; }
  void SetWireLog(OutputFile* log) override { wireLog_ = log; }

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
  void DropLateAnswers() override;
  bool LineGone() override { return gone_; }
  // One step of the search or memory scan this class sweeps: listens where
  // the radio is tuned, rests there on a signal, and steps on otherwise.
  // Once stepped this way, a level question only listens.
  bool SweepAStep() override;

  RadioResult ExitRemote() override;

 private:
  // Who moves the radio while a search or scan runs: nobody, the radio's
  // own VFO search, or this class, stepping it at each level question.
  enum class Sweep { kOff, kRadiosOwn, kStepping, kResting };
  enum class SweepOver { kVfo, kMemories };
  struct MemoryPlace {
    char bank = 'A';
    int slot = 0;
    StoredChannel channel;
  };

  // The outcome of a Hamlib call: a hard failure also marks the line gone.
  RadioResult Check(int result);
  // Like Check, for a channel call: a hard failure counts as the line gone
  // only when the radio then fails to tell its frequency as well.
  RadioResult CheckChannelCall(int result);
  RadioResult Tune(std::int64_t hz);
  void LogCall(const std::string& call, RadioResult result);
  // The squelch and level where the radio is tuned now.
  RadioResult Listen(bool& open, int& level);
  RadioResult StepSweep();
  // Ends the radio's own search, if it runs: the panel moves the radio now.
  void StopRadiosSearch();
  // Where the radio is tuned, in the panel's texts; nothing when it does
  // not say.
  std::optional<HeardFrequency> TunedFrequency();

  // The memories (hamlib_radio_memory.cpp).
  MemoryChannel ChannelOf(char bank, int slot, const StoredChannel& stored) const;
  RadioResult TuneToChannel(const MemoryPlace& place);
  RadioResult StepMemoryScan();
  // Scans the banks' channels that are not passed, from the first after
  // `after` (from the first channel without one).
  RadioResult ScanBanks(const std::string& banks, const std::optional<MemoryPlace>& after);
  // The bank is one the radio has, and so is the channel (when given).
  bool HasChannel(char bank, int slot = 0) const;

  s_rig* rig_;
  ReceiverCapabilities capabilities_;
  int heldDevice_;
  OutputFile* wireLog_ = nullptr;
  bool gone_ = false;
  bool rawIsMeterFigure_ = false;
  setting_t noiseLimiter_ = 0;
  int attenuatorDecibels_ = 0;

  std::int64_t vfoA_ = 0;
  std::int64_t vfoB_ = 0;
  std::int64_t stepHz_ = 12500;
  std::optional<Mode> mode_;
  bool attenuatorOn_ = false;
  bool reportLevelChanges_ = false;
  Sweep sweep_ = Sweep::kOff;
  SweepOver sweepOver_ = SweepOver::kVfo;
  std::int64_t sweepAt_ = 0;
  // A caller steps the sweep between questions (SweepAStep).
  bool steppedBeside_ = false;

  // The answers asked for and not yet taken.
  std::optional<Reception> reception_;
  std::optional<ReceiveState> receiveState_;
  std::optional<MemoryChannel> currentChannel_;
  std::optional<BankBatch> bankBatch_;
  std::optional<BankSize> bankSize_;

  HamlibMemories memories_;
  // The channel the radio was tuned to by a recall or the memory scan; none
  // once a VFO is tuned.
  std::optional<MemoryPlace> onChannel_;
  // The channels the memory scan visits, in bank order, and the banks it
  // was started over.
  std::vector<MemoryPlace> scanList_;
  std::string scanBanks_;
  // The next channel a bank read gives.
  int readNext_ = 0;
};

}  // namespace voxrig
