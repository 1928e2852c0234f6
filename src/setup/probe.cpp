// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/probe.h"

#include <cstdio>

#include "link/ar8600/ar8600_commands.h"

namespace voxrig {

namespace {

// Questions in a row that get nothing before the receiver counts as gone.
constexpr int kMostSilentAnswers = 2;

std::string Milliseconds(const std::optional<double>& ms) {
  if (!ms) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.0f ms", *ms);
  return text;
}

std::string TwoDigits(int value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string Header(Context& ctx, const FoundReceiver& receiver, const SetupTools& tools) {
  const LocalDateTime now = ctx.platform.clock->Now();
  return "voxrig receiver probe\n"
         "program: voxrig " +
         ctx.app.versionText.str() + "\ndate: " + std::to_string(now.year) + "-" +
         TwoDigits(now.month) + "-" + TwoDigits(now.day) + " " + TwoDigits(now.hour) + ":" +
         TwoDigits(now.minute) + "\ndevice: " + receiver.path +
         "\nline: " + std::to_string(receiver.baudRate) +
         " baud, 8 data bits, no parity, 2 stop bits\n"
         "wait: up to " +
         std::to_string(tools.limits.answerWaitMs) +
         " ms for an answer's first byte\n"
         "bytes: printable characters as they are; any other byte, and '<', as <XX> in hex\n"
         "times: from the question's CR to the answer's first and last byte\n"
         "receiver: (please add the receiver's model and firmware, if you know them)\n";
}

std::string Record(std::size_t number, const ProbeQuestion& question, const Exchange& exchange) {
  return "\nquestion " + std::to_string(number) + ": " + question.asks +
         "\n  sent:     " + ShownSafely(exchange.sent) + "\n  received: " +
         (exchange.received.empty() ? "(nothing)" : ShownSafely(exchange.received)) +
         "\n  first byte: " + Milliseconds(exchange.firstByteMs) +
         "\n  last byte:  " + Milliseconds(exchange.lastByteMs) +
         "\n  our notes expect: " + question.expected + "\n";
}

// Why the report may not be written to `file`, or nothing when it may.
std::optional<std::string> TargetRefused(FileSystem& files, const std::string& file, bool force) {
  if (files.IsLink(file)) {
    return file + " is a link; the probe writes nothing through a link to another file";
  }
  if (!force && files.Exists(file)) {
    return file + " is there already; give --force to replace it, or name another file";
  }
  return std::nullopt;
}

}  // namespace

std::vector<ProbeQuestion> ProbeQuestions() {
  using namespace receiver;
  return {
      {std::string(kReadReceiveState) + "\r", "the receive state (VFO frequency, step, mode)",
       "VA RF0145000000 ST012500 AU0 MD1 AT0<0D><0A>"},
      {std::string(kReadLevel) + "\r", "the signal level",
       "LM%000<0D><0A> (squelch closed) or LM 142<0D><0A>"},
      {std::string(kReadMode) + "\r", "the mode", "MD1<0D><0A>"},
      {std::string(kReadAttenuator) + "\r", "the attenuator", "AT0<0D><0A>"},
      {std::string(kReadNoiseLimiter) + "\r", "the noise limiter", "NL0<0D><0A>"},
      {std::string(kReadPassFlag) + "\r", "the pass flag (not on a memory channel)", "?<0D><0A>"},
      {ReadBankSize('A') + "\r", "the size of memory bank A", "MW A:50 a:50<0D><0A>"},
      {ReadBankChannels('A') + "\r", "bank A's first ten channels, selecting none",
       "ten lines, each MXA00 MP0 RF... ST... AU... MD... AT... TM<name> or ---"},
      {std::string(kReadNextChannels) + "\r", "bank A's next ten channels",
       "ten more lines as above, or ? past the bank's end"},
      {"\r", "a lone CR", "nothing", false},
      {std::string(kExitRemote) + "\r", "leave remote control (the receiver's keys work again)",
       "nothing", false},
  };
}

int RunProbe(Context& ctx, SetupTools& tools, const std::string& file,
             const std::optional<std::string>& device, bool force) {
  FileSystem& files = *ctx.platform.files;
  if (const auto why = TargetRefused(files, file, force)) {
    Tell(ctx, tools, "voxrig probe: refused: " + *why + ". Nothing was written.", {"wrerr"});
    return kProbeCannotWrite;
  }
  Tell(ctx, tools, "voxrig probe: looking for the receiver.", {"probe"});
  std::optional<FoundReceiver> receiver = FindReceiver(ctx, tools, device);
  if (!receiver) {
    Tell(ctx, tools, "Nothing was written.");
    return kProbeNoReceiver;
  }
  std::string text = Header(ctx, *receiver, tools);
  text += "\nfound at: " + ShownSafely(receiver->answer) + "\n";
  const std::vector<ProbeQuestion> questions = ProbeQuestions();
  int silent = 0;
  for (std::size_t i = 0; i < questions.size(); ++i) {
    const ProbeQuestion& question = questions[i];
    const Exchange exchange =
        AskAndListen(*receiver->device, tools.clock, question.bytes, tools.limits);
    const std::string shown = ShownSafely(question.bytes);
    if (exchange.lineGone) {
      Tell(ctx, tools,
           "The line went away at question " + std::to_string(i + 1) + " (" + shown +
               "). Nothing was written.",
           {"rnc"});
      return kProbeNoReceiver;
    }
    silent = exchange.received.empty() && question.answerExpected ? silent + 1 : 0;
    if (silent >= kMostSilentAnswers) {
      Tell(ctx, tools,
           "The receiver stopped answering at question " + std::to_string(i + 1) + " (" + shown +
               "). Nothing was written.",
           {"rnc"});
      return kProbeNoReceiver;
    }
    Tell(ctx, tools,
         "  " + shown + " -> " +
             (exchange.received.empty() ? "(nothing)" : ShownSafely(exchange.received)));
    text += Record(i + 1, question, exchange);
  }
  receiver->device.reset();
  // A file or link that appeared while the receiver answered is left alone too.
  if (const auto why = TargetRefused(files, file, force)) {
    Tell(ctx, tools, "Refused: " + *why + ". Nothing was written.", {"wrerr"});
    return kProbeCannotWrite;
  }
  if (!files.ReplaceFile(file, text)) {
    Tell(ctx, tools, "Cannot write " + file + ".", {"wrerr"});
    return kProbeCannotWrite;
  }
  Tell(ctx, tools,
       "Wrote the receiver's answers to " + file +
           ". Please attach this file to an issue on the voxrig project's issue tracker: it tells "
           "us how a real AR8600 answers.",
       {"ok"});
  return kProbeDone;
}

}  // namespace voxrig
