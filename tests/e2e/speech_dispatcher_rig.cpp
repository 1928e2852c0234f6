// SPDX-License-Identifier: GPL-3.0-or-later
#include "e2e/speech_dispatcher_rig.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The configuration installed, at log level 5, with the espeak-ng module and
// libao for its sound.
void WriteConfiguration(const fs::path& folder) {
  fs::copy("/etc/speech-dispatcher", folder, fs::copy_options::recursive);
  std::istringstream lines(ReadAll(folder / "speechd.conf"));
  std::string conf;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("LogLevel", 0) == 0) line = "LogLevel 5";
    if (line.rfind("#AddModule \"espeak-ng\"", 0) == 0) line.erase(0, 1);
    conf += line + "\n";
  }
  conf += "AudioOutputMethod \"libao\"\n";
  std::ofstream(folder / "speechd.conf") << conf;
  fs::create_directory(folder / "log");
  fs::create_directory(folder / "home");
  std::ofstream(folder / "home" / ".libao") << "default_driver=null\n";
}

// The processes whose parent is `parent` (the server's output modules).
std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = ReadAll(entry.path() / "stat");
    // "pid (comm) state ppid ...": the command may hold blanks, not ")".
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 1));
    std::string state;
    pid_t ppid = 0;
    rest >> state >> ppid;
    if (ppid == parent) children.push_back(static_cast<pid_t>(std::stoi(name)));
  }
  return children;
}

// The server listens on its socket: the file stands a moment before that.
bool Answers(const std::string& socketPath) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  const bool answered = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return answered;
}

}  // namespace

SpeechDispatcherRig::SpeechDispatcherRig() {
  std::string pattern = (fs::temp_directory_path() / "voxrig-speechd-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return;
  folder_ = pattern;
  WriteConfiguration(folder_);
  ChildSpec launch;
  launch.program = "/usr/bin/speech-dispatcher";
  launch.arguments = {"-s",    "-l", "5", "-L", folder_ + "/log", "-S", folder_ + "/sock", "-C",
                      folder_, "-t", "5", "-P", folder_ + "/pid"};
  launch.workingFolder = folder_;
  launch.environment = {{"HOME", folder_ + "/home"}};
  launch.outputFile = folder_ + "/output.txt";
  server_ = std::make_unique<ChildProcess>(launch);
  for (auto waited = 0ms; waited < 5000ms; waited += 20ms) {
    if (Answers(folder_ + "/sock")) {
      ready_ = true;
      break;
    }
    std::this_thread::sleep_for(20ms);
  }
}

SpeechDispatcherRig::~SpeechDispatcherRig() {
  if (server_) {
    // A module that hangs makes the server ignore SIGTERM: both are killed.
    for (pid_t module : ChildrenOf(server_->pid())) kill(module, SIGKILL);
    server_->Signal(SIGKILL);
    server_->WaitForExit(2000ms);
    server_.reset();
  }
  // VOXRIG_E2E_KEEP=1 keeps the server's log, as it keeps a panel's folder.
  std::error_code error;
  if (!folder_.empty() && std::getenv("VOXRIG_E2E_KEEP") == nullptr) {
    fs::remove_all(folder_, error);
  }
}

std::vector<ServerEvent> SpeechDispatcherRig::Events() const {
  // "17:DATA:|SET SELF CLIENT_NAME "root:voxrig:readouts"", then per message
  // "17:DATA:|speak" ... "Queueing message |text| with priority 2", and
  // "17:DATA:|CANCEL SELF" for a cancel. The log is long (the modules' voices
  // at start): plain finds read it quickly.
  const std::string kData = ":DATA:|";
  const std::string kName = "SET SELF CLIENT_NAME \"";
  const std::string kQueued = "Queueing message |";
  const std::string kPriority = "| with priority";
  std::map<std::string, std::string> names;
  std::string speaker;
  std::vector<ServerEvent> events;
  std::istringstream lines(ReadAll(fs::path(folder_) / "log" / "speech-dispatcher.log"));
  std::string line;
  while (std::getline(lines, line)) {
    // The client's lines are logged with their CR.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (const std::size_t data = line.find(kData); data != std::string::npos) {
      const std::size_t blank = line.rfind(' ', data);
      const std::string fd = line.substr(blank + 1, data - blank - 1);
      const std::string said = line.substr(data + kData.size());
      if (said.rfind(kName, 0) == 0) {
        // "user:client:connection": the client and connection's names.
        const std::string full =
            said.substr(kName.size(), said.find('"', kName.size()) - kName.size());
        names[fd] = full.substr(full.find(':') + 1);
      }
      const std::string client = names.count(fd) != 0 ? names[fd] : fd;
      if (said == "speak" || said == "SPEAK") speaker = client;
      if (said.rfind("CANCEL", 0) == 0) events.push_back({client, "cancel", {}});
    } else if (const std::size_t queued = line.find(kQueued); queued != std::string::npos) {
      const std::size_t from = queued + kQueued.size();
      events.push_back({speaker, "message", line.substr(from, line.rfind(kPriority) - from)});
    }
  }
  return events;
}

std::vector<ServerEvent> SpeechDispatcherRig::WaitForEvents(std::size_t count,
                                                            std::chrono::milliseconds limit) const {
  std::vector<ServerEvent> events = Events();
  for (auto waited = 0ms; events.size() < count && waited < limit; waited += 20ms) {
    std::this_thread::sleep_for(20ms);
    events = Events();
  }
  return events;
}

}  // namespace e2e
