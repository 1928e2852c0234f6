// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/braille_panel.h"

#include <algorithm>
#include <optional>

#include "banks/bank_channels.h"
#include "banks/bank_layout.h"
#include "panel/screen_lines.h"

namespace voxrig {

namespace {

// The rows of the panel the line is read from: the level meter (or the link
// status), the mode, the frequency, and the scan and search status.
constexpr int kMeterRow = LineFacts(Line::kMeter).y;
constexpr int kModeRow = LineFacts(Line::kMode).y;
constexpr int kFrequencyRow = LineFacts(Line::kFrequency).y;
constexpr int kStatusRow = LineFacts(Line::kScanStatus).y;

// The meter's asterisks as the level the listener hears: "S" and the digit,
// 9 and "+" above 9. Nothing when the row shows no meter (the receiver is
// away: the outcome says so).
std::string LevelOf(const std::string& meter) {
  if (meter.empty() || meter.find_first_not_of("*>") != std::string::npos) return "";
  const auto stars = static_cast<int>(std::count(meter.begin(), meter.end(), '*'));
  return "S" + std::to_string(std::min(stars, 9)) + (stars > 9 ? "+" : "");
}

std::string ScanOf(const std::string& status) {
  if (status.find("SCANNING") != std::string::npos) return "SCAN";
  if (status.find("STOPPED") != std::string::npos) return "STOP";
  if (status.find("Search") != std::string::npos) return "SRCH";
  return "";
}

std::string TwoDigits(int number) {
  return (number < 10 ? "0" : "") + std::to_string(number);
}

// Where the program's own scan of a bank file stands: the bank's number and
// the channel it tuned last (the scan's index has moved on to the next).
std::string BankScanPlace(const Context& ctx) {
  if (!BankScanRuns(ctx.link.bankScanState)) return "";
  const std::string file = ctx.banks.bankFileName.str();
  std::string place = file.size() >= 6 && file.starts_with("bank") ? "B" + file.substr(4, 2) : "";
  const banks::BankLayout layout = banks::ReadLayout(ctx.banks.bankSlots, BankState::kFileLines);
  if (layout.channels.empty()) return place;
  int slot = ctx.banks.bankScanIndex - 2;
  if (slot < banks::kFirstChannelSlot) slot = banks::LastChannelSlot(layout);
  const int channel = (slot - banks::kFirstChannelSlot) / 2 + 1;
  return place + (place.empty() ? "" : " ") + "C" + TwoDigits(channel);
}

// A channel's name as the listener reads it: without the blanks that pad it.
std::string Trimmed(const std::string& name) {
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return name.substr(first, name.find_last_not_of(' ') + 1 - first);
}

// The channel the panel is on, with its name: the receiver's own channel
// where its memory scan rests, else the bank channel tuned (its number only
// when a bank scan already shows it).
std::string ChannelOf(const Context& ctx) {
  if (ctx.link.scanState == ReceiverScan::kStopped && !ctx.memory.heldChannel.empty()) {
    const std::string name = Trimmed(ctx.memory.heldChannelName.str());
    return ctx.memory.heldChannel.str() + (name.empty() ? "" : " " + name);
  }
  const std::optional<int> slot = CurrentBankChannelSlot(ctx);
  if (!slot) return "";
  const std::string name = Trimmed(ctx.banks.bankSlots[static_cast<std::size_t>(*slot + 1)].str());
  if (BankScanRuns(ctx.link.bankScanState)) return name;
  const std::string number = "C" + TwoDigits((*slot - banks::kFirstChannelSlot) / 2 + 1);
  return number + (name.empty() ? "" : " " + name);
}

// Braille tables differ beyond ASCII: anything else shows as a question mark.
std::string Ascii(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '?';
  }
  return text;
}

}  // namespace

std::string BrailleLineOf(const BrailleGlance& glance) {
  const std::string parts[] = {glance.frequency,
                               glance.mode,
                               glance.level,
                               glance.attenuator ? "ATT" : "",
                               glance.noiseLimiter ? "NL" : "",
                               glance.scan,
                               glance.channel,
                               glance.outcome};
  std::string line;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!line.empty()) line += ' ';
    line += part;
  }
  return Ascii(line);
}

BraillePanel::BraillePanel(const Context& ctx, Window& window, Display& display, Sound& sound,
                           BrailleLine& braille)
    : ctx_(ctx), window_(window), display_(display), sound_(sound), braille_(braille) {}

bool BraillePanel::Open(const WindowSpec& layout) {
  return window_.Open(layout);
}

void BraillePanel::StartTimer(int periodMs) {
  window_.StartTimer(periodMs);
}

void BraillePanel::StopTimer() {
  window_.StopTimer();
}

std::vector<WindowEvent> BraillePanel::WaitEvents() {
  Refresh();
  std::vector<WindowEvent> events = window_.WaitEvents();
  // A braille key is pressed and let go in one: its key-up frees the latch.
  for (int key : braille_.TakeKeys()) {
    events.push_back({EventKind::kKeyDown, key});
    events.push_back({EventKind::kKeyUp, key});
  }
  if (std::any_of(events.begin(), events.end(),
                  [](const WindowEvent& e) { return e.kind == EventKind::kKeyDown; })) {
    outcome_.KeyPressed();
  }
  return events;
}

void BraillePanel::Close() {
  window_.Close();
}

void BraillePanel::SetTextPosition(int x, int y) {
  x_ = x;
  y_ = y;
  display_.SetTextPosition(x, y);
}

void BraillePanel::SetFont(const Font& font) {
  font_ = font;
  display_.SetFont(font);
}

void BraillePanel::SetColour(Colour colour) {
  display_.SetColour(colour);
}

void BraillePanel::Print(const std::string& text) {
  x_ = screen_.Put(x_, y_, font_, TextToDraw(text));
  display_.Print(text);
}

void BraillePanel::PlayPrompt(const std::string& path) {
  outcome_.Heard(path);
  Refresh();
  sound_.PlayPrompt(path);
}

void BraillePanel::PassUnvoiced(const std::string& name) {
  outcome_.Heard(name);
  Refresh();
  sound_.PassUnvoiced(name);
}

std::string BraillePanel::Line() const {
  BrailleGlance glance;
  glance.frequency = screen_.Row(kFrequencyRow);
  glance.mode = screen_.Row(kModeRow);
  glance.level = LevelOf(screen_.Row(kMeterRow));
  glance.attenuator = ctx_.tuning.attenuatorOn;
  glance.noiseLimiter = ctx_.tuning.noiseLimiterOn;
  glance.scan = ScanOf(screen_.Row(kStatusRow));
  const std::string place = BankScanPlace(ctx_);
  if (!glance.scan.empty() && !place.empty()) glance.scan += " " + place;
  glance.channel = ChannelOf(ctx_);
  glance.outcome = outcome_.Text();
  return BrailleLineOf(glance);
}

void BraillePanel::Refresh() {
  // Only a line that changed goes to the display: the meter redrawn
  // unchanged on every poll sends nothing.
  std::string line = Line();
  if (anyShown_ && line == shown_) return;
  anyShown_ = true;
  shown_ = std::move(line);
  braille_.Show(shown_);
}

}  // namespace voxrig
