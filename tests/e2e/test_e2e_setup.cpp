// SPDX-License-Identifier: GPL-3.0-or-later
// The set-up and the probe on real pseudo-terminals: the simulated receiver
// at each of its speeds, a silent one, one that babbles, one that hangs up,
// and a port another process holds; then, from an empty folder, voxrig
// --setup and the panel itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "e2e/panel_rig.h"
#include "fakes/test_program.h"
#include "posix/posix_file_system.h"
#include "posix/posix_serial_survey.h"
#include "setup/probe.h"
#include "setup/setup.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using namespace voxrig;
using Clock = std::chrono::steady_clock;

struct Console : OutputFile {
  bool Write(const std::string& bytes) override {
    text += bytes;
    return true;
  }
  std::string text;
};

// The set-up run inside the test against the machine's real serial layer,
// its working folder a scratch folder, the simulator's link in "receiver/".
class SetupOnARealLine : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch = std::make_unique<ScratchFolder>(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    files = std::make_unique<PosixFileSystem>(scratch->path());
    program.ctx.platform.files = files.get();
  }

  void StartSimulator(const std::vector<std::string>& options) {
    fs::create_directories(scratch->File("receiver"));
    ChildSpec launch;
    launch.program = SIMULATOR_PROGRAM;
    launch.arguments = {"--dir", scratch->File("receiver")};
    launch.arguments.insert(launch.arguments.end(), options.begin(), options.end());
    launch.outputFile = scratch->File("simulator.out");
    simulator = std::make_unique<ChildProcess>(launch);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!FileExists(Link())) {
      ASSERT_LT(Clock::now(), deadline) << ReadTextFile(scratch->File("simulator.out"));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  std::string Link() const { return scratch->File("receiver/COM1"); }

  // Runs the set-up (or the probe into probe.txt) on the simulator's link;
  // returns the exit status and how long it took.
  std::pair<int, double> Run(bool probe = false) {
    SetupOptions options{scratch->path(), Link(), std::string(E2E_PROMPT_DIR)};
    const auto start = Clock::now();
    const int status = probe ? RunProbe(program.ctx, tools, "probe.txt", Link())
                             : RunSetup(program.ctx, tools, options);
    return {status, std::chrono::duration<double>(Clock::now() - start).count()};
  }
  bool Printed(const std::string& text) const {
    return console.text.find(text) != std::string::npos;
  }

  std::unique_ptr<ScratchFolder> scratch;
  std::unique_ptr<PosixFileSystem> files;
  std::unique_ptr<ChildProcess> simulator;
  fakes::TestProgram program;
  PosixSerialSurvey survey;
  SteadyStopwatch stopwatch;
  Console console;
  SetupTools tools{survey, stopwatch, console, ListenLimits{300, 100, 600}};
};

TEST_F(SetupOnARealLine, FindsTheSimulatedReceiverAtEachOfItsSpeeds) {
  for (const int speed : {19200, 9600, 4800}) {
    SetUp();
    StartSimulator({"--baud", std::to_string(speed)});
    const auto [status, seconds] = Run();
    ASSERT_EQ(status, kSetupDone) << console.text;
    EXPECT_EQ(ReadTextFile(scratch->File("VOXRIG.CFG")),
              "PORT=COM1\r\nSPEED=" + std::to_string(speed) +
                  "\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n");
    EXPECT_EQ(fs::read_symlink(scratch->File("COM1")), Link());
    EXPECT_EQ(fs::read_symlink(scratch->File("wave")), E2E_PROMPT_DIR);
    EXPECT_TRUE(Printed("Receiver found on " + Link() + " at " + std::to_string(speed) + " baud."))
        << console.text;
    EXPECT_LT(seconds, 10.0);
    simulator.reset();
    console.text.clear();
  }
}

TEST_F(SetupOnARealLine, SilenceGarbageAndAHangUpAreToldAndWriteNothing) {
  struct Row {
    std::vector<std::string> options;
    bool probe;
    std::string printed;
  };
  const Row rows[] = {
      {{"--silent"}, false, "no answer at 19200, 9600 or 4800 baud"},
      {{"--garbage"}, false, "answers that are not the receiver's, at every speed"},
      {{"--silent"}, true, "No receiver answered."},
      {{"--drop-after", "5"}, true, "The line went away at question 4 (AT<0D>)"},
  };
  for (const Row& row : rows) {
    SetUp();
    WriteTextFile(scratch->File("VOXRIG.CFG"), "old");
    StartSimulator(row.options);
    const auto [status, seconds] = Run(row.probe);
    EXPECT_EQ(status, row.probe ? kProbeNoReceiver : kSetupNoReceiver) << row.options[0];
    EXPECT_TRUE(Printed(row.printed)) << row.options[0] << "\n" << console.text;
    EXPECT_TRUE(Printed("Nothing was written.")) << console.text;
    EXPECT_EQ(ReadTextFile(scratch->File("VOXRIG.CFG")), "old");
    EXPECT_FALSE(FileExists(scratch->File("COM1")));
    EXPECT_FALSE(FileExists(scratch->File("probe.txt")));
    EXPECT_LT(seconds, 10.0) << row.options[0];
    simulator.reset();
    console.text.clear();
  }
}

TEST_F(SetupOnARealLine, APortHeldByAnotherProcessNamesItAndHowToStopIt) {
  StartSimulator({});
  const std::string device = fs::canonical(Link()).string();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    // The child takes the port as brltty would, under brltty's name.
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY);
    prctl(PR_SET_NAME, "brltty");
    const char ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
    (void)!write(ready[1], &ok, 1);
    for (;;) pause();
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  close(ready[0]);
  close(ready[1]);
  const auto [status, seconds] = Run();
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  ASSERT_EQ(ok, 'y');
  EXPECT_EQ(status, kSetupNoReceiver);
  EXPECT_TRUE(Printed("In use by another program")) << console.text;
  EXPECT_TRUE(Printed("Held by brltty (process " + std::to_string(holder) + ")")) << console.text;
  EXPECT_TRUE(Printed("sudo systemctl stop brltty")) << console.text;
  EXPECT_FALSE(FileExists(scratch->File("VOXRIG.CFG")));
}

TEST_F(SetupOnARealLine, TheProbeRecordsTheSimulatorsAnswersWithTheirTimes) {
  StartSimulator({"--baud", "9600"});
  const auto [status, seconds] = Run(true);
  ASSERT_EQ(status, kProbeDone) << console.text;
  const std::string file = ReadTextFile(scratch->File("probe.txt"));
  EXPECT_NE(file.find("line: 9600 baud, 8 data bits, no parity, 2 stop bits"), std::string::npos);
  EXPECT_NE(
      file.find("  sent:     RX<0D>\n  received: VA RF0145000000 ST012500 AU0 MD1 AT0<0D><0A>\n"
                "  first byte: "),
      std::string::npos)
      << file;
  EXPECT_NE(file.find("  sent:     MAA<0D>\n  received: ---<0D><0A>---<0D><0A>"), std::string::npos)
      << file;
  EXPECT_EQ(file.find("first byte: 0 ms"), std::string::npos) << "the receiver answers 7 ms on";
  EXPECT_LT(seconds, 15.0);
}

// voxrig --setup in a folder holding nothing of the panel's, then the panel.
class SetupThenPanel : public PanelRig {};

TEST_F(SetupThenPanel, SetupInAnEmptyFolderThenThePanelConnects) {
  StartSimulator({"--baud", "9600"}, "receiver");
  const std::optional<int> status =
      RunVoxrig({"--setup", "--device", Path("receiver/COM1"), "--transcript", Path("setup.txt")},
                "setup.out");
  ASSERT_EQ(status, 0) << ReadFile("setup.out");
  EXPECT_EQ(ReadFile("VOXRIG.CFG"),
            "PORT=COM1\r\nSPEED=9600\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n");
  EXPECT_EQ(fs::read_symlink(Path("wave")), E2E_PROMPT_DIR);
  const std::string spoken = ReadFile("setup.txt");
  EXPECT_NE(spoken.find("\\setup\n"), std::string::npos) << spoken;
  EXPECT_NE(spoken.find("\\found\nprompt wave-short\\9\n"), std::string::npos) << spoken;
  EXPECT_NE(spoken.find("\\ok\n"), std::string::npos) << spoken;
  EXPECT_NE(ReadFile("setup.out").find("ok: start the panel"), std::string::npos);

  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));
  RequestCloseOfPanel();
  EXPECT_EQ(WaitForPanelExit(), 0);
}

}  // namespace
}  // namespace e2e
