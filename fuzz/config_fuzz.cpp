// Any VOXRIG.CFG is read without crashing, and what it leaves is usable: a
// speed the serial line can be set to (or none, when the file says nothing
// usable), texts within their bounds, the voice and the debug log switched
// only by their own characters, and a port opened at exactly the speed the
// file names, never at one a number wrapped round to.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/configuration.h"
#include "core/text_rules.h"
#include "fakes/test_program.h"
#include "poll/connect_poll.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "config_fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  voxrig::fakes::TestProgram program;
  program.files.files[voxrig::kConfigurationFile] =
      std::string(reinterpret_cast<const char*>(data), size);
  const bool read = voxrig::ReadConfiguration(program.ctx);
  const voxrig::AppState& app = program.ctx.app;
  Check(read, "a configuration file that exists was not read");
  Check(app.portSetting.size() <= 254 && app.speedSetting.size() <= 254 &&
            app.radioSetting.size() <= 254,
        "a setting longer than a text holds");
  Check(app.voiceEnabled == 0 || app.voiceEnabled == 1, "the voice switch is neither 0 nor 1");
  Check(app.debugEnabled == 0 || app.debugEnabled == 1, "the debug switch is neither 0 nor 1");

  voxrig::ConnectReceiver(program.ctx);
  if (!program.line.opened.empty()) {
    const double named = voxrig::NumberFromText(app.speedSetting.str());
    Check(static_cast<double>(program.line.baudRate) == named,
          "the port was opened at another speed than the file names");
  }
  return 0;
}
