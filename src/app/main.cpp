#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/bank_csv_command.h"
#include "app/braille_panel.h"
#include "app/command_line.h"
#include "app/startup.h"
#include "app/terminal_sound.h"
#include "app/transcript.h"
#include "config/configuration.h"
#include "core/context.h"
#include "net/net_control.h"
#include "platform/brlapi_braille.h"
#include "platform/broken_pipe.h"
#include "platform/posix_file_system.h"
#include "platform/posix_serial_survey.h"
#include "platform/posix_socket.h"
#include "platform/prompt_path.h"
#include "platform/prompt_set.h"
#include "platform/sdl_display.h"
#include "platform/sdl_sound.h"
#include "platform/sdl_window.h"
#include "platform/stopwatch.h"
#include "platform/system_clock.h"
#include "platform/terminal_display.h"
#include "platform/terminal_window.h"
#include "platform/termios_serial.h"
#include "setup/probe.h"
#include "setup/setup.h"

namespace {

using namespace voxrig;

// The set-up and the probe: no window, their steps printed on the terminal
// and spoken with the prompt set found for the working folder.
int RunSetupOrProbe(const CommandLine& commandLine, OutputFile* transcript) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path current = fs::current_path(error);
  const fs::path folder = error ? fs::path(".") : current;
  const std::vector<std::string> panelRoots = PromptRootsOfThisProcess(folder.string());
  const std::optional<fs::path> prompts = FindPromptSet(folder, PromptSetPlaces(panelRoots));
  SdlSound sound(prompts ? prompts->parent_path() : folder);
  std::unique_ptr<TranscriptSound> transcriptSound;
  PosixFileSystem files;
  SystemClock clock;
  PosixSerialSurvey survey;
  SteadyStopwatch stopwatch;
  const auto console = StreamOutputFile::Open("-");

  Context ctx;
  ctx.platform.sound = &sound;
  ctx.platform.files = &files;
  ctx.platform.clock = &clock;
  ctx.platform.stopwatch = &stopwatch;
  if (transcript) {
    transcriptSound = std::make_unique<TranscriptSound>(sound, *transcript);
    ctx.platform.sound = transcriptSound.get();
  }
  // Without a prompt set the steps are printed only.
  ctx.app.voicePrefix = prompts ? prompts->filename().string() + "\\" : "";
  ctx.app.waveFolder = ctx.app.voicePrefix;
  SetupTools tools{survey, stopwatch, *console, ListenLimits{}};
  if (commandLine.probeFile)
    return RunProbe(ctx, tools, *commandLine.probeFile, commandLine.device, commandLine.force);
  SetupOptions options;
  options.workingFolder = folder.string();
  options.device = commandLine.device;
  if (prompts) {
    options.promptSet = prompts->string();
    for (const std::string& root : panelRoots) {
      if (fs::path(root) / "wave" == *prompts) options.promptSetFoundByPanel = true;
    }
  }
  return RunSetup(ctx, tools, options);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace voxrig;
  IgnoreBrokenPipes();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  {
    // Bank files to and from CSV run without the window or the receiver.
    PosixFileSystem files;
    if (const auto exitCode = RunBankCsvCommand(arguments, files, std::cout, std::cerr)) {
      return *exitCode;
    }
  }
  std::string problem;
  const auto commandLine = ParseCommandLine(arguments, &problem);
  if (!commandLine) {
    std::cerr << problem << "\n";
    return kExitUsage;
  }
  if (commandLine->help) {
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    std::cout << HelpText(PromptRootsOfThisProcess(error ? "." : here.string()));
    return 0;
  }
  if (commandLine->version) {
    std::cout << "voxrig " << AppState{}.versionText.str() << "\n";
    return 0;
  }
  std::unique_ptr<StreamOutputFile> transcript;
  if (commandLine->transcriptPath) {
    transcript = StreamOutputFile::Open(*commandLine->transcriptPath);
    if (!transcript) {
      std::cerr << "voxrig: cannot write the transcript " << *commandLine->transcriptPath << "\n";
      return kExitUsage;
    }
  }
  if (commandLine->setup || commandLine->probeFile) {
    return RunSetupOrProbe(*commandLine, transcript.get());
  }

  // The port is taken before the panel starts, so a port in use is told
  // here rather than found missing later.
  std::unique_ptr<NetListener> netListener;
  if (commandLine->net) {
    PosixNetService net;
    std::string error;
    netListener = net.Listen(commandLine->net->host, commandLine->net->port, error);
    if (!netListener) {
      std::cerr << "voxrig: cannot serve the network on " << commandLine->net->host << " port "
                << commandLine->net->port << ": " << error << "\n";
      return kExitUsage;
    }
  }

  if (commandLine->terminal && !TerminalWindow::StandardInputIsTerminal()) {
    std::cerr << "voxrig: --terminal reads its keys from a terminal, and its input is none\n";
    return kExitUsage;
  }

  SdlSound sound;
  TermiosSerialOpener serial;
  PosixFileSystem files;
  SystemClock clock;
  SteadyStopwatch stopwatch;
  Context ctx;
  ctx.platform.sound = &sound;
  ctx.platform.serial = &serial;
  ctx.platform.files = &files;
  ctx.platform.clock = &clock;
  ctx.platform.stopwatch = &stopwatch;
  ctx.speech.wholeReadouts = commandLine->wholeReadouts;

  // The front end: the window, or the terminal's keys and lines.
  std::unique_ptr<SdlWindow> sdlWindow;
  std::unique_ptr<SdlDisplay> sdlDisplay;
  std::unique_ptr<TerminalDisplay> terminalDisplay;
  std::unique_ptr<TerminalWindow> terminalWindow;
  std::unique_ptr<TerminalSound> terminalSound;
  if (commandLine->terminal) {
    terminalDisplay = std::make_unique<TerminalDisplay>(std::cout);
    TerminalDisplay* lines = terminalDisplay.get();
    terminalWindow = std::make_unique<TerminalWindow>([lines] { lines->Flush(); });
    terminalSound =
        std::make_unique<TerminalSound>(sound, *lines, [&sound] { return !sound.HasDevice(); });
    ctx.platform.window = terminalWindow.get();
    ctx.platform.display = terminalDisplay.get();
    ctx.platform.sound = terminalSound.get();
  } else {
    sdlWindow = std::make_unique<SdlWindow>();
    sdlDisplay = std::make_unique<SdlDisplay>(*sdlWindow);
    ctx.platform.window = sdlWindow.get();
    ctx.platform.display = sdlDisplay.get();
  }

  // The braille line, whenever brltty is reachable, unless switched off.
  std::unique_ptr<BrlapiBraille> braille;
  std::unique_ptr<BraillePanel> braillePanel;
  const bool brailleOff = BrailleSwitchedOff(files.ReadFile(kConfigurationFile).value_or(""));
  if (commandLine->braille && !brailleOff) {
    braille = std::make_unique<BrlapiBraille>();
    braillePanel = std::make_unique<BraillePanel>(ctx, *ctx.platform.window, *ctx.platform.display,
                                                  *ctx.platform.sound, *braille);
    ctx.platform.window = braillePanel.get();
    ctx.platform.display = braillePanel.get();
    ctx.platform.sound = braillePanel.get();
  }

  std::unique_ptr<TranscriptDisplay> transcriptDisplay;
  std::unique_ptr<TranscriptSound> transcriptSound;
  if (transcript) {
    transcriptDisplay = std::make_unique<TranscriptDisplay>(*ctx.platform.display, *transcript);
    transcriptSound = std::make_unique<TranscriptSound>(*ctx.platform.sound, *transcript);
    ctx.platform.display = transcriptDisplay.get();
    ctx.platform.sound = transcriptSound.get();
  }
  if (netListener) StartNetControl(ctx, std::move(netListener));
  return RunProgram(ctx);
}
