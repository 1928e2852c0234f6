// SPDX-License-Identifier: GPL-3.0-or-later
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/dummy_radio_record.h"
#include "fakes/free_port.h"
#include "hamlib/hamlib_library.h"
#include "link/radio_choice.h"
#include "net/net_fakes.h"
#include "posix/termios_serial.h"

// Hamlib's own rigctld, run with its dummy radio (-m 1), and the panel are
// sent the same requests; every answer of the panel must have the shape of
// rigctld's (values aside): the same lines, keys, separators and reports.
namespace voxrig::testing {
namespace {

// Sent after each request: its answer closes the one before, whatever form
// that took. rigctld answers the request after an extended "\chk_vfo" in
// that form's separator (its own slip), so the marker's separator may vary.
const std::string kMarker = "+\\set_vfo currVFO\n";
const std::string kMarkerEcho = "set_vfo: currVFO";
const std::string kMarkerReport = "RPRT 0\n";

// Where the marker's answer starts at the end of `text`, or npos.
std::size_t MarkerAnswerAt(const std::string& text) {
  const std::size_t size = kMarkerEcho.size() + 1 + kMarkerReport.size();
  if (text.size() < size || !text.ends_with(kMarkerReport)) return std::string::npos;
  const std::size_t at = text.size() - size;
  return text.compare(at, kMarkerEcho.size(), kMarkerEcho) == 0 ? at : std::string::npos;
}

using fakes::FreePort;

// "Key: value" keeps its key, "a=b c=d" its names, an echo and a report
// stay whole, any other value is a star.
std::string MaskRecord(const std::string& record) {
  if (record.empty() || record.starts_with("RPRT ") || record.ends_with(":")) return record;
  const std::size_t colon = record.find(": ");
  if (colon != std::string::npos) return record.substr(0, colon) + ": *";
  if (record.find('=') != std::string::npos) {
    return std::regex_replace(record, std::regex("=[^ ]*"), "=*");
  }
  return "*";
}

// The answer with every value masked, its line ends and separators kept.
std::string LineShape(const std::string& answer, char separator) {
  std::string shape;
  std::string record;
  for (char c : answer) {
    if (c == '\n' || c == separator) {
      shape += MaskRecord(record) + c;
      record.clear();
    } else {
      record += c;
    }
  }
  return shape + MaskRecord(record);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// "\dump_state" by the kind of each line, runs of one kind told once: its
// sections are as long as the radio has ranges, steps and filters.
std::string StateShape(const std::string& text) {
  std::string shape;
  std::string last;
  for (const std::string& line : Lines(text)) {
    std::string kind;
    const std::size_t equals = line.find('=');
    const std::size_t fields = std::count(line.begin(), line.end(), ' ') + 1;
    if (equals != std::string::npos) {
      kind = line.substr(0, equals);
      // Lists of tones are told only by radios that have them.
      if (kind == "ctcss_list" || kind == "dcs_list") continue;
    } else if (line.empty() || line.ends_with(" ")) {
      kind = "list";
    } else {
      kind = fields == 7 ? "range" : fields == 2 ? "pair" : "value";
    }
    if (kind != last) shape += kind + "\n";
    last = kind;
  }
  return shape;
}

// "\dump_caps" by the keys of its unindented lines, in order; what the
// indented lines under them list belongs to the radio.
std::string CapsShape(const std::string& text) {
  std::string shape;
  for (const std::string& line : Lines(text)) {
    if (line.starts_with("\t")) continue;
    std::string key = line.substr(0, line.find(':'));
    key = key.substr(0, key.find(" for "));
    shape += key + "\n";
  }
  return shape;
}

// What follows `key` in a dump up to the line end.
std::string After(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key);
  if (at == std::string::npos) return "(none)";
  const std::size_t start = at + key.size();
  return text.substr(start, text.find('\n', start) - start);
}

enum class Kind { kLines, kState, kCaps };

// A block answer: its echo and report as lines, the block by its own shape.
std::string Shape(const std::string& answer, char separator, Kind kind) {
  if (kind == Kind::kLines) return LineShape(answer, separator);
  std::string block = answer;
  std::string head;
  std::string tail;
  if (separator != 0) {
    const std::size_t echoEnd = block.find(separator);
    head = block.substr(0, echoEnd + 1);
    block.erase(0, echoEnd + 1);
  }
  if (block.ends_with("RPRT 0\n")) {
    tail = "RPRT 0\n";
    block.resize(block.size() - tail.size());
  }
  return head + (kind == Kind::kState ? StateShape(block) : CapsShape(block)) + tail;
}

class RigctldForms : public NetPanel {
 protected:
  void SetUp() override {
    if (system("command -v rigctld >/dev/null 2>&1") != 0) {
      GTEST_SKIP()
          << "rigctld (package libhamlib-utils) is not installed; tools/install-deps adds it";
    }
    const std::string port = std::to_string(FreePort());
    rigctld_ = fork();
    if (rigctld_ == 0) {
      execlp("rigctld", "rigctld", "-m", "1", "-T", "127.0.0.1", "-t", port.c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < 100 && socket_ < 0; ++i) {
      const int fd = socket(AF_INET, SOCK_STREAM, 0);
      if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        socket_ = fd;
      } else {
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    }
    ASSERT_GE(socket_, 0) << "rigctld -m 1 did not start";
    // Hamlib's clients check the VFO mode first; so does every panel client
    // below.
    ASSERT_EQ(AskRigctld("\\chk_vfo"), "0\n");
  }
  void TearDown() override {
    if (socket_ >= 0) close(socket_);
    if (rigctld_ > 0) {
      kill(rigctld_, SIGTERM);
      waitpid(rigctld_, nullptr, 0);
    }
  }

  // Everything rigctld sends until `done` holds for it, the connection
  // closes, or five seconds pass.
  template <typename Done>
  std::string ReadRigctldUntil(Done done) {
    std::string text;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done(text) && std::chrono::steady_clock::now() < giveUp) {
      pollfd ready{socket_, POLLIN, 0};
      if (::poll(&ready, 1, 100) <= 0) continue;
      char buffer[8192];
      const ssize_t count = recv(socket_, buffer, sizeof buffer, 0);
      if (count <= 0) break;
      text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
  }

  std::string AskRigctld(const std::string& line) {
    const std::string sent = line + "\n" + kMarker;
    EXPECT_EQ(send(socket_, sent.data(), sent.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(sent.size()));
    const std::string text = ReadRigctldUntil(
        [](const std::string& t) { return MarkerAnswerAt(t) != std::string::npos; });
    const std::size_t marker = MarkerAnswerAt(text);
    EXPECT_NE(marker, std::string::npos) << line << ": " << text;
    return text.substr(0, marker);
  }

  std::string AskPanel(const std::string& line) {
    Peer& client = Connect("\\chk_vfo\n" + line + "\n" + kMarker);
    for (int i = 0; i < 10 && MarkerAnswerAt(client.fromPanel) == std::string::npos; ++i) {
      ServeNetClients(ctx, SetTurn::kNow);
    }
    client.hungUp = true;
    ServeNetClients(ctx, SetTurn::kLater);
    // A set carried out leaves its separator and a poll cycle owed.
    ctx.panel.keyQueueCount = 0;
    ctx.net.pollOwed = false;
    const std::string& text = client.fromPanel;
    const std::size_t marker = MarkerAnswerAt(text);
    EXPECT_TRUE(text.starts_with("0\n") && marker != std::string::npos) << line << ": " << text;
    return marker == std::string::npos ? text : text.substr(2, marker - 2);
  }

  pid_t rigctld_ = -1;
  int socket_ = -1;
};

TEST_F(RigctldForms, EveryAnswerHasTheShapeOfRigctldsInEveryForm) {
  struct Row {
    std::string request;
    Kind kind = Kind::kLines;
  };
  const std::vector<Row> rows = {
      {"\\chk_vfo"},
      {"f"},
      {"m"},
      {"v"},
      {"l STRENGTH"},
      {"l ATT"},
      {"l RAWSTR"},
      {"\\get_dcd"},
      {"s"},
      {"n"},
      {"\\get_powerstat"},
      {"\\get_lock_mode"},
      {"_"},
      {"\\get_vfo_info VFOA"},
      {"\\get_rig_info"},
      {"F 145500000"},
      {"M USB 2400"},
      {"L ATT 0"},
      {"V VFOA"},
      {"t"},
      {"F abc"},
      {"\\dump_state", Kind::kState},
      {"\\dump_caps", Kind::kCaps},
  };
  const std::vector<std::pair<std::string, char>> forms = {
      {"", 0}, {"+", '\n'}, {";", ';'}, {"|", '|'}};
  for (const Row& row : rows) {
    for (const auto& [prefix, separator] : forms) {
      const std::string request = prefix + row.request;
      const std::string theirs = AskRigctld(request);
      const std::string ours = AskPanel(request);
      EXPECT_EQ(Shape(ours, separator, row.kind), Shape(theirs, separator, row.kind))
          << request << "\n rigctld: " << theirs << "\n panel:   " << ours;
    }
  }

  // Quit: answered, then closed.
  const std::string sent = "q\n";
  send(socket_, sent.data(), sent.size(), MSG_NOSIGNAL);
  Peer& quitter = Connect(sent);
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_EQ(quitter.fromPanel, ReadRigctldUntil([](const std::string&) { return false; }));
  EXPECT_TRUE(quitter.closedByPanel);
}

// The panel driving Hamlib's dummy radio describes it as rigctld -m 1 does:
// its maker, its name (with the panel's own words after it), its receive
// range and, of the modes the panel serves, the ones it has, in Hamlib's
// order.
TEST_F(RigctldForms, ARadioOtherThanTheAr8600IsDescribedAsRigctldDescribesIt) {
  ctx.link.capabilities = fakes::DummyRadioRecord();
  const std::string theirCaps = AskRigctld("\\dump_caps");
  const std::string ourCaps = AskPanel("\\dump_caps");
  EXPECT_EQ(After(ourCaps, "Mfg name:"), After(theirCaps, "Mfg name:"));
  EXPECT_EQ(After(ourCaps, "Model name:"),
            After(theirCaps, "Model name:") + " through the voxrig panel");
  EXPECT_EQ(After(ourCaps, "RX ranges #1 for TBD:\n"),
            After(theirCaps, "RX ranges #1 for Dummy#1:\n"));
  std::string theirModes = After(theirCaps, "Mode list: ");
  for (const std::string notServed : {"RTTY ", "CWR ", "RTTYR "}) {
    theirModes.erase(theirModes.find(notServed), notServed.size());
  }
  EXPECT_EQ(After(ourCaps, "Mode list: "), theirModes);
  EXPECT_EQ(After(AskPanel("\\get_rig_info"), "Rig="), After(AskRigctld("\\get_rig_info"), "Rig="));
  // The dump state's range, from its lowest to its highest frequency.
  const std::string range = "\n0\n150000.000000 1500000000.000000 ";
  EXPECT_NE(AskRigctld("\\dump_state").find(range), std::string::npos);
  EXPECT_NE(AskPanel("\\dump_state").find(range), std::string::npos);
}

// The radio the panel drives through Hamlib, the dummy as the radio line
// names it, is described from Hamlib's own record of it, as `rigctl -m 1
// --dump-caps` prints that record: before the radio is open, and once it is.
TEST_F(RigctldForms, TheRadioDrivenThroughHamlibIsDescribedFromHamlibsRecord) {
  std::string theirCaps;
  if (std::FILE* rigctl = popen("rigctl -m 1 --dump-caps 2>/dev/null", "r")) {
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, rigctl)) > 0;) {
      theirCaps.append(buffer, count);
    }
    pclose(rigctl);
  }
  ASSERT_NE(theirCaps.find("\nModel name:\tDummy\n"), std::string::npos) << theirCaps;
  std::string theirModes = After(theirCaps, "Mode list: ");
  for (const std::string notServed : {"RTTY ", "CWR ", "RTTYR "}) {
    theirModes.erase(theirModes.find(notServed), notServed.size());
  }
  TermiosDeviceLocker devices;
  HamlibLibrary library(devices);
  ctx.platform.hamlib = &library;
  ctx.app.radioSetting = "=hamlib:1";
  for (const bool open : {false, true}) {
    SCOPED_TRACE(open ? "open" : "record alone");
    CloseRadio(ctx);
    ChooseRadio(ctx);
    if (open) OpenRadio(ctx);
    ASSERT_EQ(RadioOpen(ctx), open);
    const std::string ourCaps = AskPanel("\\dump_caps");
    EXPECT_EQ(After(ourCaps, "Mfg name:"), After(theirCaps, "Mfg name:"));
    EXPECT_EQ(After(ourCaps, "Model name:"),
              After(theirCaps, "Model name:") + " through the voxrig panel");
    EXPECT_EQ(After(ourCaps, "RX ranges #1 for TBD:\n"),
              After(theirCaps, "RX ranges #1 for Dummy#1:\n"));
    EXPECT_EQ(After(ourCaps, "Mode list: "), theirModes);
    EXPECT_EQ(After(AskPanel("\\get_rig_info"), "\nRig="), "Dummy");
  }
  CloseRadio(ctx);
}

}  // namespace
}  // namespace voxrig::testing
