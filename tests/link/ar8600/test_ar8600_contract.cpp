// SPDX-License-Identifier: GPL-3.0-or-later
// The AR8600 as the panel's Receiver, held to what every radio behind the
// panel does alike: the real ar8600-sim on a pseudo-terminal, opened as the
// panel opens the receiver's port.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fakes/receiver_contract.h"
#include "link/ar8600/ar8600_receiver.h"
#include "posix/termios_serial.h"

extern char** environ;

namespace voxrig {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The longest an answer owed may take to arrive, well past the receiver's
// 20 ms even on a loaded machine.
constexpr auto kAnswerLimit = 3s;

// A simulated AR8600 on its line: ar8600-sim runs for as long as the line is
// open. The receiver sends its answers a byte at a time at line speed; a read
// here takes only whole lines of them, those that have arrived by the last
// LetAnswerArrive, as the panel reading a tick after its question sees them.
class SimulatedLine : public SerialDevice {
 public:
  // Null, with the reason in `error`, when the simulator did not start.
  static std::unique_ptr<SimulatedLine> Start(std::string& error) {
    auto line = std::unique_ptr<SimulatedLine>(new SimulatedLine);
    char folderTemplate[] = "/tmp/voxrig-contract-XXXXXX";
    if (mkdtemp(folderTemplate) == nullptr) {
      error = "no scratch folder";
      return nullptr;
    }
    line->folder_ = folderTemplate;
    const std::string slave = line->Spawn(AR8600_SIM_PATH);
    if (slave.empty()) {
      error = "ar8600-sim named no pseudo-terminal";
      return nullptr;
    }
    line->device_ = TermiosSerialOpener().Open(slave, 19200);
    if (!line->device_) {
      error = "cannot open " + slave;
      return nullptr;
    }
    return line;
  }

  ~SimulatedLine() override {
    device_.reset();
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      const auto deadline = Clock::now() + 5s;
      while (waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
          kill(pid_, SIGKILL);
          waitpid(pid_, nullptr, 0);
          break;
        }
        std::this_thread::sleep_for(1ms);
      }
    }
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

  // Waits until at least one whole line has arrived since the last read, or
  // the limit has passed.
  void LetAnswerArrive() {
    const auto deadline = Clock::now() + kAnswerLimit;
    while (Clock::now() < deadline) {
      char bytes[256];
      const int count = device_->Read(bytes, sizeof bytes);
      if (count > 0) coming_.append(bytes, static_cast<std::size_t>(count));
      const std::size_t end = coming_.rfind('\n');
      if (end != std::string::npos) {
        arrived_ += coming_.substr(0, end + 1);
        coming_.erase(0, end + 1);
        return;
      }
      if (count <= 0) std::this_thread::sleep_for(1ms);
    }
  }

  void SetReadTimeouts(int perByteMultiplier) override {
    device_->SetReadTimeouts(perByteMultiplier);
  }
  bool SetLineFormat(int dataBits, int parityCode, int stopBitsCode) override {
    return device_->SetLineFormat(dataBits, parityCode, stopBitsCode);
  }
  int Write(const char* bytes, int count) override { return device_->Write(bytes, count); }
  int Read(char* buffer, int maximum) override {
    const std::size_t count = std::min(arrived_.size(), static_cast<std::size_t>(maximum));
    arrived_.copy(buffer, count);
    arrived_.erase(0, count);
    return static_cast<int>(count);
  }
  int BytesWaiting() override { return static_cast<int>(arrived_.size()); }
  bool LineGone() override { return device_->LineGone(); }

 private:
  SimulatedLine() = default;

  // Starts the simulator with its link in the scratch folder and a quick
  // answer; the path of its pseudo-terminal, as it prints it.
  std::string Spawn(const std::string& program) {
    std::vector<std::string> arguments = {
        program, "--dir", folder_.string(), "--port", "1", "--reply-delay-ms", "1"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    std::string printed;
    const auto deadline = Clock::now() + 10s;
    while (pid_ > 0 && !printed.ends_with('\n') && Clock::now() < deadline) {
      pollfd watched{output[0], POLLIN, 0};
      if (poll(&watched, 1, 20) <= 0) continue;
      char byte = 0;
      if (read(output[0], &byte, 1) != 1) break;
      printed += byte;
    }
    close(output[0]);
    if (!printed.ends_with('\n')) return {};
    printed.pop_back();
    return printed;
  }

  std::unique_ptr<SerialDevice> device_;
  std::string coming_;   // bytes read from the line, the last line not yet whole
  std::string arrived_;  // whole lines, for the receiver's reads
  pid_t pid_ = -1;
  std::filesystem::path folder_;
};

std::unique_ptr<Receiver> OpenSimulatedAr8600() {
  std::string error;
  auto line = SimulatedLine::Start(error);
  if (!line) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  return std::make_unique<Ar8600Receiver>(std::move(line));
}

void LetSimulatedAnswerArrive(Receiver& radio) {
  auto* line = dynamic_cast<SimulatedLine*>(static_cast<Ar8600Receiver&>(radio).Line());
  ASSERT_NE(line, nullptr);
  line->LetAnswerArrive();
}

INSTANTIATE_TEST_SUITE_P(OnItsLine, ReceiverContract,
                         ::testing::Values(ReceiverMaker{"AR8600", OpenSimulatedAr8600,
                                                         LetSimulatedAnswerArrive}),
                         ReceiverMakerName);

}  // namespace
}  // namespace voxrig
