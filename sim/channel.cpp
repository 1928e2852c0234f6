// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel.h"

#include "frequency_text.h"

namespace ar8600sim {

namespace {

std::optional<bool> ParseSwitch(std::string_view value) {
  if (value == "0") return false;
  if (value == "1") return true;
  return std::nullopt;
}

// Applies one "XXvalue" field; false when the tag is unknown or the value bad.
bool ApplyField(std::string_view tag, std::string_view value, ChannelFields& fields) {
  if (tag == "RF") {
    const auto hz = ParseFrequencyHz(value);
    if (!hz || !FrequencyInRange(*hz)) return false;
    fields.hz = *hz;
  } else if (tag == "ST") {
    fields.stepHz = ParseStepHz(value);
    if (!fields.stepHz) return false;
  } else if (tag == "MD") {
    if (value.size() != 1 || value[0] < '0' || value[0] > '8') return false;
    fields.mode = value[0] - '0';
  } else if (tag == "AU") {
    fields.automaticMode = ParseSwitch(value);
    if (!fields.automaticMode) return false;
  } else if (tag == "AT") {
    fields.attenuator = ParseSwitch(value);
    if (!fields.attenuator) return false;
  } else if (tag == "MP") {
    fields.passed = ParseSwitch(value);
    if (!fields.passed) return false;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string PaddedName(std::string_view name) {
  std::string padded(name.substr(0, kNameLength));
  padded.resize(kNameLength, ' ');
  return padded;
}

std::optional<ChannelFields> ParseChannelFields(std::string_view text) {
  ChannelFields fields;
  std::size_t at = 0;
  while (at < text.size()) {
    // Every field stands after at least one blank.
    if (text[at] != ' ') return std::nullopt;
    while (at < text.size() && text[at] == ' ') ++at;
    if (at == text.size()) break;
    if (text.size() - at < 2) return std::nullopt;
    const std::string_view tag = text.substr(at, 2);
    at += 2;
    if (tag == "TM") {
      const std::string_view name = text.substr(at);
      if (name.size() > kNameLength) return std::nullopt;
      fields.name = PaddedName(name);
      break;
    }
    const std::size_t end = std::min(text.find(' ', at), text.size());
    if (!ApplyField(tag, text.substr(at, end - at), fields)) return std::nullopt;
    at = end;
  }
  return fields;
}

Channel WithFields(Channel base, const ChannelFields& fields) {
  if (fields.hz) base.hz = *fields.hz;
  if (fields.stepHz) base.stepHz = *fields.stepHz;
  if (fields.mode) base.mode = *fields.mode;
  if (fields.automaticMode) base.automaticMode = *fields.automaticMode;
  if (fields.attenuator) base.attenuator = *fields.attenuator;
  if (fields.passed) base.passed = *fields.passed;
  if (fields.name) base.name = *fields.name;
  return base;
}

std::string ChannelLabel(char bank, int number) {
  return std::string(1, bank) + PaddedDigits(number, 2);
}

Settings SettingsOf(const Channel& channel) {
  return {channel.stepHz, channel.mode, channel.automaticMode, channel.attenuator};
}

std::string SettingsFields(const Settings& settings, int mode) {
  return " ST" + SixDigitStep(settings.stepHz) + " AU" + (settings.automaticMode ? "1" : "0") +
         " MD" + std::to_string(mode) + " AT" + (settings.attenuator ? "1" : "0");
}

std::string MemoryReadLine(char bank, int number, const Channel& channel, const Settings& settings,
                           int mode) {
  return "MX" + ChannelLabel(bank, number) + " MP" + (channel.passed ? "1" : "0") + " RF" +
         TenDigitHz(channel.hz) + SettingsFields(settings, mode) + " TM" + channel.name;
}

}  // namespace ar8600sim
