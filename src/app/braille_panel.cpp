// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/braille_panel.h"

#include <algorithm>
#include <optional>

#include "app/meter_level.h"
#include "banks/bank_channels.h"
#include "banks/bank_layout.h"
#include "command/entry_line.h"
#include "panel/screen_lines.h"
#include "poll/channel_line.h"

namespace voxrig {

namespace {

// The rows of the panel the line is read from: the level meter (or the link
// status), the mode, the frequency, and the scan and search status.
constexpr int kMeterRow = LineFacts(Line::kMeter).y;
constexpr int kModeRow = LineFacts(Line::kMode).y;
constexpr int kFrequencyRow = LineFacts(Line::kFrequency).y;
constexpr int kStatusRow = LineFacts(Line::kScanStatus).y;

// The meter as the level the listener hears; nothing when the row shows no
// meter (the receiver is away: the outcome says so).
std::string LevelOf(const std::string& meter) {
  const std::optional<int> level = MeterLevel(meter);
  return level ? LevelText(*level, "") : "";
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
// the channel it tuned last (the scan's index may already name the next,
// or still the first when the scan rests where it started).
std::string BankScanPlace(const Context& ctx) {
  if (!BankScanRuns(ctx.poll.bankScanState)) return "";
  const std::string file = ctx.banks.bankFileName.str();
  std::string place = file.size() >= 6 && file.starts_with("bank") ? "B" + file.substr(4, 2) : "";
  const banks::BankLayout layout = banks::ReadLayout(ctx.banks.bankSlots, BankState::kFileLines);
  const int slot = ctx.banks.tunedChannelSlot;
  if (layout.channels.empty() || slot < banks::kFirstChannelSlot ||
      slot > banks::LastChannelSlot(layout) || slot % 2 != 0) {
    return place;
  }
  const int channel = (slot - banks::kFirstChannelSlot) / 2 + 1;
  return place + (place.empty() ? "" : " ") + "C" + TwoDigits(channel);
}

// The channel the panel is on, with its name; in a bank scan the name only,
// the scan's place already showing the number.
std::string ChannelOf(const Context& ctx) {
  const std::optional<ChannelHere> channel = ChannelOfPanel(ctx);
  if (!channel) return "";
  if (channel->bankFile && BankScanRuns(ctx.poll.bankScanState)) return channel->name;
  return ChannelText(*channel);
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
                               glance.entry,
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
    // The outcome of the key before goes at once: an outcome shown after
    // this is this key's, even when it is the same word again.
    outcome_.KeyPressed();
    Refresh();
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
  glance.entry = EntryText(ctx_);
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
