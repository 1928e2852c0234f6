// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/bank_csv_command.h"
#include "app/braille_panel.h"
#include "app/command_line.h"
#include "app/key_card.h"
#include "app/server_sound.h"
#include "app/startup.h"
#include "app/terminal_panel.h"
#include "app/transcript.h"
#include "braille/brlapi_braille.h"
#include "config/configuration.h"
#include "core/context.h"
#include "core/version.h"
#include "espeak/espeak_voice.h"
#include "hamlib/hamlib_library.h"
#include "link/radio_choice.h"
#include "net/net_control.h"
#include "platform/stopwatch.h"
#include "platform/text_voice.h"
#include "poll/operation.h"
#include "posix/broken_pipe.h"
#include "posix/posix_file_system.h"
#include "posix/posix_serial_survey.h"
#include "posix/posix_socket.h"
#include "posix/system_clock.h"
#include "posix/termios_serial.h"
#include "sdl/sdl_display.h"
#include "sdl/sdl_sound.h"
#include "sdl/sdl_window.h"
#include "setup/probe.h"
#include "setup/setup.h"
#include "speech/prompt_path.h"
#include "speech/prompt_set.h"
#include "speech/prompt_words.h"
#include "speech/speech.h"
#include "speechd/speechd_server.h"
#include "terminal/terminal_display.h"
#include "terminal/terminal_window.h"

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
  PosixFileSystem promptFiles;
  const std::optional<fs::path> prompts =
      FindPromptSet(promptFiles, folder, PromptSetPlaces(panelRoots));
  SdlSound sound(promptFiles, {(prompts ? prompts->parent_path() : folder).string()});
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
  TermiosDeviceLocker devices;
  HamlibLibrary hamlib(devices);
  ctx.platform.hamlib = &hamlib;
  SetupTools tools{survey, stopwatch, *console, ListenLimits{}};
  if (commandLine.probeFile)
    return RunProbe(ctx, tools, *commandLine.probeFile, commandLine.device, commandLine.force);
  SetupOptions options;
  options.workingFolder = folder.string();
  options.device = commandLine.device;
  if (commandLine.radio) options.hamlibModel = HamlibModelOf(*commandLine.radio);
  if (prompts) {
    options.promptSet = prompts->string();
    for (const std::string& root : panelRoots) {
      if (fs::path(root) / "wave" == *prompts) options.promptSetFoundByPanel = true;
    }
  }
  return RunSetup(ctx, tools, options);
}

// --help, --keys or --version: what they print.
void PrintHelpKeysOrVersion(const CommandLine& commandLine) {
  if (commandLine.help) {
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    std::cout << HelpText(PromptRootsOfThisProcess(error ? "." : here.string()));
    return;
  }
  if (commandLine.keys) {
    std::cout << kKeyCard;
    return;
  }
  std::cout << "voxrig " << kVersionText << "\n";
}

// The network port is taken before the panel starts, so a port in use is told
// here rather than found missing later. Null with the reason told when it
// cannot be had.
std::unique_ptr<NetListener> ListenForNetwork(PosixNetService& service, const NetAddress& net,
                                              OutputFile* transcript) {
  std::string error;
  std::unique_ptr<NetListener> listener = service.Listen(net.host, net.port, error);
  if (!listener) {
    std::cerr << "voxrig: cannot serve the network on " << net.host << " port " << net.port << ": "
              << error << "\n";
    return nullptr;
  }
  if (!listener->LoopbackOnly()) {
    // The protocol has no password: whoever reaches the port tunes the
    // receiver.
    const std::string warning = "listening on " + net.host + " port " +
                                std::to_string(listener->Port()) +
                                ", not the loopback: other computers can tune the receiver";
    std::cerr << "voxrig: warning: " << warning << "\n";
    if (transcript) transcript->Write("note " + warning + "\n");
  }
  return listener;
}

// What the listener meets the panel through, kept for the whole run: the
// window or the terminal, the braille line, the transcript.
struct FrontEnd {
  std::unique_ptr<SdlWindow> sdlWindow;
  std::unique_ptr<SdlDisplay> sdlDisplay;
  std::unique_ptr<TerminalDisplay> terminalDisplay;
  std::unique_ptr<TerminalWindow> terminalWindow;
  std::unique_ptr<TerminalPanel> terminalPanel;
  std::unique_ptr<BrlapiBraille> braille;
  std::unique_ptr<BraillePanel> braillePanel;
  std::unique_ptr<TranscriptDisplay> transcriptDisplay;
  std::unique_ptr<TranscriptSound> transcriptSound;
};

// The language the prompts' words are said in: the prompt set's, as its
// ".prompt-settings" notes it, English without one.
std::string PromptLanguage(FileSystem& files) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path current = fs::current_path(error);
  const fs::path folder = error ? fs::path(".") : current;
  const std::optional<fs::path> prompts =
      FindPromptSet(files, folder, PromptSetPlaces(PromptRootsOfThisProcess(folder.string())));
  if (!prompts) return PromptVoice{}.language;
  const std::string settings = (*prompts / ".prompt-settings").string();
  return ReadPromptVoice(files.ReadFile(settings).value_or("")).language;
}

// The window, or the terminal's keys and lines. The panel runs silent when
// neither speech-dispatcher (`server`, if asked for) nor a sound device
// speaks.
void OpenWindowOrTerminal(FrontEnd& front, Context& ctx, bool terminal, SdlSound& sound,
                          const SpeechServer* server, PosixFileSystem& files) {
  if (terminal) {
    front.terminalDisplay = std::make_unique<TerminalDisplay>(std::cout);
    front.terminalPanel = std::make_unique<TerminalPanel>(
        *front.terminalDisplay, *ctx.platform.sound, *ctx.platform.stopwatch,
        PromptWords::ForLanguage(PromptLanguage(files)),
        [&sound, server] { return !(server && server->Reachable()) && !sound.HasDevice(); });
    TerminalPanel* panel = front.terminalPanel.get();
    // The words of a key whose work goes on step by step make one line,
    // written once the work has ended.
    front.terminalWindow = std::make_unique<TerminalWindow>([panel, &ctx] {
      if (!OperationRunning(ctx)) panel->Flush();
    });
    ctx.platform.window = front.terminalWindow.get();
    ctx.platform.display = panel;
    ctx.platform.sound = panel;
  } else {
    front.sdlWindow = std::make_unique<SdlWindow>();
    front.sdlDisplay = std::make_unique<SdlDisplay>(*front.sdlWindow);
    ctx.platform.window = front.sdlWindow.get();
    ctx.platform.display = front.sdlDisplay.get();
  }
}

// The braille line, whenever brltty is reachable, unless switched off.
void OpenBraille(FrontEnd& front, Context& ctx, bool wanted, PosixFileSystem& files) {
  const bool brailleOff = BrailleSwitchedOff(files.ReadFile(kConfigurationFile).value_or(""));
  if (!wanted || brailleOff) return;
  front.braille = std::make_unique<BrlapiBraille>();
  front.braillePanel = std::make_unique<BraillePanel>(
      ctx, *ctx.platform.window, *ctx.platform.display, *ctx.platform.sound, *front.braille);
  ctx.platform.window = front.braillePanel.get();
  ctx.platform.display = front.braillePanel.get();
  ctx.platform.sound = front.braillePanel.get();
}

void OpenTranscript(FrontEnd& front, Context& ctx, OutputFile* transcript) {
  if (!transcript) return;
  front.transcriptDisplay = std::make_unique<TranscriptDisplay>(*ctx.platform.display, *transcript);
  front.transcriptSound = std::make_unique<TranscriptSound>(*ctx.platform.sound, *transcript);
  ctx.platform.display = front.transcriptDisplay.get();
  ctx.platform.sound = front.transcriptSound.get();
}

// speech-dispatcher, when the listener asked for it and it can be reached.
struct SpeechThroughServer {
  std::unique_ptr<SpeechdServer> server;
  std::unique_ptr<ServerSound> sound;
};

// --speech decides; without it, VOXRIG.CFG's SPEECH line.
bool SpeechServerWanted(const CommandLine& commandLine, PosixFileSystem& files) {
  if (commandLine.speech) return *commandLine.speech == SpeechOutput::kSpeechd;
  return SpeechServerChosen(files.ReadFile(kConfigurationFile).value_or(""));
}

// Every prompt through speech-dispatcher from now on; the recorded prompts
// still give the beeps, and everything once the server is lost. A server that
// cannot be reached is reported once the panel has started.
void OpenSpeechServer(SpeechThroughServer& speechd, Context& ctx, SdlSound& prompts,
                      OutputFile& messages) {
  std::string problem;
  speechd.server = SpeechdServer::Connect(problem);
  if (!speechd.server) {
    ctx.app.speechServerUnreachable = true;
    messages.Write("voxrig: speech-dispatcher: " + problem + "\n");
    return;
  }
  speechd.sound = std::make_unique<ServerSound>(
      *speechd.server, prompts, PromptWords::ForLanguage(PromptLanguage(*ctx.platform.files)),
      messages);
  ctx.platform.sound = speechd.sound.get();
}

// The panel itself, in its window or terminal, on the real devices.
int RunPanel(const CommandLine& commandLine, OutputFile* transcript) {
  std::unique_ptr<PosixNetService> netService;
  std::unique_ptr<NetListener> netListener;
  if (commandLine.net) {
    netService = std::make_unique<PosixNetService>();
    netListener = ListenForNetwork(*netService, *commandLine.net, transcript);
    if (!netListener) return kExitUsage;
  }
  if (commandLine.terminal && !TerminalWindow::StandardInputIsTerminal()) {
    std::cerr << "voxrig: --terminal reads its keys from a terminal, and its input is none\n";
    return kExitUsage;
  }

  std::error_code noFolder;
  const std::filesystem::path here = std::filesystem::current_path(noFolder);
  PosixFileSystem promptFiles;
  SdlSound sound(promptFiles, PromptRootsOfThisProcess(noFolder ? "." : here.string()));
  sound.SetTextVoiceMaker(
      [](const PromptVoice& voice) { return std::make_unique<EspeakVoice>(voice); });
  TermiosSerialOpener serial;
  TermiosDeviceLocker devices;
  HamlibLibrary hamlib(devices);
  PosixFileSystem files;
  SystemClock clock;
  SteadyStopwatch stopwatch;
  const auto messages = StreamOutputFile::StandardError();
  Context ctx;
  ctx.platform.sound = &sound;
  ctx.platform.serial = &serial;
  ctx.platform.hamlib = &hamlib;
  ctx.platform.files = &files;
  ctx.platform.clock = &clock;
  ctx.platform.messages = messages.get();
  ctx.platform.stopwatch = &stopwatch;
  ctx.speech.wholeReadouts = commandLine.wholeReadouts;
  if (!commandLine.names) KeepNamesSilent(ctx);
  SpeechThroughServer speechd;
  if (SpeechServerWanted(commandLine, files)) OpenSpeechServer(speechd, ctx, sound, *messages);
  FrontEnd front;
  OpenWindowOrTerminal(front, ctx, commandLine.terminal, sound, speechd.server.get(), files);
  OpenBraille(front, ctx, commandLine.braille, files);
  OpenTranscript(front, ctx, transcript);
  // Clients are answered as soon as their bytes arrive: the window wakes for
  // them, and the speech plays beside the loop.
  if (netListener) {
    StartNetControl(ctx, std::move(netListener), stopwatch);
    Window* window = ctx.platform.window;
    netService->OnActivity([window] { window->PostNetworkActivity(); });
  }
  // The receiver's answers are read as they arrive, woken the same way,
  // and a radio driven through Hamlib answers from a thread of its own.
  {
    Window* window = ctx.platform.window;
    serial.OnArrival([window] { window->PostRadioActivity(); });
    hamlib.OnAnswer([window] { window->PostRadioActivity(); });
  }
  const int exitCode = RunProgram(ctx);
  hamlib.OnAnswer({});
  serial.OnArrival({});
  // What the last key said ("quit") is written before the panel ends.
  if (front.terminalPanel) front.terminalPanel->Flush();
  if (netService) netService->OnActivity({});
  return exitCode;
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
  if (commandLine->help || commandLine->keys || commandLine->version) {
    PrintHelpKeysOrVersion(*commandLine);
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
  return RunPanel(*commandLine, transcript.get());
}
