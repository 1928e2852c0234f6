#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/startup.h"
#include "app/transcript.h"
#include "core/context.h"
#include "platform/posix_file_system.h"
#include "platform/prompt_path.h"
#include "platform/sdl_display.h"
#include "platform/sdl_sound.h"
#include "platform/sdl_window.h"
#include "platform/system_clock.h"
#include "platform/termios_serial.h"

int main(int argc, char** argv) {
  using namespace voxrig;
  std::string problem;
  const auto commandLine =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), &problem);
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

  SdlWindow window;
  SdlDisplay display(window);
  SdlSound sound;
  TermiosSerialOpener serial;
  PosixFileSystem files;
  SystemClock clock;
  std::unique_ptr<TranscriptDisplay> transcriptDisplay;
  std::unique_ptr<TranscriptSound> transcriptSound;

  Context ctx;
  ctx.platform.window = &window;
  ctx.platform.display = &display;
  ctx.platform.sound = &sound;
  ctx.platform.serial = &serial;
  ctx.platform.files = &files;
  ctx.platform.clock = &clock;
  if (transcript) {
    transcriptDisplay = std::make_unique<TranscriptDisplay>(display, *transcript);
    transcriptSound = std::make_unique<TranscriptSound>(sound, *transcript);
    ctx.platform.display = transcriptDisplay.get();
    ctx.platform.sound = transcriptSound.get();
  }
  return RunProgram(ctx);
}
