// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/connected_panel.h"

#include "app/key_handler.h"
#include "command/key_codes.h"
#include "fakes/scripted_window.h"
#include "poll/operation.h"

namespace voxrig::fakes {

namespace {

// More ticks than any key or poll cycle takes: a panel that needs them is stuck.
constexpr int kTickLimit = 100;

}  // namespace

ConnectedPanel::ConnectedPanel() {
  program.AttachReceiver();
  ctx.app.programRunning = true;
  ctx.link.linkState = ReceiverAnswer::kReceived;
  ctx.link.statusLine = ">";
  ctx.tuning.frequencyText = "145.0";
  ctx.tuning.frequencyDigits = "145";
  ctx.tuning.searchLowerText = "145";
  ctx.tuning.searchUpperText = "146";
  ctx.tuning.searchStepText = "12.5";
  ctx.tuning.modeText = "FM";
  ctx.command.frequencyEntryFresh = true;
  program.line.responder = [this](const std::string& command) {
    trace.push_back("TX " + command);
    if (silent) return std::string();
    const auto answer = answers.find(command);
    return answer != answers.end() ? answer->second : std::string("\r\n");
  };
  program.sound.OnPlayed([this](const std::string& name) { trace.push_back(name); });
}

void ConnectedPanel::Deliver(const WindowEvent& event) {
  OnWindowEvent(ctx, event);
  FinishOperation();
}

void ConnectedPanel::FinishOperation() {
  // Far more wake-ups than the longest operation asks for (Z resizing ten
  // silent banks): an operation that needs them never ends.
  constexpr int kWakeLimit = 100000;
  int wakes = 0;
  for (; wakes < kWakeLimit && OperationRunning(ctx); ++wakes) {
    program.time.Advance(MsUntilOperationStep(ctx));
    program.window.wakePending.reset();
    OnWindowEvent(ctx, fakes::Wake());
  }
  EXPECT_LT(wakes, kWakeLimit) << "the operation never ended";
}

void ConnectedPanel::Tick() {
  Deliver(fakes::Tick());
}

void ConnectedPanel::NetworkActivity() {
  Deliver({EventKind::kNetworkActivity, 0});
}

void ConnectedPanel::RadioActivity() {
  Deliver(fakes::RadioActivity());
}

void ConnectedPanel::Press(int key) {
  Deliver(KeyDown(key));
  int ticks = 0;
  for (; ticks < kTickLimit && ctx.panel.keyQueueCount > 0; ++ticks) Tick();
  EXPECT_LT(ticks, kTickLimit) << "key " << key << " was never taken from the queue";
  Deliver(KeyUp(key));
}

void ConnectedPanel::Type(std::string_view keys) {
  for (char c : keys) Press(c == '.' ? keys::kFullStop : static_cast<unsigned char>(c));
}

void ConnectedPanel::Cycle(const std::string& levelAnswer) {
  answers["LM"] = levelAnswer;
  Tick();  // an idle tick only starts the cycle
  int ticks = 0;
  for (; ticks < kTickLimit && ctx.poll.pollState != PollStep::kIdle; ++ticks) Tick();
  EXPECT_LT(ticks, kTickLimit) << "the poll cycle never came back to rest";
}

void ConnectedPanel::Cycles(int count, const std::string& levelAnswer) {
  for (int i = 0; i < count; ++i) Cycle(levelAnswer);
}

std::vector<std::string> ConnectedPanel::Spoken() const {
  std::vector<std::string> spoken;
  for (const std::string& name : Heard()) {
    if (name != "shdel") spoken.push_back(name);
  }
  return spoken;
}

std::vector<std::string> ConnectedPanel::Sent(const std::string& prefix) const {
  std::vector<std::string> sent;
  for (const std::string& command : Commands()) {
    if (command.starts_with(prefix)) sent.push_back(command);
  }
  return sent;
}

int ConnectedPanel::Count(const std::string& command) const {
  int count = 0;
  for (const std::string& sent : program.Commands()) count += sent == command ? 1 : 0;
  return count;
}

void ConnectedPanel::Forget() {
  program.ClearRecords();
  trace.clear();
}

void ConnectedPanel::PutBankFile(const std::string& name, const std::string& mode,
                                 const std::vector<std::string>& frequencies) {
  std::string bytes = "bank" + name.substr(4, 2) + "\r\n" + mode + "\r\n12.5\r\n \r\n";
  for (const std::string& frequency : frequencies) bytes += frequency + "\r\n \r\n";
  bytes += "9999\r\n";
  program.files.files[name] = bytes;
}

void ConnectedPanel::SelectInMemory(const std::vector<std::string>& frequencies) {
  BankState& banks = ctx.banks;
  banks.bankSlots = {};
  const std::vector<std::string> header = {"bank05", "FM", "12.5", " "};
  std::size_t slot = 0;
  for (const std::string& line : header) banks.bankSlots[slot++] = line;
  for (const std::string& frequency : frequencies) {
    banks.bankSlots[slot++] = frequency;
    banks.bankSlots[slot++] = " ";
  }
  banks.bankSlots[slot] = "9999";
  banks.bankLastSlot = static_cast<int>(slot) - 2;
  banks.bankScanIndex = 4;
  banks.bankFileName = "bank05.dat";
  ctx.poll.bankScanState = BankScan::kBankSelected;
}

}  // namespace voxrig::fakes
