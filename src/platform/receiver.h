// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/radio_mode.h"

namespace voxrig {

// How a call to the radio ended. A call never waits for an answer: a
// question is asked by one call and its answer taken by another, a tick or a
// pause later, so the panel goes on between the two.
enum class RadioResult {
  kDone,            // the radio has the command (for the AR8600: the line took every byte)
  kRefused,         // the radio answered that it cannot do it
  kNotOnThisRadio,  // the radio has no such thing; nothing was sent
  kNoAnswer,        // the question has no answer yet, or never got one
  kLineGone,        // the line hung up or a write failed: the radio is away
};

enum class Vfo { kA, kB };

// A span of frequencies the radio receives, both ends included.
struct FrequencyRange {
  std::int64_t lowestHz = 0;
  std::int64_t highestHz = 0;
};

// The radio's memory channels as the panel lays them out: banks lettered
// from A, each of `channelsPerBank` channels numbered from 00.
struct MemoryCapabilities {
  bool read = false;    // X reads a bank into a bank file
  bool write = false;   // W writes a bank file into a bank (and can clear it)
  bool scan = false;    // G starts the radio's memory scan over them
  bool resize = false;  // Z gives each bank 90 channels of its pair
  // The bank letters the memories reach ("ABCDEFGHIJ" on the AR8600, "A"
  // on a radio of 19 memories), and the channels of each.
  std::string banks;
  int channelsPerBank = 0;
};

// What the radio can do, read once when it is chosen and kept for the run.
// Everything the panel offers is checked against it before a command is
// built, so a key the radio cannot carry out says so and sends nothing.
struct ReceiverCapabilities {
  // As `rigctld -m <model>` would name the radio to a network client.
  std::string maker;
  std::string modelName;
  int hamlibModel = 0;
  std::vector<FrequencyRange> receiveRanges;
  // The finest the radio tunes; frequencies are rounded to it before they
  // are sent.
  std::int64_t tuningResolutionHz = 1;
  std::vector<Mode> modes;
  bool attenuator = false;
  bool noiseLimiter = false;
  // The radio sweeps between VFO A and VFO B by itself once asked to; the
  // panel steps it through the range otherwise.
  bool searchesByItself = false;
  MemoryCapabilities memories;

  bool Receives(std::int64_t hz) const {
    for (const FrequencyRange& range : receiveRanges) {
      if (hz >= range.lowestHz && hz <= range.highestHz) return true;
    }
    return false;
  }
  bool HasMode(Mode mode) const {
    for (const Mode m : modes) {
      if (m == mode) return true;
    }
    return false;
  }
  bool HasBank(char bank) const { return memories.banks.find(bank) != std::string::npos; }
};

// A frequency the radio reported, in the panel's own texts: the digits as
// the tuning keeps them and the text it shows and logs.
struct HeardFrequency {
  std::string digits;
  std::string text;
  std::int64_t hz = 0;
};

// The answer to a level question: whether the squelch is open and how
// strong the signal is, and where a running scan or search holds when the
// radio says so.
struct Reception {
  bool squelchOpen = false;
  int level = 0;  // 0 to 255, the AR8600's own figure
  std::optional<HeardFrequency> holdsAt;
  // The radio sent it by itself, as ReportLevelChanges asked, rather than as
  // the answer to AskReception: the meter reads such a report ten higher.
  bool reportedOnChange = false;
};

// One memory channel as the radio holds it; `empty` for a channel with
// nothing stored.
struct MemoryChannel {
  bool empty = false;
  char bank = 'A';
  int channel = 0;
  std::int64_t hz = 0;
  std::int64_t stepHz = 0;
  // The mode the panel hears it in; nothing for a mode the panel has no key
  // for. `receiverModeCode` keeps the AR8600's own digit (0 to 8) for bank
  // files that record it.
  std::optional<Mode> mode;
  int receiverModeCode = 0;
  bool automaticMode = false;
  std::string name;
};

// Where the radio is and how it is set, as it reports it (the AR8600's
// answer to "RX"). A part it did not report is left empty.
struct ReceiveState {
  std::optional<HeardFrequency> frequency;
  std::optional<std::int64_t> stepHz;
  std::optional<Mode> mode;  // Mode::kAUT when the radio picks the mode by band
  std::optional<bool> attenuatorOn;
  // The memory channel it rests on during a memory scan or after a recall.
  std::optional<MemoryChannel> channel;
};

// One batch of a bank read: up to ten channels, or the bank's end.
struct BankBatch {
  std::vector<MemoryChannel> channels;
  bool end = false;  // past the bank's last channel (the AR8600's "?")
  // A line came that is no channel of the bank (cut short, another bank's):
  // the read cannot be trusted, and nothing of it may reach a bank file.
  bool garbled = false;
};

// A bank's share of its pair of banks, as the radio reports it.
struct BankSize {
  char bank = 'A';
  int channels = 0;
};

// The panel's radio, in the panel's own words. The AR8600 on its own line
// and a radio driven through Hamlib are its two implementations; nothing
// above the link builds or reads a radio's own commands.
//
// Sets return at once; questions are Ask…, and their answers are Take…,
// which returns nothing while no answer has come (the AR8600 answers within a
// tick on its line).
class Receiver {
 public:
  virtual ~Receiver() = default;

  virtual const ReceiverCapabilities& Capabilities() const = 0;
  // The exchange on the wire, as lines "TX= ..." and "RX= ...", written to
  // `log` while it is set (the debug log); null writes none.
  virtual void SetWireLog(OutputFile* log) = 0;

  // Tuning. A frequency is decimal megahertz as the panel keeps it ("145.5"),
  // on the radio's resolution and within its ranges; a step is decimal
  // kilohertz ("12.5").
  virtual RadioResult SetFrequency(Vfo vfo, const std::string& megahertz) = 0;
  virtual RadioResult SetStep(const std::string& kilohertz) = 0;
  virtual RadioResult SelectMode(Mode mode) = 0;
  virtual RadioResult SetAttenuator(bool on) = 0;
  virtual RadioResult SetNoiseLimiter(bool on) = 0;

  // What is heard: the level poll.
  virtual RadioResult AskReception() = 0;
  virtual std::optional<Reception> TakeReception() = 0;
  // Where the radio is and how it is set.
  virtual RadioResult AskReceiveState() = 0;
  virtual std::optional<ReceiveState> TakeReceiveState() = 0;
  // Level reports whenever what is heard changes, so a scan's rests and
  // moves are seen by the next level question.
  virtual RadioResult ReportLevelChanges() = 0;

  // The search between VFO A and VFO B by the step, and going on after a
  // rest (a search or a memory scan resting on a signal goes on).
  virtual RadioResult StartSearch() = 0;
  virtual RadioResult GoOn() = 0;

  // The memories. `bank` is a letter of Capabilities().memories.banks; an
  // empty one scans every bank.
  virtual RadioResult StartMemoryScan(const std::string& banks) = 0;
  virtual RadioResult RestartMemoryScan() = 0;
  virtual RadioResult AskCurrentChannel() = 0;
  virtual std::optional<MemoryChannel> TakeCurrentChannel() = 0;
  virtual RadioResult RecallChannel(char bank, int channel) = 0;
  // Passes the current channel in scans, or takes it back into them.
  virtual RadioResult PassChannel(bool pass) = 0;
  // A bank is read in batches: the first asks from its channel 00, each next
  // the ten after.
  virtual RadioResult AskBankChannels(char bank, bool first) = 0;
  virtual std::optional<BankBatch> TakeBankChannels(char bank) = 0;
  // Writes one channel; the frequency as StorableChannelFrequency gives it,
  // the step and mode as a bank file keeps them ("12.5", "FM").
  virtual RadioResult WriteChannel(char bank, int channel, const std::string& megahertz,
                                   const std::string& stepKilohertz, const std::string& modeText,
                                   const std::string& name) = 0;
  // CLEARS every channel of the bank.
  virtual RadioResult ClearBank(char bank) = 0;
  virtual RadioResult AskBankSize(char bank) = 0;
  virtual std::optional<BankSize> TakeBankSize(char bank) = 0;
  virtual RadioResult SetBankSizeNinety(char bank) = 0;

  // The line: whether an answer has arrived and not been taken; answers
  // nobody asks for any more are dropped, so the next one taken belongs to
  // the next question; whether the line has gone.
  virtual bool AnswerWaiting() = 0;
  // Whether a whole answer has arrived and not been taken (for a line, one
  // that has ended), so it can be read the moment it has come.
  virtual bool WholeAnswerWaiting() { return AnswerWaiting(); }
  virtual void DropLateAnswers() = 0;
  virtual bool LineGone() = 0;
  // Whether the radio has answered anything since this was last asked, an
  // answer to another question or one that came late included: a radio that
  // answers is there, whatever it answered.
  virtual bool Answered() { return false; }

  // A radio whose calls are carried out beside the panel's loop: its calls
  // return at once, before the radio has done them. Whether it is one;
  // whether some are still
  // under way; whether one of those that have ended was refused since this
  // was last asked (the panel learns so when they end, not when it calls).
  virtual bool CallsEndBesideTheLoop() const { return false; }
  virtual bool CallsOutstanding() { return false; }
  virtual bool LateRefusal() { return false; }
  // One step of a search or memory scan that the panel sweeps for a radio
  // without its own, for a caller that steps it as fast as the radio
  // answers; false when none is sweeping (a radio that sweeps by itself, or
  // rests on a signal).
  virtual bool SweepAStep() { return false; }

  // Hands the radio back to its own front panel.
  virtual RadioResult ExitRemote() = 0;
};

}  // namespace voxrig
