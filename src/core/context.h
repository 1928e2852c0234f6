// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/bounded_text.h"
#include "core/panel_states.h"
#include "core/steps.h"
#include "core/version.h"
#include "platform/net_socket.h"
#include "platform/platform.h"
#include "platform/receiver.h"
#include "platform/stopwatch.h"

namespace voxrig {

// Everything the panel keeps for the whole run lives here, grouped by the
// subsystem that owns it. Procedures are functions over one Context, so a test
// can build a whole program around fake services and two programs can run in
// one process.

// Start-up, configuration and shutdown.
struct AppState {
  bool programRunning = false;
  BoundedText versionText = kVersionText;
  BoundedText bannerText;
  BoundedText authorText;
  BoundedText voicePrefix = "wave\\";
  BoundedText waveFolder = "wave\\";
  BoundedText portSetting;
  BoundedText speedSetting;
  BoundedText radioSetting;
  bool voiceEnabled = false;
  bool debugEnabled = false;
  // speech-dispatcher was asked for and could not be reached: the panel
  // speaks with its recorded prompts, and says so once it has started.
  bool speechServerUnreachable = false;
  // The receiver's write count when the loop handed the interpreter its
  // last key: a key that wrote nothing has no answer to wait for.
  long long writesBeforeKey = 0;
};

// What the listener hears.
struct SpeechState {
  // Every readout is heard to its end: a key never cuts speech short
  // (--whole-readouts).
  bool wholeReadouts = false;
  // A channel's name is said after its number (NAMES=0 in VOXRIG.CFG, or
  // --no-names, keeps names silent).
  bool namesSpoken = true;
};

// The event handler and key queue, and the debug log.
struct PanelState {
  static constexpr int kQueueSize = 20;
  static constexpr int kNoKey = 999;
  std::array<std::int32_t, kQueueSize> keyQueue{};
  int keyQueueCount = 0;
  int currentKey = kNoKey;
  // A key has been refused for a full queue since the queue was last empty:
  // the listener has heard "invalid" for this run of refusals.
  bool refusalTold = false;
  // Q was pressed while the queue was full: it is taken, after the keys
  // queued before it, as soon as the queue has room.
  bool quitWaiting = false;
  // The frequency line has been drawn since the interpreter last took a key:
  // a search limit or step being typed then starts afresh.
  bool frequencyShown = false;
  std::unique_ptr<OutputFile> debugFile;
  BoundedText logLine;
};

// One slot of the serial port table: the device open on that port number.
struct PortSlots {
  static constexpr int kPortCount = 256;
  std::array<std::unique_ptr<SerialDevice>, kPortCount + 1> device;  // slot 0 unused
};

// The receiver link: port, framing and connect.
struct LinkState {
  PortSlots ports;
  // What the radio on the receiver's port can do, once it is chosen; the
  // AR8600's until then (see RadioCapabilities).
  std::optional<ReceiverCapabilities> capabilities;
  // The radio the panel drives, on its open line; none while no line is open.
  std::unique_ptr<Receiver> receiver;
  BoundedText statusLine;
  ReceiverAnswer linkState = ReceiverAnswer::kAwaitingFirst;
  // What the link's last call found out, written by the link alone and
  // told by the floor above right after the call.
  LinkNews news = LinkNews::kNone;
  int comPort = 0;
  // A device path given in the configuration (PORT=/dev/serial/by-id/...):
  // the receiver's port opens that device instead of the COM name.
  BoundedText devicePath;
  // The radio on the receiver's port: 0 the AR8600 on its own line, a
  // Hamlib model number for a radio driven through Hamlib, -1 for a Hamlib
  // radio line that names no model.
  int hamlibModel = 0;
  int baudRate = 0;
  // The receiver had answered and has gone away since (a hang-up, a write
  // that failed, or level polls left unanswered), or it has not answered
  // since the start-up's wait for it: keys that would confirm something
  // about the receiver say "rnc" instead until it answers.
  bool receiverLost = false;
  // The receiver has answered (first, or again after it had gone away): the
  // poll cycle gives it this state next.
  StateOwed stateOwed = StateOwed::kNothing;
  // Level polls in a row that got no level answer.
  int unansweredPolls = 0;
  // Poll cycles since the port was last opened while the receiver is away.
  int cyclesSinceReopen = 0;
  // "rnc" has been said during the key being handled, and whether that key
  // sent anything towards the lost receiver: one "rnc" per key is enough.
  bool lossSaidThisKey = false;
  bool sentWhileLost = false;
  // The panel shows why the receiver could not be reached at start (no
  // device, or no answer); the first answer wipes it.
  bool portReportShown = false;
  // Writes to the receiver so far: a key that wrote nothing has no answer to
  // wait for, so the next key can be taken at once.
  long long writesToReceiver = 0;
};

// The poll cycle, the scans it follows and the search it drives: written by
// the poll, read anywhere.
struct PollState {
  BoundedText meterBar = "******************";
  // Timer ticks that keys pressed before the receiver's first answer still
  // wait for it (the start-up and the first level polls); set at connect.
  int firstAnswerTicks = 0;
  PollStep pollState = PollStep::kIdle;
  // The level answer was read the moment it came, before the tick that reads
  // it: that tick only keeps the cycle's pace.
  bool answerReadAhead = false;
  // Ticks a read step has waited for a radio whose calls end beside the
  // loop to answer.
  int answerWaitTicks = 0;
  // When the last level poll went out, by the panel's stopwatch.
  double lastLevelPollMs = -1e9;
  int signalLevel = 0;
  // The level as the receiver last reported it, 0 to 255.
  int rawLevel = 0;
  // The last level answer said nothing is heard.
  bool squelchClosed = false;
  // Where the receiver's scan holds, as the last level poll's answer said.
  std::optional<HeardFrequency> scanHeldAt;
  ReceiverScan scanState = ReceiverScan::kOff;
  // The receiver's memory scan rests on a channel that has been asked for
  // (MemoryState::heldChannel): asked once a rest.
  bool heldChannelAsked = false;
  // What the channel line shows ("C03 Tower"), so it is drawn again only
  // when it changes.
  BoundedText channelShown;
  BankScan bankScanState = BankScan::kOff;
  int resumeCountdown = 0;
  // The poll cycle says "scan" and "stop" (N turns it off and on).
  bool scanVoice = true;
  // "RX" asks since the search stopped on a signal without an answer that
  // carried its frequency; bounded so a silent receiver cannot hold the
  // keyboard for ever.
  int receiveStateAsks = 0;
  Search searchState = Search::kOff;
  StopMode searchStopMode = StopMode::kContinue;
  int searchHitCount = 0;
  // The long operation the loop runs step by step (a bank written into the
  // receiver or read from it, Z, a pass, a search's start, the known state
  // after a connect): it holds the wire until it ends, and is resumed when
  // its wait is over (by the stopwatch).
  Steps<> operation;
  double operationDueMs = 0;
  // Operations asked for while one ran, in order: each starts when the one
  // before has ended, rather than being lost.
  std::deque<Steps<>> operationsWaiting;
};

// The command interpreter.
struct CommandState {
  PendingCommand pendingCommand = PendingCommand::kNone;
  BoundedText entryText;
  bool limitEntryFresh = false;
  bool frequencyEntryFresh = true;
  // The X sequence that was told its bank file exists: given again at once,
  // it replaces the file. Any other key forgets it.
  BoundedText replaceWarnedEntry;
  // The prompt that ended a key sequence before its Enter ("inv" for a key
  // the sequence cannot take, "bnf" for W's missing bank file). The Enter
  // that would have completed it says that again and does nothing else;
  // any other key forgets it.
  BoundedText refusedSequence;
  // The lower limit, upper limit or step as it was when S, E or I began: a
  // value typed into it that the receiver cannot take is put back.
  BoundedText limitBeforeEntry;
  // What the key echo area shows of the typing in progress ("B 03"), so it
  // is drawn again only when it changes.
  BoundedText entryShown;
  // The key's work that goes on step by step (W, X, Z) reads nothing the
  // typing changes: keys that send the receiver nothing are taken beside it.
  bool keysBesideWork = false;
};

// The receiver's own memory scan: the channels passed during it (from slot
// 1; passCount is the next free slot), taken back when it is left, and the
// channel it rests on ("A05") with its name, as the receiver told them.
struct MemoryState {
  static constexpr int kPassSlots = 50;
  std::array<BoundedText, kPassSlots> passedChannels;
  int passCount = 1;
  BoundedText heldChannel;
  BoundedText heldChannelName;
};

// The bank in memory and its file.
struct BankState {
  static constexpr int kSlotCount = 420;
  static constexpr int kFileLines = 400;
  using Slots = std::array<BoundedText, kSlotCount>;
  Slots bankSlots;
  Slots sourceSlots;
  BoundedText bankFileName;
  int bankLastSlot = 0;
  int bankScanIndex = 0;
  bool bankFound = false;
  // Result of the last WriteBankFile: K says "wrerr" instead of "ok" when the
  // channel's removal could not be written.
  bool lastWriteOk = true;
  // The last write was refused because the file holds more lines than the
  // bank in memory: "toolong" instead of "wrerr".
  bool lastWriteTooLong = false;
  // The bank the listener selected with B: Up, Down, R and K act on it, and
  // every operation that reads another bank into memory reads it back.
  BoundedText selectedBankFile;
  // The slot of the bank channel last tuned (B, Up, Down, K, the bank scan):
  // the channel whose number and name the listener hears.
  int tunedChannelSlot = 0;
};

// One bank file as it was before an undoable change: its bytes in a copy in
// the undo folder, or no file at all.
struct UndoFile {
  std::string bankFile;
  bool existed = false;
  std::string copyName;
  // The bank file was a symbolic link that the change removed (D): what it
  // pointed at, so U makes the link again instead of a copy.
  std::string linkTarget;
};

// The files one key changed, so U takes them back together.
struct UndoStep {
  int copySlot = 0;
  std::vector<UndoFile> files;
};

// The bank changes U can take back, oldest first.
struct UndoState {
  std::vector<UndoStep> steps;
  // The step of the key being handled, while an undoable change runs.
  std::optional<UndoStep> open;
  // What the panel itself last left in each bank file it changed (nothing:
  // no file), so U can tell when another program has changed a file since.
  std::map<std::string, std::optional<std::string>> lastWritten;
};

// Frequency, step, modes, switches and the search's limits.
struct TuningState {
  BoundedText frequencyText;
  BoundedText frequencyDigits;
  // The frequency line as it stood when the listener began typing a
  // frequency (its text and the digits it is padded by): where the receiver
  // is while the typing goes on, told to the network, and put back when the
  // typed frequency is refused.
  BoundedText frequencyBeforeEntry;
  BoundedText frequencyDigitsBeforeEntry;
  // Wider than the receiver needs so that tuning above 2147.483647 MHz gives
  // the right text instead of wrapping round.
  std::int64_t frequencyHz = 0;
  BoundedText searchStepText;
  BoundedText modeText;
  bool attenuatorOn = false;
  bool noiseLimiterOn = false;
  BoundedText searchLowerText;
  BoundedText searchUpperText;
  // The radio answered the last setting sent to it that it would not take
  // (a radio driven through Hamlib that refused it): what the key would have
  // confirmed is "invalid" instead.
  bool radioRefused = false;
};

struct Context;

// One program following the receiver through the network.
struct NetClient {
  std::unique_ptr<NetConnection> connection;
  std::string input;          // received and not yet answered
  std::string output;         // answered and not yet taken by the client
  bool droppingLine = false;  // the rest of an over-long line is not read
  bool finished = false;      // the client has closed its side
  bool quitting = false;      // asked to quit: closed once its answers are taken
  bool closing = false;       // quit, gone away, silent too long, or never reading
  bool checkedVfo = false;    // has asked "\chk_vfo", as Hamlib's client does first
  double lastHeardMs = 0;     // when it last sent anything
};

// The network control of --net: the listening socket and its clients.
struct NetState {
  std::unique_ptr<NetListener> listener;
  // A deque: a client taken while another's set is carried out leaves that one where it is.
  std::deque<NetClient> clients;
  // A set from the network took an idle tick: the next one starts a poll
  // cycle, so a busy client cannot hold the level poll back.
  bool pollOwed = false;
  // The time a silent client is measured by.
  Stopwatch* stopwatch = nullptr;
  bool serving = false;
  // The client whose set is being carried out, while it is.
  const NetClient* carryingOut = nullptr;
};

struct Context {
  Platform platform;
  AppState app;
  SpeechState speech;
  PanelState panel;
  LinkState link;
  PollState poll;
  CommandState command;
  BankState banks;
  UndoState undo;
  MemoryState memory;
  TuningState tuning;
  NetState net;
};

}  // namespace voxrig
