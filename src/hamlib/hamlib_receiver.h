// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hamlib/hamlib_memories.h"
#include "hamlib/hamlib_vocabulary.h"
#include "platform/hamlib_opener.h"
#include "platform/serial_device.h"

struct s_rig;

namespace voxrig {

// A radio driven through Hamlib, presented to the panel in the AR8600's own
// command vocabulary.
//
// Why: every feature of the panel (tuning, modes, the meter, the search and
// its log, the bank scan, the network control) speaks the receiver's commands
// through one link and reads the receiver's answers. Translating that one
// vocabulary here, under the link, lets all of them work on any radio Hamlib
// drives without a second set of features, and leaves the AR8600's own link
// untouched, byte for byte.
//
// The panel's command lines (ended by CR) are carried out with Hamlib calls
// and answered as the AR8600 answers: an empty line for a set, "LM" with the
// squelch and level, "VA RF..." for the receive state, "?" for a command the
// radio cannot carry out (a mode it lacks, no attenuator, no noise limiter,
// the AR8600's automatic mode and the resizing of its banks). The AR8600's
// memory commands (MX, MA, MQ, MW, MR, MP, MS) work on the radio's memory
// channels through Hamlib's channel calls, laid out as banks (see
// HamlibMemories), on a radio that has them. The AR8600's VFO
// search ("VS" between VFO A and VFO B by the step) is done here, since most
// radios have none that could be steered: each level poll steps the radio on
// and listens (Hamlib's carrier detect, or the strength against the squelch)
// until a signal holds it, reports it as the receiver would, and goes on
// after the resume byte or once the signal has gone. Its memory scan is done
// the same way, over the bank's channels that are not passed.
//
// A hard Hamlib error (the port failed, the radio stopped answering, an
// answer it could not read) counts as the line gone: the panel says the
// receiver is lost and opens the radio again by its name, as with the AR8600.
class HamlibReceiver : public SerialDevice {
 public:
  // Takes an open radio; `rawIsMeterFigure`: the radio's raw level is the
  // AR8600's own 0-255 figure (the AOR receivers), shown as it comes.
  // `heldDevice`: the descriptor that holds the radio's serial device for
  // this program (see HoldSerialDevice), let go when the radio closes; -1
  // for a radio on no serial port.
  HamlibReceiver(s_rig* rig, bool rawIsMeterFigure, int heldDevice = -1);
  ~HamlibReceiver() override;
  HamlibReceiver(const HamlibReceiver&) = delete;
  HamlibReceiver& operator=(const HamlibReceiver&) = delete;

  void SetReadTimeouts(int) override {}
  bool SetLineFormat(int, int, int) override { return true; }
  int Write(const char* bytes, int count) override;
  int Read(char* buffer, int maximum) override;
  int BytesWaiting() override { return static_cast<int>(answers_.size()); }
  bool LineGone() override { return gone_; }
  bool Carries(const std::string& command) override;

 private:
  enum class Sweep { kOff, kSweeping, kResting };
  // What the sweep steps over: the frequencies between VFO A and VFO B, or
  // the channels of a memory bank.
  enum class SweepOver { kVfo, kMemories };
  struct MemoryPlace {
    char bank = 'A';
    int slot = 0;
    hamlib_vocabulary::MemoryChannel channel;
  };

  void Execute(const std::string& command);
  // VA, VB: a frequency given is stored (and VA tunes there); none tunes to it.
  void ExecuteVfo(const std::string& head, const std::string& rest);
  // AT, NL: switched on or off, or asked.
  void ExecuteSwitch(const std::string& head, const std::string& rest);
  void Answer(const std::string& line) { answers_ += line + "\r\n"; }
  // The answer to a level poll, after the level report it brings about.
  void AnswerHeard(bool open, int level);

  // Like Check, for a channel call: a hard failure counts as the line gone
  // only when the radio then fails to answer as well.
  bool CheckChannelCall(int result);
  // The memory commands (hamlib_receiver_memory.cpp); false for any other.
  bool ExecuteMemory(const std::string& command);
  bool CarriesMemory(const std::string& command) const;
  void AnswerChannelBatch();
  void ClearBank(char bank);
  void RecallChannel(char bank, int slot);
  void SetPassFlag(bool passed);
  void StartMemoryScan(char bank, int afterSlot);
  // Tunes the radio to a channel's frequency and mode.
  bool TuneToChannel(const MemoryPlace& place);
  void StepMemoryScan();
  std::string SourceTag() const;
  // False after a failed call; a hard failure also marks the line gone.
  bool Check(int result);
  bool Tune(long long hz);
  void SetMode(int modeCode);
  void AnswerLevel();
  void AnswerReceiveState();
  void Resume();
  // The squelch and level where the radio is tuned now.
  bool Listen(bool& open, int& level);
  void StepSweep();
  bool HasAttenuator() const;
  unsigned long NoiseLimiterFunction() const;

  s_rig* rig_;
  bool rawIsMeterFigure_;
  int heldDevice_;
  std::string pending_;  // written, not yet ended by CR
  std::string answers_;  // answered, not yet read
  bool gone_ = false;
  long long vfoA_ = 0;
  long long vfoB_ = 0;
  long long stepHz_ = 12500;
  int modeCode_ = 1;
  bool attenuatorOn_ = false;
  bool noiseLimiterOn_ = false;
  Sweep sweep_ = Sweep::kOff;
  SweepOver sweepOver_ = SweepOver::kVfo;
  long long sweepAt_ = 0;

  HamlibMemories memories_;
  // The channel the radio was tuned to by a recall or the memory scan; none
  // once a VFO is tuned.
  std::optional<MemoryPlace> onChannel_;
  // The channels the memory scan visits, in bank order.
  std::vector<MemoryPlace> scanList_;
  // The bank "MA" reads and the next channel it gives.
  char readBank_ = 0;
  int readNext_ = 0;
  // "LC1": a level report line whenever what is heard changes; "LC2" at
  // every poll.
  int levelReporting_ = 0;
  std::string lastReport_;
};

}  // namespace voxrig
