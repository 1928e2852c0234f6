// SPDX-License-Identifier: GPL-3.0-or-later
// ar8600-sim: the AR8600 receiver, simulated on a pseudo-terminal, for the
// panel's tests and demonstrations. See --help for its options and files.
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "engine.h"
#include "options.h"
#include "pty_line.h"
#include "serve.h"

namespace {

using namespace ar8600sim;

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream contents;
  contents << file.rdbuf();
  text = contents.str();
  return true;
}

// The engine's set-up from the options and the files they name; false (with
// a message on stderr) when a file is missing or malformed.
bool Configure(const Options& options, EngineConfig& config) {
  config.baud = options.baud;
  config.resizeMs = options.resizeMs;
  config.seed = options.seed;
  config.faults = options.faults;
  config.dropAfter = options.dropAfter;
  std::string text;
  if (!options.signalsFile.empty()) {
    if (!ReadWholeFile(options.signalsFile, text)) {
      std::cerr << "ar8600-sim: cannot read " << options.signalsFile << "\n";
      return false;
    }
    SignalsLoad signals = ParseSignalsFile(text);
    if (!signals.error.empty()) {
      std::cerr << "ar8600-sim: " << options.signalsFile << " line " << signals.line << ": "
                << signals.error << "\n";
      return false;
    }
    config.signals = std::move(signals.signals);
  }
  if (!options.memoryIn.empty()) {
    if (!ReadWholeFile(options.memoryIn, text)) {
      std::cerr << "ar8600-sim: cannot read " << options.memoryIn << "\n";
      return false;
    }
    const MemoryLoad memory = LoadMemoryFile(text, config.memory);
    if (!memory.ok) {
      std::cerr << "ar8600-sim: " << options.memoryIn << " line " << memory.line << ": "
                << memory.error << "\n";
      return false;
    }
  }
  return true;
}

int Run(const Options& options) {
  EngineConfig config;
  if (!Configure(options, config)) return 2;

  // Signals arrive as readable events of one descriptor, handled in the loop.
  sigset_t handled;
  sigemptyset(&handled);
  for (int signal : {SIGTERM, SIGINT, SIGUSR1, SIGHUP}) sigaddset(&handled, signal);
  sigprocmask(SIG_BLOCK, &handled, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  const int signalFd = signalfd(-1, &handled, SFD_CLOEXEC);
  if (signalFd < 0) {
    std::cerr << "ar8600-sim: signalfd failed\n";
    return 1;
  }

  std::FILE* wireLog = nullptr;
  if (!options.wireLog.empty() && (wireLog = std::fopen(options.wireLog.c_str(), "w")) == nullptr) {
    std::cerr << "ar8600-sim: cannot write " << options.wireLog << "\n";
    return 2;
  }
  std::string error;
  auto line = PtyLine::Open(options.baud, error);
  std::unique_ptr<ComLink> link;
  if (line) link = ComLink::Make(options.dir, options.port, line->slavePath(), error);
  if (!line || !link) {
    std::cerr << "ar8600-sim: " << error << "\n";
    if (wireLog != nullptr) std::fclose(wireLog);
    return 1;
  }
  std::cout << line->slavePath() << std::endl;

  Engine engine(std::move(config));
  Serve(engine, *line, *link, signalFd, {wireLog, options.memoryOut, options.controlFile});

  link->Remove();
  line->Close();
  const bool written = WriteMemoryFile(engine.receiver().memory(), options.memoryOut);
  if (wireLog != nullptr) std::fclose(wireLog);
  close(signalFd);
  if (!written) std::cerr << "ar8600-sim: cannot write " << options.memoryOut << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const ParsedOptions parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::cerr << "ar8600-sim: " << parsed.error << " (see --help)\n";
    return 2;
  }
  if (parsed.options.help) {
    std::cout << UsageText();
    return 0;
  }
  return Run(parsed.options);
}
