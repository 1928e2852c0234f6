#include "net/rigctl_protocol.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "link/receiver_commands.h"
#include "speech/receiver_modes.h"

namespace voxrig::rigctl {

namespace {

struct CommandName {
  Command command;
  char shortName;  // 0: reached only by its long name
  std::string_view longName;
};

constexpr std::array<CommandName, 16> kCommands{{
    {Command::kGetFrequency, 'f', "get_freq"},
    {Command::kSetFrequency, 'F', "set_freq"},
    {Command::kGetMode, 'm', "get_mode"},
    {Command::kSetMode, 'M', "set_mode"},
    {Command::kGetVfo, 'v', "get_vfo"},
    {Command::kSetVfo, 'V', "set_vfo"},
    {Command::kGetLevel, 'l', "get_level"},
    {Command::kGetPtt, 't', "get_ptt"},
    {Command::kGetSplitVfo, 's', "get_split_vfo"},
    {Command::kGetInfo, '_', "get_info"},
    {Command::kDumpCaps, '1', "dump_caps"},
    {Command::kQuit, 'q', "quit"},
    {Command::kCheckVfo, 0, "chk_vfo"},
    {Command::kDumpState, 0, "dump_state"},
    {Command::kGetPowerStatus, 0, "get_powerstat"},
    {Command::kGetLockMode, 0, "get_lock_mode"},
}};

// Hamlib's names for modes the receiver has not: data modes and reversed CW
// are heard through its plain modes, and are reported by those.
struct ModeAlias {
  std::string_view hamlib;
  Mode heardAs;
};
constexpr std::array<ModeAlias, 4> kModeAliases{{
    {"PKTFM", Mode::kFM},
    {"PKTUSB", Mode::kUSB},
    {"PKTLSB", Mode::kLSB},
    {"CWR", Mode::kCW},
}};

constexpr unsigned kVfoA = 0x1;
constexpr unsigned kStrengthLevelBit = 0x40000000;

// The VFO names that mean the one VFO the panel tunes.
constexpr std::array<std::string_view, 5> kPanelVfoNames{"VFOA", "currVFO", "VFO", "Main", "RX"};

// Long enough for the panel to finish speaking before a client gives up on
// an answer: the panel serves the network between prompts.
constexpr int kClientTimeoutMs = 10000;

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

// The mode a panel name is reported as; null in automatic mode, where the
// receiver picks the mode by band and the panel does not know which.
const ReceiverMode* ReportedMode(std::string_view panelText) {
  const ReceiverMode* mode = ModeOfPanelText(panelText);
  return mode == nullptr || mode->networkName.empty() ? nullptr : mode;
}

const ReceiverMode* ModeByHamlibName(std::string_view hamlib) {
  if (const ReceiverMode* mode = ModeOfNetworkName(hamlib)) return mode;
  const auto alias = std::find_if(kModeAliases.begin(), kModeAliases.end(),
                                  [&](const ModeAlias& a) { return a.hamlib == hamlib; });
  return alias == kModeAliases.end() ? nullptr : &ModeFacts(alias->heardAs);
}

bool NamesPanelVfo(std::string_view name) {
  return std::find(kPanelVfoNames.begin(), kPanelVfoNames.end(), name) != kPanelVfoNames.end();
}

// A frequency in hertz as clients send it: "14074000", "14074000.000000" or
// "7.1e6". Nothing else may follow the number.
std::optional<std::int64_t> ParseHz(const std::string& text) {
  if (text.empty() || text.size() > 32) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  if (value < static_cast<double>(receiver::kLowestHz) ||
      value > static_cast<double>(receiver::kHighestHz)) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(std::llround(value));
}

// A passband as clients send it: an integer, -1 for no change, 0 for the
// receiver's own. The receiver chooses its filter by mode, so any width is
// taken and none is acted on.
bool IsPassband(const std::string& text) {
  if (text.empty() || text.size() > 12) return false;
  const std::size_t start = text[0] == '-' ? 1 : 0;
  return start < text.size() && std::all_of(text.begin() + static_cast<long>(start), text.end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
}

std::string Report(int error) {
  return "RPRT " + std::to_string(error);
}

// Plain: the values, one per line, or only "RPRT n" on an error. Extended:
// the echoed request, "key: value" records and "RPRT n", each ended by the
// separator, and the whole answer by a line end.
struct Record {
  std::string key;
  std::string value;
};

std::string EchoLine(const Request& request) {
  std::string echo = request.name + ":";
  for (const std::string& argument : request.arguments) echo += " " + argument;
  return echo;
}

std::string Compose(const Request& request, const std::vector<Record>& records, int error) {
  if (request.separator == 0) {
    if (error != kOk) return Report(error) + "\n";
    std::string text;
    for (const Record& record : records) text += record.value + "\n";
    return text;
  }
  const char separator = request.separator;
  std::string text = EchoLine(request) + separator;
  if (error == kOk) {
    for (const Record& record : records) {
      text += record.key.empty() ? record.value : record.key + ": " + record.value;
      text += separator;
    }
  }
  text += Report(error);
  text += separator;
  if (separator != '\n') text += '\n';
  return text;
}

std::string Hex(unsigned value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  return "0x" + text;
}

// Hamlib's bits of every mode the receiver has.
unsigned ModeBits() {
  unsigned bits = 0;
  for (const ReceiverMode& mode : kReceiverModes) bits |= mode.networkBit;
  return bits;
}

// One filter line per passband: the bits of the modes that have it, and the
// width, in the order the modes stand.
std::vector<std::string> FilterLines() {
  std::vector<std::pair<int, unsigned>> filters;
  for (const ReceiverMode& mode : kReceiverModes) {
    if (mode.networkName.empty()) continue;
    const auto same = std::find_if(filters.begin(), filters.end(),
                                   [&](const auto& f) { return f.first == mode.passbandHz; });
    if (same == filters.end()) {
      filters.emplace_back(mode.passbandHz, mode.networkBit);
    } else {
      same->second |= mode.networkBit;
    }
  }
  std::vector<std::string> lines;
  for (const auto& [passbandHz, bits] : filters) {
    lines.push_back(Hex(bits) + " " + std::to_string(passbandHz));
  }
  return lines;
}

// The receiver's Hamlib mode names in the order of their bits.
std::string ModeList() {
  std::vector<const ReceiverMode*> modes;
  for (const ReceiverMode& mode : kReceiverModes) {
    if (!mode.networkName.empty()) modes.push_back(&mode);
  }
  std::sort(modes.begin(), modes.end(), [](const ReceiverMode* a, const ReceiverMode* b) {
    return a->networkBit < b->networkBit;
  });
  std::string list;
  for (const ReceiverMode* mode : modes) {
    if (!list.empty()) list += ' ';
    list += mode->networkName;
  }
  return list;
}

// What Hamlib's network client reads when it opens: the protocol version,
// the model (2, NET rigctl), the receive range, no transmit range, tuning
// steps, filters, and which gets and sets there are.
std::vector<Record> StateRecords() {
  const std::string modes = Hex(ModeBits());
  std::vector<std::string> lines = {
      "1",
      "2",
      "2",
      std::to_string(receiver::kLowestHz) + ".000000 " + std::to_string(receiver::kHighestHz) +
          ".000000 " + modes + " -1 -1 " + Hex(kVfoA) + " 0x0",
      "0 0 0 0 0 0 0",
      "0 0 0 0 0 0 0",
      modes + " 50",
      "0 0",
  };
  const std::vector<std::string> filters = FilterLines();
  lines.insert(lines.end(), filters.begin(), filters.end());
  const std::vector<std::string> rest = {
      "0 0",
      "0",
      "0",
      "0",
      "0",
      "0 ",
      "0 ",
      "0x0",
      "0x0",
      Hex(kStrengthLevelBit),
      "0x0",
      "0x0",
      "0x0",
      "vfo_ops=0x0",
      "ptt_type=0x0",
      "targetable_vfo=0x0",
      "has_set_vfo=1",
      "has_get_vfo=1",
      "has_set_freq=1",
      "has_get_freq=1",
      "has_set_conf=0",
      "has_get_conf=0",
      "has_power2mW=0",
      "has_mW2power=0",
      "timeout=" + std::to_string(kClientTimeoutMs),
      "rig_model=2",
      "rigctld_version=voxrig AR8600 panel",
      "done",
  };
  lines.insert(lines.end(), rest.begin(), rest.end());
  std::vector<Record> records;
  for (const std::string& line : lines) records.push_back({"", line});
  return records;
}

std::vector<Record> CapsRecords() {
  return {
      {"Caps dump for model", "2"}, {"Model name", "AR8600 through the voxrig panel"},
      {"Mfg name", "AOR"},          {"Rig type", "Receiver"},
      {"Can set Frequency", "Y"},   {"Can get Frequency", "Y"},
      {"Can set Mode", "Y"},        {"Can get Mode", "Y"},
      {"Can set VFO", "Y"},         {"Can get VFO", "Y"},
      {"Get level", "STRENGTH"},    {"Mode list", ModeList()},
  };
}

SetOrder CheckFrequencySet(const std::vector<std::string>& arguments, const PanelView& panel) {
  SetOrder order;
  const std::optional<std::int64_t> hz =
      arguments.size() == 1 ? ParseHz(arguments[0]) : std::nullopt;
  if (!hz) {
    order.error = kInvalidArgument;
    return order;
  }
  order.frequencyHz = *hz;
  order.changesNothing = *hz == HzFromMegahertzText(panel.frequencyText);
  return order;
}

SetOrder CheckModeSet(const std::vector<std::string>& arguments, const PanelView& panel) {
  SetOrder order;
  const ReceiverMode* mode = arguments.empty() ? nullptr : ModeByHamlibName(arguments[0]);
  if (mode == nullptr || arguments.size() > 2 ||
      (arguments.size() == 2 && !IsPassband(arguments[1]))) {
    order.error = kInvalidArgument;
    return order;
  }
  order.modeText = std::string(mode->panelText);
  order.changesNothing = order.modeText == panel.modeText;
  return order;
}

SetOrder CheckVfoSet(const std::vector<std::string>& arguments) {
  SetOrder order;
  if (arguments.size() != 1) {
    order.error = kInvalidArgument;
  } else if (!NamesPanelVfo(arguments[0])) {
    // The panel tunes VFO A alone; VFO B holds the search's upper limit.
    order.error = kNotAvailable;
  } else {
    order.changesNothing = true;
  }
  return order;
}

}  // namespace

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
         request.command == Command::kSetVfo;
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
      if (request.arguments.size() != 1) return Compose(request, {}, kInvalidArgument);
      if (request.arguments[0] != "STRENGTH") return Compose(request, {}, kNotAvailable);
      return Compose(request,
                     {{"Level Value", std::to_string(StrengthFromMeter(panel.signalLevel))}}, kOk);
    case Command::kCheckVfo:
      return Compose(request, {{"ChkVFO", "0"}}, kOk);
    case Command::kDumpState:
      return Compose(request, StateRecords(), kOk);
    case Command::kDumpCaps:
      return Compose(request, CapsRecords(), kOk);
    case Command::kGetPowerStatus:
      return Compose(request, {{"Power Status", "1"}}, kOk);
    case Command::kGetSplitVfo:
      return Compose(request, {{"Split", "0"}, {"TX VFO", "VFOA"}}, kOk);
    case Command::kGetLockMode:
      return Compose(request, {{"Locked", "0"}}, kOk);
    case Command::kGetPtt:
      // A receiver never transmits.
      return Compose(request, {{"PTT", "0"}}, kOk);
    case Command::kGetInfo:
      return Compose(request, {{"Info", "AOR AR8600 through the voxrig panel"}}, kOk);
    case Command::kQuit:
      return {};
    case Command::kMalformed:
      return Compose(request, {}, kInvalidArgument);
    case Command::kSetFrequency:
    case Command::kSetMode:
    case Command::kSetVfo:
    case Command::kUnknown:
      break;
  }
  return Compose(request, {}, kNotImplemented);
}

SetOrder CheckSet(const Request& request, const PanelView& panel) {
  switch (request.command) {
    case Command::kSetFrequency:
      return CheckFrequencySet(request.arguments, panel);
    case Command::kSetMode:
      return CheckModeSet(request.arguments, panel);
    case Command::kSetVfo:
      return CheckVfoSet(request.arguments);
    case Command::kUnknown:
    case Command::kMalformed:
    case Command::kGetFrequency:
    case Command::kGetMode:
    case Command::kGetVfo:
    case Command::kGetLevel:
    case Command::kCheckVfo:
    case Command::kDumpState:
    case Command::kDumpCaps:
    case Command::kGetPowerStatus:
    case Command::kGetSplitVfo:
    case Command::kGetLockMode:
    case Command::kGetPtt:
    case Command::kGetInfo:
    case Command::kQuit:
      break;
  }
  SetOrder order;
  order.error = kNotImplemented;
  return order;
}

std::string AnswerSet(const Request& request, int error) {
  if (request.separator == 0) return Report(error) + "\n";
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

int StrengthFromMeter(int signalLevel) {
  constexpr int kS9 = 9;
  constexpr int kFullMeter = 21;
  const int level = std::clamp(signalLevel, 0, kFullMeter);
  return level <= kS9 ? (level - kS9) * 6 : (level - kS9) * 5;
}

}  // namespace voxrig::rigctl
