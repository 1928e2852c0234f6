// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/port_search.h"

#include <algorithm>

#include "link/ar8600/ar8600_commands.h"
#include "link/serial_port.h"
#include "speech/speech.h"

namespace voxrig {

namespace {

// The speed spoken digit by digit ("one nine two zero zero"), then "baud".
std::vector<std::string> SpeedPrompts(int baudRate) {
  std::vector<std::string> prompts;
  for (const char digit : std::to_string(baudRate)) prompts.emplace_back(1, digit);
  prompts.emplace_back("baud");
  return prompts;
}

std::vector<std::string> Joined(std::vector<std::string> first,
                                const std::vector<std::string>& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

// The fix for a device the user may not open.
void TellPermissionFix(Context& ctx, SetupTools& tools, const std::string& path) {
  const DeviceAccess access = tools.survey.Access(path);
  const std::string group = access.group.empty() ? "dialout" : access.group;
  const std::string user = access.user.empty() ? "$USER" : access.user;
  Tell(ctx, tools, "  Permission denied: you may not open " + path + ".", {"noperm"});
  if (access.userInGroup) {
    Tell(ctx, tools,
         "  You are in its group \"" + group +
             "\" already, but this session began before you were added: log out and log in "
             "again (a new login is needed), then run voxrig --setup again.");
    return;
  }
  Tell(ctx, tools,
       "  The device belongs to the group \"" + group + "\". Add yourself to it with:\n" +
           "      sudo usermod -aG " + group + " " + user + "\n" +
           "  then log out and log in again (the group counts only from a new login), and run "
           "voxrig --setup again.");
}

// How to stop a program that holds the receiver's port.
std::string HowToStop(const DeviceHolder& holder) {
  const std::string pid = std::to_string(holder.pid);
  if (holder.name == "brltty") {
    return "brltty, the braille display service, has taken this port, mistaking the adapter for "
           "a braille display. If your braille display is on another port, keep brltty and tell "
           "it that port (braille-device in /etc/brltty.conf), then unplug and replug the "
           "receiver's adapter; if you use no braille display: sudo systemctl stop brltty "
           "(and sudo systemctl disable brltty to keep it stopped).";
  }
  if (holder.name == "ModemManager") {
    return "ModemManager tries every new serial port as a mobile modem. Stop it with: sudo "
           "systemctl stop ModemManager (and sudo systemctl disable ModemManager if you have "
           "no mobile modem), then unplug and replug the receiver's adapter.";
  }
  return "Close that program, or stop it with: kill " + pid;
}

void TellHolders(Context& ctx, SetupTools& tools, const std::string& path) {
  const std::vector<DeviceHolder> holders = tools.survey.Holders(path);
  if (holders.empty()) {
    Tell(ctx, tools,
         "  Another program holds it; which one could not be seen (run the set-up as root "
         "to see it).");
    return;
  }
  for (const DeviceHolder& holder : holders) {
    Tell(ctx, tools,
         "  Held by " + holder.name + " (process " + std::to_string(holder.pid) + "). " +
             HowToStop(holder));
  }
}

// What one device did when asked at every speed.
struct DeviceReport {
  std::optional<FoundReceiver> receiver;
  bool noPort = false;   // nothing behind the name: told only in the summary
  bool garbled = false;  // some speed got an answer that is not the receiver's
  int slowAnswerMs = 0;  // the receiver's answer came, but too late
  std::string summary;   // one line for the closing account
};

// Whether asking at one speed has settled what the device is.
enum class SpeedOutcome { kTryNextSpeed, kDeviceDone };

enum class SpeedVerdict { kReceiver, kSilent, kTooLate, kGarbled, kNotConfirmed, kLineGone };

struct SpeedAnswer {
  SpeedVerdict verdict = SpeedVerdict::kSilent;
  std::string received;
  int lateMs = 0;
};

// Asks the finding question at the speed the device is open at. An answer
// counts only for the speed it was asked at: one that comes too late is read
// away before the next speed is tried, and an answer is taken only once a
// second question at this speed is answered at once, so a late answer to an
// earlier speed can never pass for this one's.
SpeedAnswer AskAtSpeed(SerialDevice& device, SetupTools& tools) {
  const std::string question = std::string(kFindingQuestion) + "\r";
  SpeedAnswer answer;
  const double askedAt = tools.clock.NowMs();
  const Exchange first = AskAndListen(device, tools.clock, question, tools.limits);
  answer.received = first.received;
  if (first.lineGone) {
    answer.verdict = SpeedVerdict::kLineGone;
    return answer;
  }
  const auto readAwayLate = [&](double from) {
    return ListenUntil(device, tools.clock, from, tools.limits.lateAnswerMs);
  };
  if (first.received.empty()) {
    const LateAnswer late = readAwayLate(askedAt);
    if (HoldsFrequencyField(late.received)) {
      answer.verdict = SpeedVerdict::kTooLate;
      answer.lateMs = static_cast<int>(late.firstByteMs.value_or(0));
    }
    return answer;
  }
  if (!HoldsFrequencyField(first.received)) {
    readAwayLate(askedAt);
    answer.verdict = SpeedVerdict::kGarbled;
    return answer;
  }
  const double askedAgainAt = tools.clock.NowMs();
  const Exchange second = AskAndListen(device, tools.clock, question, tools.limits);
  if (second.lineGone) {
    answer.verdict = SpeedVerdict::kLineGone;
  } else if (HoldsFrequencyField(second.received)) {
    answer.verdict = SpeedVerdict::kReceiver;
  } else {
    readAwayLate(askedAgainAt);
    answer.verdict = SpeedVerdict::kNotConfirmed;
  }
  return answer;
}

void AnnounceDevice(Context& ctx, SetupTools& tools, const std::string& path, int deviceNumber) {
  const std::string stable = tools.survey.StableName(path);
  const std::string alias = !stable.empty() && stable != path ? " (" + stable + ")" : "";
  Tell(ctx, tools, "Device " + std::to_string(deviceNumber) + ": " + path + alias, {"dev"});
  SpeakCount(ctx, deviceNumber);
}

// The device is open at this speed: it gets the panel's line settings and the
// question only the receiver answers with a frequency, and the listener hears
// what came of it.
SpeedOutcome AskOpenDevice(Context& ctx, SetupTools& tools, const std::string& path, int speed,
                           OpenAttempt& attempt, DeviceReport& report) {
  SerialDevice& device = *attempt.device;
  device.SetReadTimeouts(-1);
  if (!device.SetLineFormat(kReceiverLineFormat.dataBits, kReceiverLineFormat.parityCode,
                            kReceiverLineFormat.stopBitsCode)) {
    Tell(ctx, tools, "  " + std::to_string(speed) + " baud: the device refuses 2 stop bits.");
    return SpeedOutcome::kTryNextSpeed;
  }
  const std::string at = "  " + std::to_string(speed) + " baud: ";
  const SpeedAnswer answer = AskAtSpeed(device, tools);
  switch (answer.verdict) {
    case SpeedVerdict::kLineGone:
      Tell(ctx, tools, at + "the line went away while asking.", {"rnc"});
      report.summary = path + ": the line went away";
      return SpeedOutcome::kDeviceDone;
    case SpeedVerdict::kSilent:
      Tell(ctx, tools,
           at + "no answer within " + std::to_string(tools.limits.answerWaitMs) + " ms.",
           {"noans"});
      return SpeedOutcome::kTryNextSpeed;
    case SpeedVerdict::kTooLate:
      report.slowAnswerMs = answer.lateMs;
      Tell(ctx, tools,
           at + "the receiver answered too slowly, after " + std::to_string(answer.lateMs) +
               " ms: the panel needs an answer within " +
               std::to_string(tools.limits.answerWaitMs) + " ms. It was read away.",
           {"tooslow"});
      return SpeedOutcome::kTryNextSpeed;
    case SpeedVerdict::kGarbled:
      report.garbled = true;
      Tell(ctx, tools, at + "an answer not understood: " + ShownSafely(answer.received),
           {"garbled"});
      return SpeedOutcome::kTryNextSpeed;
    case SpeedVerdict::kNotConfirmed:
      Tell(ctx, tools,
           at + "an answer came (" + ShownSafely(answer.received) +
               "), but a second question at this speed was not answered at once: it was a "
               "late answer to another speed, and was read away.",
           {"noans"});
      return SpeedOutcome::kTryNextSpeed;
    case SpeedVerdict::kReceiver:
      break;
  }
  Tell(ctx, tools, at + "the receiver answered " + ShownSafely(answer.received));
  report.receiver = FoundReceiver{path, speed, answer.received, std::move(attempt.device), nullptr};
  return SpeedOutcome::kDeviceDone;
}

// One speed: the device is asked if it opened, and told about if not.
SpeedOutcome TrySpeed(Context& ctx, SetupTools& tools, const std::string& path, int speed,
                      OpenAttempt& attempt, DeviceReport& report) {
  switch (attempt.failure) {
    case OpenFailure::kNone:
      return AskOpenDevice(ctx, tools, path, speed, attempt, report);
    case OpenFailure::kNoPermission:
      TellPermissionFix(ctx, tools, path);
      report.summary = path + ": permission denied";
      return SpeedOutcome::kDeviceDone;
    case OpenFailure::kInUse:
      Tell(ctx, tools, "  In use by another program (" + attempt.systemMessage + ").", {"inuse"});
      TellHolders(ctx, tools, path);
      report.summary = path + ": in use by another program";
      return SpeedOutcome::kDeviceDone;
    case OpenFailure::kNoDevice:
      Tell(ctx, tools, "  It cannot be opened: " + attempt.systemMessage + ".", {"nodev"});
      report.summary = path + ": cannot be opened (" + attempt.systemMessage + ")";
      return SpeedOutcome::kDeviceDone;
    case OpenFailure::kNotSerial:
      Tell(ctx, tools, "  This is not a serial device.", {"inv"});
      report.summary = path + ": not a serial device";
      return SpeedOutcome::kDeviceDone;
    case OpenFailure::kRefused:
      Tell(ctx, tools, "  " + std::to_string(speed) + " baud: the device refuses this speed.");
      return SpeedOutcome::kTryNextSpeed;
  }
  return SpeedOutcome::kDeviceDone;  // not reached: every failure has its case
}

// No speed found the receiver: the account of why, and who else has the port.
void TellNoReceiver(Context& ctx, SetupTools& tools, const std::string& path,
                    DeviceReport& report) {
  const std::vector<DeviceHolder> holders = tools.survey.Holders(path);
  if (!holders.empty()) {
    // A program that opened the port without locking it (as ModemManager
    // may) can talk over the receiver or swallow its answers.
    Tell(ctx, tools, "  Other programs have this port open too:");
    TellHolders(ctx, tools, path);
  }
  if (report.slowAnswerMs > 0) {
    report.summary =
        path + ": the receiver answered too slowly (after " + std::to_string(report.slowAnswerMs) +
        " ms; the panel needs an answer within " + std::to_string(tools.limits.answerWaitMs) +
        " ms: is a slow adapter or hub between them?)";
    return;
  }
  report.summary =
      path + (report.garbled ? ": answers that are not the receiver's, at every speed (is "
                               "something else on this port, or the cable wrong?)"
                             : ": no answer at 19200, 9600 or 4800 baud (is the receiver "
                               "switched on and its cable in?)");
}

DeviceReport TryDevice(Context& ctx, SetupTools& tools, const std::string& path, int& deviceNumber,
                       bool given) {
  DeviceReport report;
  bool announced = false;
  for (const int speed : kReceiverSpeeds) {
    OpenAttempt attempt = tools.survey.Open(path, speed);
    if (attempt.failure == OpenFailure::kNoDevice && !given) {
      report.noPort = true;
      report.summary = path + ": no port behind this name";
      return report;
    }
    if (!announced) {
      announced = true;
      AnnounceDevice(ctx, tools, path, ++deviceNumber);
    }
    if (TrySpeed(ctx, tools, path, speed, attempt, report) == SpeedOutcome::kDeviceDone) {
      return report;
    }
  }
  TellNoReceiver(ctx, tools, path, report);
  return report;
}

}  // namespace

void Tell(Context& ctx, SetupTools& tools, const std::string& text,
          const std::vector<std::string>& prompts) {
  tools.console.Write(text + "\n");
  for (const std::string& prompt : prompts) Say(ctx, prompt);
}

std::optional<FoundReceiver> FindReceiver(Context& ctx, SetupTools& tools,
                                          const std::optional<std::string>& device) {
  const std::vector<std::string> devices =
      device ? std::vector<std::string>{*device} : tools.survey.ListDevices();
  if (devices.empty()) {
    Tell(ctx, tools,
         "No serial device found. Is the receiver's cable plugged in? A USB serial adapter shows "
         "up as /dev/ttyUSB0 or /dev/ttyACM0 a moment after it is plugged in.",
         {"nodev"});
    return std::nullopt;
  }
  if (!device) {
    std::string list = "Serial devices here:";
    for (const std::string& path : devices) list += "\n  " + path;
    Tell(ctx, tools, list);
  }
  int deviceNumber = 0;
  std::vector<std::string> summaries;
  std::vector<std::string> noPort;
  for (const std::string& path : devices) {
    DeviceReport report = TryDevice(ctx, tools, path, deviceNumber, device.has_value());
    if (report.receiver) {
      Tell(ctx, tools,
           "Receiver found on " + report.receiver->path + " at " +
               std::to_string(report.receiver->baudRate) + " baud.",
           Joined({"found"}, SpeedPrompts(report.receiver->baudRate)));
      return std::move(report.receiver);
    }
    (report.noPort ? noPort : summaries).push_back(report.noPort ? path : report.summary);
  }
  std::string account = "No receiver answered. What was found:";
  for (const std::string& line : summaries) account += "\n  " + line;
  if (!noPort.empty()) {
    account += "\n  " + std::to_string(noPort.size()) + " more name(s) with no port behind:";
    for (const std::string& path : noPort) account += " " + path;
  }
  Tell(ctx, tools, account, {"norx"});
  return std::nullopt;
}

void ReleaseReceiver(FoundReceiver& receiver) {
  if (receiver.radio) receiver.radio->ExitRemote();
  receiver.radio.reset();
  if (!receiver.device) return;
  const std::string bytes = std::string(receiver::kExitRemote) + "\r";
  receiver.device->Write(bytes.data(), static_cast<int>(bytes.size()));
  receiver.device.reset();
}

}  // namespace voxrig
