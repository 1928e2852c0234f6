// The real ar8600-sim program on a real pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// Reads from `fd` until `text` ends with `end` or the time is up.
std::string ReadUntil(int fd, const std::string& end, int timeoutMs) {
  std::string text;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < deadline && !(text.size() >= end.size() && text.ends_with(end))) {
    pollfd watched{fd, POLLIN, 0};
    if (poll(&watched, 1, 20) <= 0) continue;
    char bytes[256];
    const ssize_t count = read(fd, bytes, sizeof bytes);
    if (count <= 0) break;
    text.append(bytes, static_cast<std::size_t>(count));
  }
  return text;
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

// One running simulator in a folder of its own, ended when the test ends.
class RunningSimulator {
 public:
  explicit RunningSimulator(std::vector<std::string> extraArguments) {
    char folderTemplate[] = "/tmp/ar8600-sim-test-XXXXXX";
    folder_ = mkdtemp(folderTemplate);
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
    fs::remove_all(folder_);
  }

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

TEST(SimProgram, AnswersOnTheComLinkLogsTheWireAndDumpsMemory) {
  RunningSimulator simulator({});
  ASSERT_GT(simulator.pid(), 0);
  ASSERT_FALSE(simulator.slavePath().empty());
  ASSERT_TRUE(fs::is_symlink(simulator.link()));
  EXPECT_EQ(fs::read_symlink(simulator.link()).string(), simulator.slavePath());

  int port = simulator.OpenPort();
  ASSERT_GE(port, 0);
  ASSERT_EQ(write(port, "LM\r", 3), 3);
  EXPECT_EQ(ReadUntil(port, "\r\n", 2000), "LM%000\r\n");
  close(port);
  const fs::path wireLog = simulator.folder() / "wire.log";
  ASSERT_TRUE(WaitFor([&] { return ReadFile(wireLog).ends_with("\n"); }));
  EXPECT_TRUE(std::regex_match(ReadFile(wireLog), std::regex("[0-9]+ LM\n"))) << ReadFile(wireLog);

  // The port still works after the client closed it and opens it again.
  port = simulator.OpenPort();
  ASSERT_GE(port, 0);
  const std::string channel = "MXB01 RF0145500000 ST012500 MD1 TMDemo\r";
  ASSERT_EQ(write(port, channel.data(), channel.size()), static_cast<ssize_t>(channel.size()));
  EXPECT_EQ(ReadUntil(port, "\r\n", 2000), "\r\n");
  close(port);

  const fs::path memory = simulator.folder() / "memory.txt";
  kill(simulator.pid(), SIGUSR1);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(memory); }));
  EXPECT_EQ(ReadFile(memory), "B01 0145500000 MD1 ST012500 MP0 TMDemo        \n");

  EXPECT_EQ(simulator.Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(simulator.link())));
  const std::string log = ReadFile(wireLog);
  EXPECT_NE(log.find(" MXB01 RF0145500000 ST012500 MD1 TMDemo\n"), std::string::npos) << log;
}

TEST(SimProgram, HangsUpAfterTheGivenNumberOfCommands) {
  RunningSimulator simulator({"--drop-after", "1"});
  ASSERT_GT(simulator.pid(), 0);
  const int port = simulator.OpenPort();
  ASSERT_GE(port, 0);
  ASSERT_EQ(write(port, "RX\r", 3), 3);
  EXPECT_EQ(ReadUntil(port, "\r\n", 2000), "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n");
  // The line is gone: the port reports the hang-up and its link vanishes.
  EXPECT_TRUE(WaitFor([&] { return !fs::exists(fs::symlink_status(simulator.link())); }));
  pollfd watched{port, POLLIN, 0};
  EXPECT_EQ(poll(&watched, 1, 1000), 1);
  EXPECT_NE(watched.revents & (POLLHUP | POLLERR), 0);
  close(port);
  EXPECT_EQ(simulator.Stop(), 0);
}

TEST(SimProgram, ControlFileSwitchesFaultsOnSighup) {
  char folderTemplate[] = "/tmp/ar8600-sim-control-XXXXXX";
  const fs::path files = mkdtemp(folderTemplate);
  const fs::path control = files / "control.txt";
  RunningSimulator simulator({"--control", control.string()});
  ASSERT_GT(simulator.pid(), 0);
  const int port = simulator.OpenPort();
  ASSERT_GE(port, 0);

  std::ofstream(control) << "silent on\n";
  kill(simulator.pid(), SIGHUP);
  // The simulator reads the file at once; a command written 100 ms later
  // finds it silent.
  usleep(100'000);
  ASSERT_EQ(write(port, "LM\r", 3), 3);
  EXPECT_EQ(ReadUntil(port, "\r\n", 300), "");

  std::ofstream(control) << "silent off\n";
  kill(simulator.pid(), SIGHUP);
  usleep(100'000);
  ASSERT_EQ(write(port, "LM\r", 3), 3);
  EXPECT_EQ(ReadUntil(port, "\r\n", 2000), "LM%000\r\n");
  close(port);
  EXPECT_EQ(simulator.Stop(), 0);
  // Both commands reached the receiver, answered or not.
  EXPECT_TRUE(std::regex_match(ReadFile(simulator.folder() / "wire.log"),
                               std::regex("[0-9]+ LM\n[0-9]+ LM\n")));
  fs::remove_all(files);
}

TEST(SimProgram, StartsWithTheGivenMemoryAndSignalsAndRefusesBadFiles) {
  char folderTemplate[] = "/tmp/ar8600-sim-files-XXXXXX";
  const fs::path files = mkdtemp(folderTemplate);
  std::ofstream(files / "memory.txt") << "MW A:90 a:10\nA89 145.8 TMStart\n";
  std::ofstream(files / "signals.txt") << "145.8 77\n";
  std::ofstream(files / "bad.txt") << "145.8 999\n";
  {
    RunningSimulator simulator({"--memory-in", (files / "memory.txt").string(), "--signals",
                                (files / "signals.txt").string()});
    const int port = simulator.OpenPort();
    ASSERT_GE(port, 0);
    ASSERT_EQ(write(port, "MWA\rMRA89\rLM\r", 13), 13);
    EXPECT_EQ(ReadUntil(port, "LM 077\r\n", 2000), "MW A:90 a:10\r\n\r\nLM 077\r\n");
    close(port);
    EXPECT_EQ(simulator.Stop(), 0);
    EXPECT_EQ(ReadFile(simulator.folder() / "memory.txt"),
              "MW A:90 a:10\nA89 0145800000 MD1 ST012500 MP0 TMStart       \n");
  }
  const std::string refused = std::string(AR8600_SIM_PATH) + " --dir " + files.string() +
                              " --signals " + (files / "bad.txt").string() + " 2>/dev/null";
  const int status = std::system(refused.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
  EXPECT_FALSE(fs::exists(fs::symlink_status(files / "COM1")));
  fs::remove_all(files);
}

}  // namespace
