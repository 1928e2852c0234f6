// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the panel is doing, one enum a thing it can be busy with. Each value
// names a state the listener can be in; the poll cycle, the interpreter and
// Enter move between them.
namespace voxrig {

// The step the poll cycle takes on the next timer tick. An idle panel runs
// kIdle, kSendLevelPoll, kReadLevel and back to kIdle, a tick each: the level
// goes out every 300 ms. A stop of the receiver's memory scan adds the two
// held-channel steps; a stop of the program's search asks where it stopped
// until the receiver says.
enum class PollStep {
  kIdle,                    // no cycle runs: a waiting key may be taken
  kSendLevelPoll,           // "LM" goes out
  kReadLevel,               // the level is read, the meter redrawn, the status decided
  kAskWhereSearchStopped,   // "RX" goes out
  kReadWhereSearchStopped,  // the answer is read, shown and logged
  kSettleOnHeldChannel,     // one tick for the receiver to settle
  kShowHeldChannel,         // where the receiver's memory scan holds is shown; "MR" goes out
  kReadHeldChannel,         // the held channel and its name are read and said
};

// Whether the receiver has answered since the panel connected.
enum class ReceiverAnswer {
  // Nothing yet: keys wait a little for the first answer; once that wait is
  // over the receiver counts as away, and the poll cycle keeps asking it.
  kAwaitingFirst,
  kReceived,  // the receiver is there (it may have gone away since)
};

// What the link found out about the receiver during its last call, for the
// listener to be told: the link itself says and shows nothing.
enum class LinkNews {
  kNone,
  kAnswered,       // its first answer since the connect
  kBack,           // an answer after it went away, or after the start-up's wait
  kLost,           // the receiver that had answered has gone away
  kNoFirstAnswer,  // the start-up's wait for its first answer is over in silence
};

// What the receiver is given once it answers, before anything else reaches
// it.
enum class StateOwed {
  kNothing,
  kKnownState,  // its first answer: the connect's known state, spoken
  kShownState,  // back after a loss: the state the panel shows, restored
};

// The receiver's own memory scan ("MS").
enum class ReceiverScan {
  kOff,
  kStarted,   // sent; the poll cycle has not shown it scanning yet
  kScanning,  // the SCANNING line is shown
  kStopped,   // held on a signal: the STOPPED line is shown
};

// The program's own scan through the selected bank's channels.
enum class BankScan {
  kOff,           // no bank selected
  kBankSelected,  // a bank is selected (B): the arrows step its channels
  kStarted,       // R started the scan; the poll cycle tunes the channels
  kScanning,      // the SCANNING line is shown
  kStopped,       // held on a channel with a signal
};

// The program's search: the receiver sweeps between the limits and every
// signal it stops on goes into the search log.
enum class Search {
  kOff,
  kSearching,  // the receiver sweeps
  kStopped,    // it has stopped on a signal
};

// What a search does when it stops on a signal; the search line shows "STOP"
// or "CONT".
enum class StopMode {
  kContinue,  // it goes on by itself after a short rest
  kStop,      // it waits for the listener
};

// The key sequence the interpreter has in progress: the key that started it,
// waiting for its digits or letter and Enter.
enum class PendingCommand {
  kNone,
  kLowerLimit,       // S
  kUpperLimit,       // E
  kStep,             // I
  kTransfer,         // T
  kPut,              // P
  kSort,             // O
  kSelectBank,       // B
  kMemoryScan,       // G
  kWriteToReceiver,  // W
  kDeleteBank,       // D
  kKillChannel,      // K
  kReadReceiver,     // X
};

// The scan steps the receiver through the bank, whether it hears something
// or not; a bank merely selected does not move.
inline bool BankScanRuns(BankScan state) {
  return state == BankScan::kStarted || state == BankScan::kScanning || state == BankScan::kStopped;
}

// S, E and I: a search limit or the step is being typed.
inline bool TypesSearchLimit(PendingCommand command) {
  return command == PendingCommand::kLowerLimit || command == PendingCommand::kUpperLimit ||
         command == PendingCommand::kStep;
}

}  // namespace voxrig
