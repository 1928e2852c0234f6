// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/rigctl_dumps.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "net/rigctl_protocol.h"

// The two long answers a client reads when it opens, or when a person looks
// at what the panel serves. Their layout is rigctld's, line for line, so a
// client that reads them by position finds every field where it looks; what
// they say is what the panel serves of the receiver, not all the receiver has.
namespace voxrig::rigctl {

namespace {

// Hamlib's bits of the levels the panel serves: RAWSTR and STRENGTH are
// read, ATT is read and set on a radio with an attenuator.
constexpr unsigned kMeterLevelBits = 0x44000000;
constexpr unsigned kAttenuatorLevelBit = 0x2;

// Long enough for the panel to finish speaking before a client gives up on
// an answer that waits for the receiver.
constexpr const char* kClientTimeoutMs = "10000";

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

// The radio's modes that have a Hamlib name, in the order of their bits.
std::vector<const ReceiverMode*> NetworkModes(const ReceiverCapabilities& radio) {
  std::vector<const ReceiverMode*> modes;
  for (const ReceiverMode& mode : kReceiverModes) {
    if (!mode.networkName.empty() && radio.HasMode(mode.mode)) modes.push_back(&mode);
  }
  std::sort(modes.begin(), modes.end(), [](const ReceiverMode* a, const ReceiverMode* b) {
    return a->networkBit < b->networkBit;
  });
  return modes;
}

unsigned ModeBits(const ReceiverCapabilities& radio) {
  unsigned bits = 0;
  for (const ReceiverMode* mode : NetworkModes(radio)) bits |= mode->networkBit;
  return bits;
}

// "AM CW USB LSB FM WFM ", each name followed by a blank as Hamlib lists them.
std::string ModeList(const ReceiverCapabilities& radio) {
  std::string list;
  for (const ReceiverMode* mode : NetworkModes(radio)) list += std::string(mode->networkName) + " ";
  return list;
}

// One filter per passband, with the modes that have it, in the order the
// modes stand in the table.
std::vector<std::pair<int, std::vector<const ReceiverMode*>>> Filters(
    const ReceiverCapabilities& radio) {
  std::vector<std::pair<int, std::vector<const ReceiverMode*>>> filters;
  for (const ReceiverMode& mode : kReceiverModes) {
    if (mode.networkName.empty() || !radio.HasMode(mode.mode)) continue;
    const auto same = std::find_if(filters.begin(), filters.end(),
                                   [&](const auto& f) { return f.first == mode.passbandHz; });
    if (same == filters.end()) {
      filters.push_back({mode.passbandHz, {&mode}});
    } else {
      same->second.push_back(&mode);
    }
  }
  return filters;
}

// A width as Hamlib's caps dump writes it: "15.0000 kHz".
std::string Kilohertz(int hz) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f kHz", hz / 1000.0);
  return text;
}

// The radio's receive ranges as the caps dump lists them, each with the VFO,
// the modes and the antennas it is tuned with.
std::string CapsRanges(const ReceiverCapabilities& radio) {
  std::string text;
  for (const FrequencyRange& range : radio.receiveRanges) {
    text += "\t" + std::to_string(range.lowestHz) + " Hz - " + std::to_string(range.highestHz) +
            " Hz\n"
            "\t\tVFO list: VFOA \n"
            "\t\tMode list: " +
            ModeList(radio) +
            "\n"
            "\t\tAntenna list: ANT_NONE\n";
  }
  return text;
}

}  // namespace

std::string DumpStateText(bool checkedVfo, const ReceiverCapabilities& radio) {
  const std::string modes = Hex(ModeBits(radio));
  std::string text =
      "1\n"   // the protocol version
      "2\n"   // NET rigctl, the model clients choose for the panel
      "0\n";  // no ITU region
  for (const FrequencyRange& range : radio.receiveRanges) {
    text += std::to_string(range.lowestHz) + ".000000 " + std::to_string(range.highestHz) +
            ".000000 " + modes + " -1 -1 0x1 0x0\n";
  }
  text +=
      "0 0 0 0 0 0 0\n"
      "0 0 0 0 0 0 0\n";  // nothing to transmit on
  for (const char* step : {"50", "100", "1000", "5000", "9000", "10000", "12500", "20000", "25000",
                           "100000", "1000000"}) {
    text += modes + " " + step + "\n";
  }
  text += "0 0\n";
  for (const auto& [passbandHz, filterModes] : Filters(radio)) {
    unsigned bits = 0;
    for (const ReceiverMode* mode : filterModes) bits |= mode->networkBit;
    text += Hex(bits) + " " + std::to_string(passbandHz) + "\n";
  }
  text +=
      "0 0\n"
      "0\n0\n0\n0\n"  // no RIT, XIT, IF shift or announcements
      "\n"            // no preamplifier
      + (radio.attenuator ? std::to_string(kAttenuatorDb) + " " : std::string()) +
      "\n"
      "0x0\n0x0\n" +
      Hex(kMeterLevelBits | (radio.attenuator ? kAttenuatorLevelBit : 0)) + "\n" +
      Hex(radio.attenuator ? kAttenuatorLevelBit : 0) + "\n0x0\n0x0\n";
  if (!checkedVfo) return text;
  return text +
         "vfo_ops=0x0\n"
         "ptt_type=0x0\n"
         "targetable_vfo=0x0\n"
         "has_set_vfo=1\n"
         "has_get_vfo=1\n"
         "has_set_freq=1\n"
         "has_get_freq=1\n"
         "has_set_conf=0\n"
         "has_get_conf=0\n"
         "has_power2mW=0\n"
         "has_mW2power=0\n"
         "timeout=" +
         kClientTimeoutMs +
         "\n"
         "rig_model=2\n"
         "rigctld_version=voxrig " +
         radio.modelName +
         " panel\n"
         "agc_levels=\n"
         "done\n";
}

std::string DumpCapsText(const ReceiverCapabilities& radio) {
  const std::string modes = ModeList(radio);
  const std::string range = CapsRanges(radio);
  std::string text =
      "Caps dump for model: 2\n"
      "Model name:\t" +
      radio.modelName +
      " through the voxrig panel\n"
      "Mfg name:\t" +
      radio.maker +
      "\n"
      "Backend version:\tvoxrig\n"
      "Backend copyright:\tvoxrig\n"
      "Backend status:\tStable\n"
      "Rig type:\tReceiver \n"
      "PTT type:\tNone\n"
      "DCD type:\tRig capable\n"
      "Port type:\tNetwork link\n"
      "Write delay: 0mS, timeout 10000mS, 0 retry\n"
      "Post Write delay: 0mS\n"
      "Has targetable VFO: N\n"
      "Has async data support: N\n"
      "Announce: 0x0\n"
      "Max RIT: -0.0kHz/+0.0kHz\n"
      "Max XIT: -0.0kHz/+0.0kHz\n"
      "Max IF-SHIFT: -0.0kHz/+0.0kHz\n"
      "Preamp: None\n"
      "Attenuator: " +
      (radio.attenuator ? std::to_string(kAttenuatorDb) + "dB" : std::string("None")) +
      "\n"
      "AGC levels:\n"
      "\n"
      "CTCSS: None\n"
      "DCS: None\n"
      "Get functions: \n"
      "Set functions: \n"
      "Extra functions:\n"
      "Get level: " +
      (radio.attenuator ? "ATT(0..0/0) " : "") +
      "RAWSTR(0..0/0) STRENGTH(0..0/0) \n"
      "Set level: " +
      (radio.attenuator ? "ATT(0..0/0) " : "") +
      "\n"
      "Extra levels:\n"
      "Get parameters: \n"
      "Set parameters: \n"
      "Extra parameters:\n"
      "Mode list: " +
      modes +
      "\n"
      "VFO list: VFOA \n"
      "VFO Ops: \n"
      "Scan Ops: \n"
      "Number of banks:\t0\n"
      "Memory name desc size:\t0\n"
      "Memories:\n"
      "TX ranges #1 for TBD:\n"
      "RX ranges #1 for TBD:\n" +
      range +
      "TX ranges #2 for TBD:\n"
      "RX ranges #2 for TBD:\n" +
      range;
  for (int region = 3; region <= 5; ++region) {
    const std::string n = std::to_string(region);
    text += "TX ranges #" + n + " for TBD:\nRX ranges #" + n + " for TBD:\n";
  }
  for (int region = 1; region <= 5; ++region) {
    const std::string n = std::to_string(region);
    text += "TX ranges #" + n + " status for TBD:\tOK (0)\nRX ranges #" + n +
            " status for TBD:\tOK (0)\n";
  }
  text += "Tuning steps:\n";
  for (const char* step :
       {"50.0 Hz", "100.0 Hz", "1.0000 kHz", "5.0000 kHz", "9.0000 kHz", "10.0000 kHz",
        "12.5000 kHz", "20.0000 kHz", "25.0000 kHz", "100.0000 kHz", "1.0000000 MHz"}) {
    text += std::string("\t") + step + ":   \t" + modes + "\n";
  }
  text +=
      "Tuning steps status:\tOK (0)\n"
      "Filters:\n";
  for (const auto& [passbandHz, filterModes] : Filters(radio)) {
    text += "\t" + Kilohertz(passbandHz) + ":   \t";
    for (const ReceiverMode* mode : filterModes) text += std::string(mode->networkName) + " ";
    text += "\n";
  }
  text += "Bandwidths:\n";
  for (const ReceiverMode* mode : NetworkModes(radio)) {
    text += "\t" + std::string(mode->networkName) + "\tNormal: " + Kilohertz(mode->passbandHz) +
            ",\tNarrow: 0.0 Hz,\tWide: 0.0 Hz\n";
  }
  text +=
      "Spectrum scopes: None\n"
      "Spectrum modes: \n"
      "Spectrum spans: \n"
      "Spectrum averaging modes: \n"
      "Spectrum attenuator: None\n"
      "Has priv data:\tN\n"
      "Has Init:\tN\n"
      "Has Cleanup:\tN\n"
      "Has Open:\tN\n"
      "Has Close:\tN\n";
  // What the panel serves, in Hamlib's order of the "Can" lines.
  struct Can {
    const char* what;
    bool served;
  };
  const Can cans[] = {
      {"set Conf", false},
      {"get Conf", false},
      {"set Frequency", true},
      {"get Frequency", true},
      {"set Mode", true},
      {"get Mode", true},
      {"set VFO", true},
      {"get VFO", true},
      {"set PTT", false},
      {"get PTT", false},
      {"get DCD", true},
      {"set Repeater Duplex", false},
      {"get Repeater Duplex", false},
      {"set Repeater Offset", false},
      {"get Repeater Offset", false},
      {"set Split Freq", false},
      {"get Split Freq", false},
      {"set Split Mode", false},
      {"get Split Mode", false},
      {"set Split VFO", false},
      {"get Split VFO", true},
      {"set Tuning Step", false},
      {"get Tuning Step", false},
      {"set RIT", false},
      {"get RIT", false},
      {"set XIT", false},
      {"get XIT", false},
      {"set CTCSS", false},
      {"get CTCSS", false},
      {"set DCS", false},
      {"get DCS", false},
      {"set CTCSS Squelch", false},
      {"get CTCSS Squelch", false},
      {"set DCS Squelch", false},
      {"get DCS Squelch", false},
      {"set Power Stat", false},
      {"get Power Stat", true},
      {"Reset", false},
      {"get Ant", false},
      {"set Ant", false},
      {"set Transceive", false},
      {"get Transceive", false},
      {"set Func", false},
      {"get Func", false},
      {"set Level", radio.attenuator},
      {"get Level", true},
      {"set Param", false},
      {"get Param", false},
      {"send DTMF", false},
      {"recv DTMF", false},
      {"send Morse", false},
      {"send Voice", false},
      {"decode Events", false},
      {"set Bank", false},
      {"set Mem", false},
      {"get Mem", false},
      {"set Channel", false},
      {"get Channel", false},
      {"ctl Mem/VFO", false},
      {"Scan", false},
      {"get Info", true},
      {"get power2mW", false},
      {"get mW2power", false},
  };
  for (const Can& can : cans)
    text += std::string("Can ") + can.what + ":\t" + (can.served ? "Y" : "N") + "\n";
  return text + "\nOverall backend warnings: 0   \n";
}

}  // namespace voxrig::rigctl
