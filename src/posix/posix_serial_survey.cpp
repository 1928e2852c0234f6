// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/posix_serial_survey.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "posix/termios_serial.h"

namespace voxrig {

namespace {

namespace fs = std::filesystem;

// The device a name finally points at, or the name itself when it cannot be
// followed.
std::string Resolved(const std::string& path) {
  std::error_code error;
  const fs::path canonical = fs::canonical(path, error);
  return error ? path : canonical.string();
}

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The pseudo-terminal number of a device such as /dev/pts/3, or empty.
std::string PseudoTerminalNumber(const std::string& device) {
  const std::string folder = "/dev/pts/";
  if (device.rfind(folder, 0) != 0) return "";
  const std::string number = device.substr(folder.size());
  return AllDigits(number) ? number : "";
}

// Whether the process holds the master side of the pseudo-terminal `device`:
// a descriptor on the multiplexer whose fdinfo names the terminal's number.
bool HoldsFarEndOf(const fs::path& process, const std::string& device) {
  const std::string number = PseudoTerminalNumber(device);
  if (number.empty()) return false;
  std::error_code error;
  for (const fs::directory_entry& fd : fs::directory_iterator(process / "fd", error)) {
    std::error_code linkError;
    const std::string target = fs::read_symlink(fd.path(), linkError).string();
    if (linkError || (target != "/dev/ptmx" && target != "/dev/pts/ptmx")) continue;
    std::ifstream info(process / "fdinfo" / fd.path().filename());
    std::string line;
    while (std::getline(info, line)) {
      if (line.rfind("tty-index:", 0) != 0) continue;
      const std::size_t digits = line.find_first_not_of(" \t", 10);
      if (digits != std::string::npos && line.substr(digits) == number) return true;
    }
  }
  return false;
}

// Names in a folder that start with `prefix` and end in a number, in
// number order (ttyS2 before ttyS10).
std::vector<std::string> NumberedNames(const std::string& folder, const std::string& prefix) {
  std::vector<std::pair<long, std::string>> found;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string number = name.substr(prefix.size());
    if (!AllDigits(number) || number.size() > 6) continue;
    found.emplace_back(std::stol(number), entry.path().string());
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (const auto& [number, path] : found) paths.push_back(path);
  return paths;
}

}  // namespace

std::vector<std::string> PosixSerialSurvey::StableNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(devRoot_ + "/serial/by-id", error)) {
    names.push_back(entry.path().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> PosixSerialSurvey::ListDevices() {
  std::vector<std::string> devices;
  std::set<std::string> seen;
  for (const std::string& name : StableNames()) {
    // A by-id link whose device has gone is stale: nothing to open.
    if (!fs::exists(name)) continue;
    devices.push_back(name);
    seen.insert(Resolved(name));
  }
  for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
    for (const std::string& path : NumberedNames(devRoot_, prefix)) {
      if (seen.insert(Resolved(path)).second) devices.push_back(path);
    }
  }
  return devices;
}

std::string PosixSerialSurvey::StableName(const std::string& path) {
  if (path.rfind(devRoot_ + "/serial/by-id/", 0) == 0) return path;
  const std::string device = Resolved(path);
  for (const std::string& name : StableNames()) {
    if (Resolved(name) == device) return name;
  }
  return {};
}

OpenAttempt PosixSerialSurvey::Open(const std::string& path, int baudRate) {
  return OpenTermiosDevice(path, baudRate, TermiosSerialOpener::kDefaultWriteStallLimit, true);
}

std::vector<DeviceHolder> PosixSerialSurvey::Holders(const std::string& path) {
  const std::string device = Resolved(path);
  const std::string self = std::to_string(getpid());
  std::vector<DeviceHolder> holders;
  std::error_code error;
  for (const fs::directory_entry& process : fs::directory_iterator(procRoot_, error)) {
    const std::string pid = process.path().filename().string();
    if (!AllDigits(pid) || pid == self) continue;
    // The program at the far end of a pseudo-terminal (the simulated
    // receiver) is what answers on it, not a program in the way.
    if (HoldsFarEndOf(process.path(), device)) continue;
    std::error_code fdError;
    for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
      std::error_code linkError;
      const fs::path target = fs::read_symlink(fd.path(), linkError);
      if (linkError || target.string() != device) continue;
      std::ifstream comm(process.path() / "comm");
      std::string name;
      std::getline(comm, name);
      holders.push_back({std::stoi(pid), name});
      break;
    }
  }
  std::sort(holders.begin(), holders.end(),
            [](const DeviceHolder& a, const DeviceHolder& b) { return a.pid < b.pid; });
  return holders;
}

DeviceAccess PosixSerialSurvey::Access(const std::string& path) {
  DeviceAccess access;
  const uid_t uid = geteuid();
  if (const passwd* user = getpwuid(uid)) access.user = user->pw_name;
  struct stat device {};
  if (stat(path.c_str(), &device) != 0) return access;
  if (const group* owner = getgrgid(device.st_gid)) {
    access.group = owner->gr_name;
  } else {
    access.group = std::to_string(device.st_gid);
  }
  std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
  const int count = getgroups(static_cast<int>(groups.size()), groups.data());
  groups.resize(static_cast<std::size_t>(std::max(count, 0)));
  access.userInGroup = getegid() == device.st_gid ||
                       std::find(groups.begin(), groups.end(), device.st_gid) != groups.end();
  return access;
}

bool PosixSerialSurvey::MakeLink(const std::string& linkPath, const std::string& target,
                                 std::string& error) {
  struct stat existing {};
  if (lstat(linkPath.c_str(), &existing) == 0) {
    if (!S_ISLNK(existing.st_mode)) {
      error = linkPath + " exists and is not a link";
      return false;
    }
    // The new link is made beside the old one and renamed over it, so a
    // failure leaves the old link as it was.
    const std::string fresh = linkPath + ".new";
    unlink(fresh.c_str());
    if (symlink(target.c_str(), fresh.c_str()) != 0 ||
        rename(fresh.c_str(), linkPath.c_str()) != 0) {
      error = std::strerror(errno);
      unlink(fresh.c_str());
      return false;
    }
    return true;
  }
  if (symlink(target.c_str(), linkPath.c_str()) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace voxrig
