// SPDX-License-Identifier: GPL-3.0-or-later
// Any VOXRIG.CFG is read without crashing, and what it leaves is usable: a
// speed the serial line can be set to (or none, when the file says nothing
// usable), texts within their bounds, the voice and the debug log switched
// only by the one digit at their place, and a port opened at the speed the
// file names (rounded to whole baud), never at one a number wrapped round to,
// and never another device than a path on line 1 names.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "config/configuration.h"
#include "core/text_rules.h"
#include "fakes/test_program.h"
#include "poll/connect.h"

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
  const bool read = voxrig::TakeConfiguration(program.ctx);
  const voxrig::AppState& app = program.ctx.app;
  Check(read, "a configuration file that exists was not read");
  Check(app.portSetting.size() <= 254 && app.speedSetting.size() <= 254 &&
            app.radioSetting.size() <= 254,
        "a setting longer than a text holds");

  voxrig::ConnectReceiver(program.ctx);
  // A device path on line 1 is the only port ever opened: never a COM link
  // or /dev/ttyS* in its place.
  if (app.portSetting.str().starts_with("/")) {
    for (const std::string& opened : program.line.opened) {
      Check(opened == app.portSetting.str(), "another port was opened than line 1's device");
    }
  }
  if (!program.line.opened.empty()) {
    // "SPEED=9600.4" opens at 9600: the port takes whole baud.
    const double named = voxrig::RoundToInteger(voxrig::NumberFromText(app.speedSetting.str()));
    Check(static_cast<double>(program.line.baudRate) == named,
          "the port was opened at another speed than the file names");
  }
  return 0;
}
