// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/rigctl_protocol.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/receiver_modes.h"
#include "net/rigctl_dumps.h"
#include "tuning/radio_abilities.h"

namespace voxrig::rigctl {

namespace {

struct CommandName {
  Command command;
  char shortName;  // 0: reached only by its long name
  std::string_view longName;
};

constexpr std::array<CommandName, 21> kCommands{{
    {Command::kGetFrequency, 'f', "get_freq"},
    {Command::kSetFrequency, 'F', "set_freq"},
    {Command::kGetMode, 'm', "get_mode"},
    {Command::kSetMode, 'M', "set_mode"},
    {Command::kGetVfo, 'v', "get_vfo"},
    {Command::kSetVfo, 'V', "set_vfo"},
    {Command::kGetLevel, 'l', "get_level"},
    {Command::kSetLevel, 'L', "set_level"},
    {Command::kGetPtt, 't', "get_ptt"},
    {Command::kGetSplitVfo, 's', "get_split_vfo"},
    {Command::kGetInfo, '_', "get_info"},
    {Command::kDumpCaps, '1', "dump_caps"},
    {Command::kQuit, 'q', "quit"},
    {Command::kGetDcd, 0, "get_dcd"},
    {Command::kCheckVfo, 0, "chk_vfo"},
    {Command::kDumpState, 0, "dump_state"},
    {Command::kGetPowerStatus, 0, "get_powerstat"},
    {Command::kGetLockMode, 0, "get_lock_mode"},
    {Command::kGetRigInfo, 0, "get_rig_info"},
    {Command::kGetVfoInfo, 0, "get_vfo_info"},
    {Command::kGetTuningStep, 'n', "get_ts"},
}};

// The VFO names that mean the one VFO the panel tunes.
constexpr std::array<std::string_view, 5> kPanelVfoNames{"VFOA", "currVFO", "VFO", "Main", "RX"};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsPrintable(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 0x20 && byte < 0x7f) || c == '\t';
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

bool NamesPanelVfo(std::string_view name) {
  return std::find(kPanelVfoNames.begin(), kPanelVfoNames.end(), name) != kPanelVfoNames.end();
}

// A frequency in hertz as clients send it: "14074000", "14074000.000000" or
// "7.1e6", within one of the radio's ranges. Nothing else may follow the
// number.
std::optional<std::int64_t> ParseHz(const std::string& text, const ReceiverCapabilities& radio) {
  if (text.empty() || text.size() > 32) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  const bool received = std::any_of(radio.receiveRanges.begin(), radio.receiveRanges.end(),
                                    [&](const FrequencyRange& range) {
                                      return value >= static_cast<double>(range.lowestHz) &&
                                             value <= static_cast<double>(range.highestHz);
                                    });
  if (!received) return std::nullopt;
  return static_cast<std::int64_t>(std::llround(value));
}

// An integer as clients send it, with an optional sign.
bool IsInteger(const std::string& text) {
  if (text.empty() || text.size() > 12) return false;
  const std::size_t start = text[0] == '-' ? 1 : 0;
  return start < text.size() && std::all_of(text.begin() + static_cast<long>(start), text.end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
}

std::string Report(int error) {
  return "RPRT " + std::to_string(error) + "\n";
}

// One piece of an answer. Plain answers give the values one per line;
// extended ones echo the request, then give "key: value" records, each ended
// by the separator, and end with "RPRT n" and a line end. Some of rigctld's
// answers bend that: a few records end with a line end whatever the
// separator, blocks of text come as they are, and one plain answer ends
// with its report too.
struct Record {
  std::string key;  // empty: the value alone, in both forms
  std::string value;
  bool endsLine = false;  // ended by a line end rather than the separator
  bool block = false;     // text that carries its own line ends
};

struct Shape {
  bool plainReport = false;  // the plain answer ends with "RPRT 0" too
};

std::string EchoLine(const Request& request) {
  std::string echo = request.name + ":";
  for (const std::string& argument : request.arguments) echo += " " + argument;
  return echo;
}

std::string Compose(const Request& request, const std::vector<Record>& records, int error,
                    Shape shape = {}) {
  if (request.separator == 0) {
    if (error != kOk) return Report(error);
    std::string text;
    for (const Record& record : records) text += record.block ? record.value : record.value + "\n";
    if (shape.plainReport) text += Report(kOk);
    return text;
  }
  const char separator = request.separator;
  std::string text = EchoLine(request) + separator;
  if (error == kOk) {
    for (const Record& record : records) {
      if (record.block) {
        text += record.value;
        continue;
      }
      text += record.key.empty() ? record.value : record.key + ": " + record.value;
      text += record.endsLine ? '\n' : separator;
    }
  }
  return text + Report(error);
}

// rigctld answers its VFO check without echo or report, and in the forms
// with a separator adds an empty line.
std::string CheckVfoAnswer(const Request& request) {
  if (request.separator == 0) return "0\n";
  return request.separator == '\n' ? "ChkVFO: 0\n" : "ChkVFO: 0\n\n";
}

std::string LevelValue(const std::string& name, const PanelView& panel, bool& known) {
  known = true;
  if (name == "STRENGTH") return std::to_string(StrengthFromMeter(panel.signalLevel));
  if (name == "RAWSTR") return std::to_string(std::clamp(panel.rawLevel, 0, 255));
  if (name == "ATT" && panel.radio->attenuator) {
    return std::to_string(panel.attenuatorOn ? kAttenuatorDb : 0);
  }
  known = false;
  return {};
}

std::string AnswerGetLevel(const Request& request, const PanelView& panel) {
  if (request.arguments.size() != 1) return Compose(request, {}, kInvalidArgument);
  bool known = false;
  const std::string value = LevelValue(request.arguments[0], panel, known);
  if (!known) return Compose(request, {}, kNotAvailable);
  return Compose(request, {{"", value}}, kOk);
}

// The CRC-32 (as zlib computes it) that ends Hamlib's rig information, so a
// client can tell when it has changed.
std::uint32_t Crc32(std::string_view text) {
  std::uint32_t crc = 0xffffffffu;
  for (char c : text) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string Hex8(std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4)
    text[static_cast<std::size_t>(i)] = kDigits[value & 0xf];
  return "0x" + text;
}

// Hamlib 4.5's "\get_rig_info": both VFOs (the panel tunes A alone, so B is
// told as unknown), the split, the rig and the program, and the CRC.
std::string RigInfoText(const PanelView& panel) {
  const ReceiverMode* mode = ReportedMode(panel.modeText);
  std::string text = "VFO=VFOA Freq=" + std::to_string(HzFromMegahertzText(panel.frequencyText)) +
                     " Mode=" + std::string(mode ? mode->networkName : "None") +
                     " Width=" + std::to_string(mode ? mode->passbandHz : 0) + " RX=1 TX=0\n";
  text += "VFO=VFOB Freq=0 Mode=None Width=0 RX=0 TX=0\n";
  text +=
      "Split=0 SatMode=0\nRig=" + panel.radio->modelName + "\nApp=voxrig\nVersion=20210506 1.0.0\n";
  return text + "CRC=" + Hex8(Crc32(text)) + "\n\n";
}

std::string AnswerVfoInfo(const Request& request, const PanelView& panel) {
  if (request.arguments.size() != 1) return Compose(request, {}, kInvalidArgument);
  if (!NamesPanelVfo(request.arguments[0])) return Compose(request, {}, kNotAvailable);
  const ReceiverMode* mode = ReportedMode(panel.modeText);
  return Compose(request,
                 {{"Freq", std::to_string(HzFromMegahertzText(panel.frequencyText))},
                  {"Mode", std::string(mode ? mode->networkName : "None")},
                  {"Width", std::to_string(mode ? mode->passbandHz : 0)},
                  {"Split", "0"},
                  {"SatMode", "0"}},
                 kOk);
}

SetOrder CheckFrequencySet(const std::vector<std::string>& arguments, const PanelView& panel) {
  SetOrder order;
  const ReceiverCapabilities& radio = *panel.radio;
  const std::optional<std::int64_t> hz =
      arguments.size() == 1 ? ParseHz(arguments[0], radio) : std::nullopt;
  // The radio holds its resolution (the AR8600 whole 50 Hz): a finer
  // frequency is tuned rounded, and one that rounds to where the radio is
  // changes nothing.
  if (!hz || !radio.Receives(RoundedForRadio(radio, *hz))) {
    order.error = kInvalidArgument;
    return order;
  }
  order.frequencyHz = RoundedForRadio(radio, *hz);
  if (order.frequencyHz != HzFromMegahertzText(panel.frequencyText)) {
    order.action = SetAction::kTune;
  }
  return order;
}

SetOrder CheckModeSet(const std::vector<std::string>& arguments, const PanelView& panel) {
  SetOrder order;
  const ReceiverMode* mode = arguments.empty() ? nullptr : ModeHeardForNetworkName(arguments[0]);
  if (mode == nullptr || arguments.size() > 2 ||
      (arguments.size() == 2 && !IsInteger(arguments[1]))) {
    order.error = kInvalidArgument;
    return order;
  }
  // The receiver chooses its filter by mode, so any passband is taken and
  // none is acted on.
  order.modeText = std::string(mode->panelText);
  if (order.modeText != panel.modeText) order.action = SetAction::kSelectMode;
  return order;
}

SetOrder CheckVfoSet(const std::vector<std::string>& arguments) {
  SetOrder order;
  if (arguments.size() != 1) {
    order.error = kInvalidArgument;
  } else if (!NamesPanelVfo(arguments[0])) {
    // The panel tunes VFO A alone; VFO B holds the search's upper limit.
    order.error = kNotAvailable;
  }
  return order;
}

SetOrder CheckSetLevel(const std::vector<std::string>& arguments, const PanelView& panel) {
  SetOrder order;
  if (arguments.size() != 2) {
    order.error = kInvalidArgument;
  } else if (arguments[0] != "ATT" || !panel.radio->attenuator) {
    order.error = kNotAvailable;  // the meters are read, never set
  } else if (!IsInteger(arguments[1]) ||
             (arguments[1] != "0" && arguments[1] != std::to_string(kAttenuatorDb))) {
    order.error = kInvalidArgument;  // off, or the receiver's one attenuation
  } else if ((arguments[1] != "0") != panel.attenuatorOn) {
    order.action = SetAction::kSwitchAttenuator;
  }
  return order;
}

}  // namespace

std::string ServedRadioName(const ReceiverCapabilities& radio) {
  return radio.maker + " " + radio.modelName + " through the voxrig panel";
}

const ReceiverMode* ReportedMode(std::string_view panelText) {
  const ReceiverMode* mode = ModeOfPanelText(panelText);
  return mode == nullptr || mode->networkName.empty() ? nullptr : mode;
}

std::optional<Request> ParseRequest(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || IsBlank(line.back()))) line.remove_suffix(1);
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.empty()) return std::nullopt;

  Request request;
  if (line.size() > kMaxLineLength || !std::all_of(line.begin(), line.end(), IsPrintable)) {
    request.command = Command::kMalformed;
    request.name = "?";
    return request;
  }
  const char first = line.front();
  if (std::ispunct(static_cast<unsigned char>(first)) && first != '\\' && first != '?' &&
      first != '_' && first != '#') {
    request.separator = first == '+' ? '\n' : first;
    line.remove_prefix(1);
  }
  std::vector<std::string> words = SplitWords(line);
  if (words.empty()) {
    request.command = Command::kMalformed;
    request.name = "?";
    request.separator = 0;
    return request;
  }
  const std::string word = words.front();
  request.arguments.assign(words.begin() + 1, words.end());
  request.name = word;
  for (const CommandName& entry : kCommands) {
    const bool byLong = word.size() > 1 && word[0] == '\\' && word.substr(1) == entry.longName;
    const bool byShort = entry.shortName != 0 && word.size() == 1 && word[0] == entry.shortName;
    if (byLong || byShort) {
      request.command = entry.command;
      request.name = std::string(entry.longName);
      break;
    }
  }
  if (request.command == Command::kUnknown && word[0] == '\\') request.name = word.substr(1);
  return request;
}

bool IsSet(const Request& request) {
  return request.command == Command::kSetFrequency || request.command == Command::kSetMode ||
         request.command == Command::kSetVfo || request.command == Command::kSetLevel;
}

std::string AnswerRequest(const Request& request, const PanelView& panel) {
  switch (request.command) {
    case Command::kGetFrequency:
      return Compose(
          request, {{"Frequency", std::to_string(HzFromMegahertzText(panel.frequencyText))}}, kOk);
    case Command::kGetMode: {
      // In automatic mode the receiver picks the mode by band, and the panel
      // does not know which it picked.
      const ReceiverMode* mode = ReportedMode(panel.modeText);
      if (mode == nullptr) return Compose(request, {}, kNotAvailable);
      return Compose(request,
                     {{"Mode", std::string(mode->networkName)},
                      {"Passband", std::to_string(mode->passbandHz)}},
                     kOk);
    }
    case Command::kGetVfo:
      return Compose(request, {{"VFO", "VFOA"}}, kOk);
    case Command::kGetLevel:
      return AnswerGetLevel(request, panel);
    case Command::kGetDcd:
      return Compose(request, {{"DCD", panel.squelchOpen ? "1" : "0"}}, kOk);
    case Command::kCheckVfo:
      return CheckVfoAnswer(request);
    case Command::kDumpState:
      return Compose(request, {{"", DumpStateText(panel.checkedVfo, *panel.radio), false, true}},
                     kOk);
    case Command::kDumpCaps:
      return Compose(request, {{"", DumpCapsText(*panel.radio), false, true}}, kOk,
                     {.plainReport = true});
    case Command::kGetPowerStatus:
      return Compose(request, {{"Power Status", "1", true}}, kOk);
    case Command::kGetSplitVfo:
      return Compose(request, {{"Split", "0"}, {"TX VFO", "VFOA"}}, kOk);
    case Command::kGetLockMode:
      return Compose(request, {{"Locked", "0", true}}, kOk, {.plainReport = true});
    case Command::kGetInfo:
      return Compose(request, {{"Info", ServedRadioName(*panel.radio)}}, kOk);
    case Command::kGetRigInfo:
      return Compose(request, {{"", RigInfoText(panel), false, true}}, kOk);
    case Command::kGetVfoInfo:
      return AnswerVfoInfo(request, panel);
    case Command::kGetTuningStep:
      return Compose(request,
                     {{"Tuning Step", std::to_string(HzFromKilohertzText(panel.stepText))}}, kOk);
    case Command::kQuit:
      // Answered, then the connection is closed.
      return Report(kOk);
    case Command::kMalformed:
      return Compose(request, {}, kInvalidArgument);
    case Command::kGetPtt:  // a receiver has no transmitter
    case Command::kSetFrequency:
    case Command::kSetMode:
    case Command::kSetVfo:
    case Command::kSetLevel:
    case Command::kUnknown:
      break;
  }
  return Compose(request, {}, kNotAvailable);
}

SetOrder CheckSet(const Request& request, const PanelView& panel) {
  switch (request.command) {
    case Command::kSetFrequency:
      return CheckFrequencySet(request.arguments, panel);
    case Command::kSetMode:
      return CheckModeSet(request.arguments, panel);
    case Command::kSetVfo:
      return CheckVfoSet(request.arguments);
    case Command::kSetLevel:
      return CheckSetLevel(request.arguments, panel);
    case Command::kUnknown:
    case Command::kMalformed:
    case Command::kGetFrequency:
    case Command::kGetMode:
    case Command::kGetVfo:
    case Command::kGetLevel:
    case Command::kGetDcd:
    case Command::kCheckVfo:
    case Command::kDumpState:
    case Command::kDumpCaps:
    case Command::kGetPowerStatus:
    case Command::kGetSplitVfo:
    case Command::kGetLockMode:
    case Command::kGetPtt:
    case Command::kGetInfo:
    case Command::kGetRigInfo:
    case Command::kGetVfoInfo:
    case Command::kGetTuningStep:
    case Command::kQuit:
      break;
  }
  SetOrder order;
  order.error = kNotAvailable;
  return order;
}

std::string AnswerSet(const Request& request, int error) {
  if (request.separator == 0) return Report(error);
  return Compose(request, {}, error);
}

std::int64_t HzFromMegahertzText(std::string_view text) {
  std::int64_t hz = 0;
  std::size_t i = 0;
  // Whole megahertz: at most four digits reach the receiver's range.
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    hz = std::min<std::int64_t>(hz * 10 + (text[i] - '0'), 1000000);
  }
  hz *= 1000000;
  if (i < text.size() && text[i] == '.') {
    std::int64_t place = 100000;
    for (++i; i < text.size() && place > 0 && text[i] >= '0' && text[i] <= '9'; ++i) {
      hz += (text[i] - '0') * place;
      place /= 10;
    }
  }
  return hz;
}

std::int64_t HzFromKilohertzText(std::string_view text) {
  // A step is at most three whole kilohertz digits: a megahertz text of the
  // same digits is a thousand times the hertz wanted.
  return HzFromMegahertzText(text) / 1000;
}

int StrengthFromMeter(int signalLevel) {
  constexpr int kS9 = 9;
  constexpr int kFullMeter = 21;
  const int level = std::clamp(signalLevel, 0, kFullMeter);
  return level <= kS9 ? (level - kS9) * 6 : (level - kS9) * 5;
}

}  // namespace voxrig::rigctl
