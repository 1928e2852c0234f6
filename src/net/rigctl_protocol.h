// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/receiver_modes.h"
#include "link/radio_capabilities.h"
#include "platform/receiver.h"

// Hamlib's rigctld network protocol as the panel speaks it: one request per
// line, answered from what the panel already knows, in the shapes Hamlib
// 4.5's rigctld gives (plain, and extended with '+', ';', '|' or ','). Pure
// functions, so every answer can be checked without a socket.
namespace voxrig::rigctl {

// Hamlib's error numbers, as "RPRT n" carries them.
inline constexpr int kOk = 0;
inline constexpr int kInvalidArgument = -1;  // a value the receiver cannot take
inline constexpr int kTimedOut = -5;         // the receiver does not answer: it is away
inline constexpr int kRejected = -9;         // the panel is busy; nothing was done
inline constexpr int kNotAvailable = -11;    // the receiver has no such thing, or it is not served

// The longest request line taken; a longer one is refused whole.
inline constexpr std::size_t kMaxLineLength = 200;

// The receiver's attenuator, as Hamlib's AR8600 description gives it; a
// radio with an attenuator is served with this one step.
inline constexpr int kAttenuatorDb = 20;

enum class Command {
  kUnknown,
  kMalformed,
  kGetFrequency,
  kSetFrequency,
  kGetMode,
  kSetMode,
  kGetVfo,
  kSetVfo,
  kGetLevel,
  kSetLevel,
  kGetDcd,
  kCheckVfo,
  kDumpState,
  kDumpCaps,
  kGetPowerStatus,
  kGetSplitVfo,
  kGetLockMode,
  kGetPtt,
  kGetInfo,
  kGetRigInfo,
  kGetVfoInfo,
  kGetTuningStep,
  kQuit,
};

struct Request {
  Command command = Command::kUnknown;
  // The long name the extended answer echoes ("set_freq"), or the word sent.
  std::string name;
  std::vector<std::string> arguments;
  // 0: plain answers. Otherwise the extended form, each record ended by this
  // character ('\n' for '+').
  char separator = 0;
};

// One line without its line end. Empty (or blank) lines give nullopt: they
// are not answered.
std::optional<Request> ParseRequest(std::string_view line);

bool IsSet(const Request& request);

// What the answers are made of: the panel's frequency text, its mode name,
// its meter level (0 to 21 asterisks), the receiver's raw level (0 to 255),
// the squelch and the attenuator, and whether this client has asked
// "\chk_vfo" (after which rigctld's "\dump_state" goes on to its settings).
struct PanelView {
  std::string frequencyText;
  std::string modeText;
  int signalLevel = 0;
  int rawLevel = 0;
  bool squelchOpen = false;
  bool attenuatorOn = false;
  bool checkedVfo = false;
  // The step the panel tunes and searches by, in kilohertz ("12.5").
  std::string stepText = "";
  // The radio the panel drives: its name, ranges, modes and attenuator are
  // what the clients are told and what their sets are checked against.
  const ReceiverCapabilities* radio = &Ar8600Capabilities();
};

// "AOR AR8600 through the voxrig panel": the radio's maker and model, as the
// clients are told whom they tune.
std::string ServedRadioName(const ReceiverCapabilities& radio);

// The whole answer to anything that is not a set: values, or "RPRT n".
std::string AnswerRequest(const Request& request, const PanelView& panel);

// What a set asks the panel to do.
enum class SetAction { kNone, kTune, kSelectMode, kSwitchAttenuator };

// A set checked against the receiver: what the panel is to do, or why not.
struct SetOrder {
  int error = kOk;
  SetAction action = SetAction::kNone;  // kNone: nothing to do, it is so already
  std::int64_t frequencyHz = 0;
  std::string modeText;  // the panel's mode name for a mode set
};
SetOrder CheckSet(const Request& request, const PanelView& panel);

// The answer to a set that was carried out (kOk) or refused.
std::string AnswerSet(const Request& request, int error);

// The panel's frequency text as whole hertz (0 when it holds no number);
// decimals past the sixth are cut, as the tuning keys cut them.
std::int64_t HzFromMegahertzText(std::string_view text);
// Hertz from the panel's kilohertz step text: 12.5 gives 12500, 6.25 gives
// 6250, 8.33 gives 8330.
std::int64_t HzFromKilohertzText(std::string_view text);

// The meter as Hamlib's STRENGTH, dB relative to S9: 6 dB per S unit up to
// S9 (an empty meter is S0, -54 dB), then 5 dB per asterisk, so the full
// meter of 21 is S9 + 60 dB.
int StrengthFromMeter(int signalLevel);

// The mode a panel mode name is reported as; null in automatic mode, where
// the receiver picks the mode by band and the panel does not know which.
const ReceiverMode* ReportedMode(std::string_view panelText);

}  // namespace voxrig::rigctl
