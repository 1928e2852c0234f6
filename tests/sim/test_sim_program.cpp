// SPDX-License-Identifier: GPL-3.0-or-later
// The real ar8600-sim program on a real pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Reads from `fd` until `enough` holds for what came, the line hangs up or
// the time is up.
template <typename Enough>
std::string ReadWhileNot(int fd, int timeoutMs, Enough enough) {
  std::string text;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < deadline && !enough(text)) {
    pollfd watched{fd, POLLIN, 0};
    if (poll(&watched, 1, 20) <= 0) continue;
    char bytes[256];
    const ssize_t count = read(fd, bytes, sizeof bytes);
    if (count <= 0) break;
    text.append(bytes, static_cast<std::size_t>(count));
  }
  return text;
}

// Until the text ends with `end`.
std::string ReadUntil(int fd, const std::string& end, int timeoutMs) {
  return ReadWhileNot(fd, timeoutMs,
                      [&end](const std::string& text) { return text.ends_with(end); });
}

// Until `count` bytes came; with 0, all that comes in the time.
std::string ReadBytes(int fd, std::size_t count, int timeoutMs) {
  return ReadWhileNot(fd, timeoutMs, [count](const std::string& text) {
    return count != 0 && text.size() >= count;
  });
}

// Polls until `ready` holds or two seconds have passed.
template <typename Ready>
bool WaitFor(Ready ready) {
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  while (!ready()) {
    if (Clock::now() > deadline) return false;
    usleep(10'000);
  }
  return true;
}

// Writes `commands` whole and reads the answer up to `end`.
std::string Exchange(int port, const std::string& commands, const std::string& end,
                     int timeoutMs = 2000) {
  if (write(port, commands.data(), commands.size()) != static_cast<ssize_t>(commands.size())) {
    return "(write failed)";
  }
  return ReadUntil(port, end, timeoutMs);
}

// One running simulator on the link COM4 of `folder`, ended when it goes.
class RunningSimulator {
 public:
  RunningSimulator(const fs::path& folder, std::vector<std::string> extraArguments)
      : folder_(folder) {
    std::vector<std::string> arguments = {AR8600_SIM_PATH,
                                          "--dir",
                                          folder_.string(),
                                          "--port",
                                          "4",
                                          "--wire-log",
                                          (folder_ / "wire.log").string(),
                                          "--memory-out",
                                          (folder_ / "memory.txt").string()};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int output[2];
    if (pipe(output) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    slavePath_ = ReadUntil(output[0], "\n", 3000);
    close(output[0]);
    if (!slavePath_.empty()) slavePath_.pop_back();
  }

  ~RunningSimulator() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  RunningSimulator(const RunningSimulator&) = delete;
  RunningSimulator& operator=(const RunningSimulator&) = delete;

  // SIGTERM, then the exit status.
  int Stop() {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  pid_t pid() const { return pid_; }
  const fs::path& folder() const { return folder_; }
  const std::string& slavePath() const { return slavePath_; }
  fs::path link() const { return folder_ / "COM4"; }

  int OpenPort() const { return open(link().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK); }

 private:
  fs::path folder_;
  pid_t pid_ = -1;
  std::string slavePath_;
};

// The one fixture: a scratch folder for the link, the logs and the files a
// test gives the simulator, removed when the test ends.
class SimProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char folderTemplate[] = "/tmp/ar8600-sim-test-XXXXXX";
    files = mkdtemp(folderTemplate);
  }
  void TearDown() override { fs::remove_all(files); }

  // A simulator on files/COM4; the test fails at once when it did not start.
  std::unique_ptr<RunningSimulator> Start(std::vector<std::string> options = {}) {
    auto simulator = std::make_unique<RunningSimulator>(files, std::move(options));
    EXPECT_GT(simulator->pid(), 0);
    EXPECT_FALSE(simulator->slavePath().empty());
    return simulator;
  }

  fs::path files;
};

TEST_F(SimProgram, AnswersOnTheComLinkLogsTheWireAndDumpsMemory) {
  auto simulator = Start();
  ASSERT_TRUE(fs::is_symlink(simulator->link()));
  EXPECT_EQ(fs::read_symlink(simulator->link()).string(), simulator->slavePath());

  int port = simulator->OpenPort();
  ASSERT_GE(port, 0);
  EXPECT_EQ(Exchange(port, "LM\r", "\r\n"), "LM%000\r\n");
  close(port);
  const fs::path wireLog = files / "wire.log";
  ASSERT_TRUE(WaitFor([&] { return ReadFile(wireLog).ends_with("\n"); }));
  EXPECT_TRUE(std::regex_match(ReadFile(wireLog), std::regex("[0-9]+ LM\n"))) << ReadFile(wireLog);

  // The port still works after the client closed it and opens it again.
  port = simulator->OpenPort();
  ASSERT_GE(port, 0);
  EXPECT_EQ(Exchange(port, "MXB01 RF0145500000 ST012500 MD1 TMDemo\r", "\r\n"), "\r\n");
  close(port);

  const fs::path memory = files / "memory.txt";
  kill(simulator->pid(), SIGUSR1);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(memory); }));
  EXPECT_EQ(ReadFile(memory), "B01 0145500000 MD1 ST012500 MP0 TMDemo        \n");

  EXPECT_EQ(simulator->Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(simulator->link())));
  const std::string log = ReadFile(wireLog);
  EXPECT_NE(log.find(" MXB01 RF0145500000 ST012500 MD1 TMDemo\n"), std::string::npos) << log;
}

TEST_F(SimProgram, HangsUpAfterTheGivenNumberOfCommands) {
  auto simulator = Start({"--drop-after", "1"});
  const int port = simulator->OpenPort();
  ASSERT_GE(port, 0);
  EXPECT_EQ(Exchange(port, "RX\r", "\r\n"), "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n");
  // The line is gone: the port reports the hang-up and its link vanishes.
  EXPECT_TRUE(WaitFor([&] { return !fs::exists(fs::symlink_status(simulator->link())); }));
  pollfd watched{port, POLLIN, 0};
  EXPECT_EQ(poll(&watched, 1, 1000), 1);
  EXPECT_NE(watched.revents & (POLLHUP | POLLERR), 0);
  close(port);
  EXPECT_EQ(simulator->Stop(), 0);
}

TEST_F(SimProgram, ControlFileSwitchesFaultsOnSighup) {
  const fs::path control = files / "control.txt";
  auto simulator = Start({"--control", control.string()});
  const int port = simulator->OpenPort();
  ASSERT_GE(port, 0);

  std::ofstream(control) << "silent on\n";
  kill(simulator->pid(), SIGHUP);
  // The simulator reads the file at once; a command written 100 ms later
  // finds it silent.
  usleep(100'000);
  EXPECT_EQ(Exchange(port, "LM\r", "\r\n", 300), "");

  std::ofstream(control) << "silent off\n";
  kill(simulator->pid(), SIGHUP);
  usleep(100'000);
  EXPECT_EQ(Exchange(port, "LM\r", "\r\n"), "LM%000\r\n");
  close(port);
  EXPECT_EQ(simulator->Stop(), 0);
  // Both commands reached the receiver, answered or not.
  EXPECT_TRUE(std::regex_match(ReadFile(files / "wire.log"), std::regex("[0-9]+ LM\n[0-9]+ LM\n")));
}

TEST_F(SimProgram, StartsWithTheGivenMemoryAndSignalsAndRefusesBadFiles) {
  std::ofstream(files / "memory-in.txt") << "MW A:90 a:10\nA89 145.8 TMStart\n";
  std::ofstream(files / "signals.txt") << "145.8 77\n";
  std::ofstream(files / "bad.txt") << "145.8 999\n";
  {
    auto simulator = Start({"--memory-in", (files / "memory-in.txt").string(), "--signals",
                            (files / "signals.txt").string()});
    const int port = simulator->OpenPort();
    ASSERT_GE(port, 0);
    EXPECT_EQ(Exchange(port, "MWA\rMRA89\rLM\r", "LM 077\r\n"), "MW A:90 a:10\r\n\r\nLM 077\r\n");
    close(port);
    EXPECT_EQ(simulator->Stop(), 0);
    EXPECT_EQ(ReadFile(files / "memory.txt"),
              "MW A:90 a:10\nA89 0145800000 MD1 ST012500 MP0 TMStart       \n");
  }
  const std::string refused = std::string(AR8600_SIM_PATH) + " --dir " + files.string() +
                              " --signals " + (files / "bad.txt").string() + " 2>/dev/null";
  const int status = std::system(refused.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
  EXPECT_FALSE(fs::exists(fs::symlink_status(files / "COM1")));
}

// What the panel meets on the port in each fault mode.
struct FaultRun {
  std::vector<std::string> options;
  std::string commands;  // written at once
  std::string answer;    // exact; with --garbage only its length counts, and no letter may come
  double atLeastMs;      // the whole answer cannot come sooner at the line's speed
  speed_t speed = B19200;
};

TEST_F(SimProgram, FaultModesShowOnTheRealLine) {
  const std::string rx = "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n";
  const auto lineMs = [](std::size_t bytes, int baud) { return bytes * 11'000.0 / baud; };
  const std::vector<FaultRun> runs = {
      {{}, "RX\r", rx, lineMs(rx.size(), 19'200)},
      {{"--baud", "9600"}, "RX\r", rx, lineMs(rx.size(), 9'600), B9600},
      {{"--baud", "4800"}, "RX\r", rx, lineMs(rx.size(), 4'800), B4800},
      {{"--silent"}, "RX\r", "", 0},
      {{"--garbage"}, "RX\r", rx, lineMs(rx.size(), 19'200)},
      {{"--search-answer", "SS"}, "VS\rRX\r", "\r\nSS RF0145000000 ST012500 AU0 MD1 AT0\r\n", 0},
      {{"--drop-after", "2"}, "LM\rLM\rLM\r", "LM%000\r\nLM%000\r\n", 0},
  };
  for (const FaultRun& run : runs) {
    const std::string name = run.options.empty() ? "no fault" : run.options.front();
    auto simulator = Start(run.options);
    const int port = simulator->OpenPort();
    ASSERT_GE(port, 0) << name;
    termios settings{};
    ASSERT_EQ(tcgetattr(port, &settings), 0) << name;
    EXPECT_EQ(cfgetospeed(&settings), run.speed) << name;
    const auto writtenAt = Clock::now();
    ASSERT_EQ(write(port, run.commands.data(), run.commands.size()),
              static_cast<ssize_t>(run.commands.size()));
    // Silence is waited for a while; a hang-up may bring nothing more.
    const std::string answer = ReadBytes(port, run.answer.size(), run.answer.empty() ? 300 : 2000);
    const double tookMs =
        std::chrono::duration<double, std::milli>(Clock::now() - writtenAt).count();
    if (name == "--garbage") {
      EXPECT_EQ(answer.size(), run.answer.size());
      EXPECT_EQ(std::count_if(answer.begin(), answer.end(),
                              [](unsigned char byte) { return std::isalpha(byte) != 0; }),
                0)
          << answer;
    } else {
      EXPECT_EQ(answer, run.answer) << name;
    }
    EXPECT_GE(tookMs, run.atLeastMs) << name;
    // Nothing follows: no stray bytes, and nothing after a hang-up.
    EXPECT_EQ(ReadBytes(port, 0, 100), "") << name;
    close(port);
    EXPECT_EQ(simulator->Stop(), 0) << name;
  }
}

TEST_F(SimProgram, ASecondSimulatorTakesOverTheLinkAndKeepsIt) {
  // A link left by a run that was killed does not stop the first one.
  fs::create_symlink("/dev/pts/no-such-line", files / "COM4");
  auto first = Start();
  auto second = Start();
  ASSERT_NE(first->slavePath(), second->slavePath());
  EXPECT_EQ(fs::read_symlink(second->link()).string(), second->slavePath());
  // The first one stopping leaves the second's link alone.
  EXPECT_EQ(first->Stop(), 0);
  ASSERT_TRUE(fs::is_symlink(second->link()));
  const int port = second->OpenPort();
  ASSERT_GE(port, 0);
  EXPECT_EQ(Exchange(port, "LM\r", "\r\n"), "LM%000\r\n");
  close(port);
  EXPECT_EQ(second->Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(files / "COM4")));
  // Anything but a link at that path is never replaced.
  std::ofstream(files / "COM4") << "not a line\n";
  RunningSimulator refused(files, {});
  EXPECT_TRUE(refused.slavePath().empty());
  EXPECT_EQ(refused.Stop(), 1);
  EXPECT_EQ(ReadFile(files / "COM4"), "not a line\n");
}

}  // namespace
