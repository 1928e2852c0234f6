// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/setup.h"

#include <vector>

#include "config/configuration.h"
#include "core/text_rules.h"
#include "setup/hamlib_search.h"

namespace voxrig {

namespace {

constexpr const char* kBackupFile = "VOXRIG.CFG.bak";
constexpr const char* kPortLink = "COM1";
constexpr const char* kPromptLink = "wave";

std::string InFolder(const SetupOptions& options, const std::string& name) {
  return options.workingFolder + "/" + name;
}

// The device as COM1 should name it: its stable by-id name when it has one
// (ttyUSB numbers change with the order adapters are plugged in), otherwise
// the path as given, made absolute so the link works from the folder.
std::string LinkTarget(SetupTools& tools, const SetupOptions& options, const std::string& path) {
  const std::string stable = tools.survey.StableName(path);
  if (!stable.empty()) return stable;
  if (path.starts_with("/")) return path;
  return InFolder(options, path);
}

int CannotWrite(Context& ctx, SetupTools& tools, const std::string& what) {
  Tell(ctx, tools,
       "Cannot write " + what +
           " in this folder; the old VOXRIG.CFG, if there was one, stays as "
           "it was. Run the set-up in a folder you may write to.",
       {"wrerr"});
  return kSetupCannotWrite;
}

// Makes the prompt set reachable from the folder as "wave"; false when
// there is none to link or the link cannot be made.
bool ReachPrompts(Context& ctx, SetupTools& tools, const SetupOptions& options) {
  const std::string wave = InFolder(options, kPromptLink);
  if (options.promptSet && (*options.promptSet == wave || options.promptSetFoundByPanel)) {
    Tell(ctx, tools, "The panel finds its prompt set in " + *options.promptSet + ".");
    return true;
  }
  if (!options.promptSet) {
    Tell(ctx, tools,
         "No prompt set found: the panel would be silent. Make one with \"make prompts\" in the "
         "source folder and run the set-up again, or name a folder of prompts in VOXRIG_PROMPTS.",
         {"nowave"});
    return false;
  }
  std::string error;
  if (!tools.survey.MakeLink(wave, *options.promptSet, error)) {
    Tell(ctx, tools,
         "The prompt set " + *options.promptSet + " could not be linked here as wave: " + error,
         {"nowave"});
    return false;
  }
  Tell(ctx, tools, "Linked the prompt set " + *options.promptSet + " here as wave.");
  return true;
}

}  // namespace

std::string SetupConfiguration(int baudRate, const std::optional<std::string>& previous,
                               const std::optional<std::string>& radioLine) {
  std::vector<std::string> kept = {"RADIO=AR8600", "VOICE=1", "DEBUG=0"};
  if (previous) {
    const std::vector<std::string> lines = SplitLines(*previous);
    for (std::size_t i = 0; i < kept.size() && i + 2 < lines.size(); ++i) kept[i] = lines[i + 2];
  }
  if (radioLine) kept[0] = *radioLine;
  std::string text =
      std::string("PORT=") + kPortLink + "\r\nSPEED=" + std::to_string(baudRate) + "\r\n";
  for (const std::string& line : kept) text += line + "\r\n";
  return text;
}

int RunSetup(Context& ctx, SetupTools& tools, const SetupOptions& options) {
  Tell(ctx, tools, "voxrig set-up: looking for the receiver.", {"setup"});
  const bool hamlib = options.hamlibModel > 0;
  std::optional<FoundReceiver> receiver =
      hamlib ? FindHamlibRadio(ctx, tools, options.hamlibModel, options.device)
             : FindReceiver(ctx, tools, options.device);
  if (!receiver) {
    Tell(ctx, tools, "Nothing was written.");
    return kSetupNoReceiver;
  }
  // The receiver's keys are given back before anything is written, so a
  // failure below leaves it as it was found.
  ReleaseReceiver(*receiver);

  FileSystem& files = *ctx.platform.files;
  const std::optional<std::string> previous = files.ReadFile(kConfigurationFile);
  if (previous && !files.ReplaceFile(kBackupFile, *previous))
    return CannotWrite(ctx, tools, kBackupFile);
  if (previous) Tell(ctx, tools, "Kept the old configuration as VOXRIG.CFG.bak.");

  const std::string target = LinkTarget(tools, options, receiver->path);
  const std::string link = InFolder(options, kPortLink);
  std::string error;
  if (target != link && !tools.survey.MakeLink(link, target, error)) {
    return CannotWrite(ctx, tools, "the link COM1 (" + error + ")");
  }
  Tell(ctx, tools, "Linked " + target + " here as COM1.");

  const std::optional<std::string> radioLine =
      hamlib ? std::optional<std::string>("RADIO=hamlib:" + std::to_string(options.hamlibModel))
             : std::nullopt;
  const std::string configuration = SetupConfiguration(receiver->baudRate, previous, radioLine);
  if (!files.ReplaceFile(kConfigurationFile, configuration)) {
    return CannotWrite(ctx, tools, kConfigurationFile);
  }
  Tell(ctx, tools,
       "Wrote VOXRIG.CFG: port COM1, " + std::to_string(receiver->baudRate) + " baud" +
           (hamlib ? ", Hamlib model " + std::to_string(options.hamlibModel) : "") + ".");

  if (!ReachPrompts(ctx, tools, options)) return kSetupNoPrompts;
  Tell(ctx, tools, "ok: start the panel with voxrig in this folder.", {"ok"});
  return kSetupDone;
}

}  // namespace voxrig
