// SPDX-License-Identifier: GPL-3.0-or-later
// voxrig as a listener gets it: installed into a staging folder (DESTDIR),
// started from a folder without prompts of its own, and as a Debian package.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "app/key_card.h"
#include "e2e/child_process.h"
#include "e2e/scratch_folder.h"
#include "e2e/transcript.h"
#include "e2e/window_search.h"
#include "e2e/x_display.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Runs a shell command line; its standard output and error together.
std::string Shell(const std::string& line, int* exitCode, std::chrono::milliseconds limit = 120s) {
  return RunAndCapture({"sh", "-c", line + " 2>&1"}, limit, exitCode);
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

// The prompt files the build made to install, by name.
std::set<std::string> BuiltPrompts() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(E2E_BINARY_DIR) / "wave")) {
    if (entry.path().extension() == ".wav") names.insert(entry.path().filename().string());
  }
  return names;
}

// The process running `program` (its full path), if there is one.
std::optional<pid_t> ProcessRunning(const fs::path& program) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    std::error_code linkError;
    if (fs::read_symlink(entry.path() / "exe", linkError) == program) {
      return static_cast<pid_t>(std::stol(entry.path().filename().string()));
    }
  }
  return std::nullopt;
}

// Installs this build into a staging folder of its own, as
// `make install DESTDIR=... PREFIX=/usr/local` does.
class InstalledPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<ScratchFolder>(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    stage_ = scratch_->File("stage");
    int status = -1;
    const std::string said = Shell("DESTDIR=" + Quoted(stage_) + " cmake --install " +
                                       Quoted(E2E_BINARY_DIR) + " --prefix /usr/local",
                                   &status);
    ASSERT_EQ(status, 0) << said;
  }
  std::string InstalledFile(const std::string& relative) const {
    return stage_ + "/usr/local/" + relative;
  }

  std::unique_ptr<ScratchFolder> scratch_;
  std::string stage_;
};

TEST_F(InstalledPanel, HelpVersionAndAnUnknownOptionAnswerWithoutAWindow) {
  const std::string voxrig = Quoted(InstalledFile("bin/voxrig"));
  // No display at all: a panel that tried to open its window would end with 1.
  const std::string noDisplay =
      "cd / && env -u DISPLAY -u WAYLAND_DISPLAY HOME=/home/l XDG_DATA_HOME= ";
  int status = -1;
  const std::string help = Shell(noDisplay + voxrig + " --help", &status);
  EXPECT_EQ(status, 0) << help;
  for (const std::string& shown :
       {std::string("--transcript FILE"), std::string("--version"), std::string("VOXRIG.CFG"),
        std::string("  /wave/\n  /home/l/.local/share/voxrig/wave/\n  ") +
            InstalledFile("share/voxrig/wave/")}) {
    EXPECT_NE(help.find(shown), std::string::npos) << shown << " in:\n" << help;
  }

  EXPECT_EQ(Shell(noDisplay + voxrig + " --version", &status), "voxrig " VOXRIG_VERSION "\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Shell(noDisplay + voxrig + " --keys", &status), std::string(voxrig::kKeyCard));
  EXPECT_EQ(status, 0);

  for (const char* bad : {"--bogus", "--transcript", "stray", "--export"}) {
    const std::string said = Shell(noDisplay + voxrig + " " + bad, &status);
    EXPECT_EQ(status, 2) << bad;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }
}

// The plain-text README and guide read as text in a terminal: no table rows
// of pipes, no code marks or comments, and every heading of the Markdown one.
void ExpectPlainText(const std::string& text, const std::string& markdown) {
  ASSERT_FALSE(text.empty());
  std::istringstream lines(text);
  bool inCode = false;
  for (std::string line, before; std::getline(lines, line); before = line) {
    inCode = line.rfind("    ", 0) == 0 && (inCode || before.empty());
    EXPECT_NE(line.rfind("|", 0), 0u) << line;
    EXPECT_NE(line.rfind("#", 0), 0u) << line;
    EXPECT_EQ(line.find("<!--"), std::string::npos) << line;
    if (!inCode) {
      EXPECT_EQ(line.find('`'), std::string::npos) << line;
    }
  }
  std::istringstream headings(markdown);
  for (std::string line; std::getline(headings, line);) {
    if (line.rfind("## ", 0) != 0 && line.rfind("### ", 0) != 0) continue;
    std::string heading = line.substr(line.find(' ') + 1);
    heading.erase(std::remove(heading.begin(), heading.end(), '`'), heading.end());
    EXPECT_NE(text.find("\n" + heading + "\n"), std::string::npos) << heading;
  }
}

TEST_F(InstalledPanel, ThePlainTextDocumentsHaveEveryHeadingAndNoMarkdown) {
  for (const char* name : {"README", "guide"}) {
    SCOPED_TRACE(name);
    const std::string base = std::string(name) == "README" ? "/README" : "/doc/guide";
    ExpectPlainText(ReadTextFile(InstalledFile("share/doc/voxrig/" + std::string(name) + ".txt")),
                    ReadTextFile(VOXRIG_SOURCE_DIR + base + ".md"));
  }
  // The guide's key card, as voxrig --keys prints it.
  EXPECT_NE(ReadTextFile(InstalledFile("share/doc/voxrig/guide.txt")).find(voxrig::kKeyCard),
            std::string::npos);
}

TEST_F(InstalledPanel, TheDemoPlaysTheInstalledPromptsFromAFolderWithoutAny) {
  const std::optional<std::string> display = TestDisplay();
  if (!display) GTEST_SKIP() << "No X display: run under tools/with-xvfb (make test does).";

  const std::string runtime = scratch_->File("runtime");
  const std::string sound = scratch_->File("sound.raw");
  fs::create_directories(runtime);
  fs::create_directories(scratch_->File("home"));
  ChildSpec launch;
  launch.program = InstalledFile("bin/voxrig-demo");
  launch.arguments = {"--transcript", scratch_->File("transcript.txt")};
  launch.workingFolder = scratch_->path();
  // SDL's disk driver writes what the panel plays into a file.
  launch.environment = {{"DISPLAY", *display},
                        {"SDL_AUDIODRIVER", "disk"},
                        {"SDL_DISKAUDIOFILE", sound},
                        {"XDG_RUNTIME_DIR", runtime},
                        {"HOME", scratch_->File("home")},
                        {"XDG_DATA_HOME", scratch_->File("home/data")}};
  launch.outputFile = scratch_->File("demo.out");
  ChildProcess demo(launch);

  const auto transcript = [&] { return Transcript::Read(scratch_->File("transcript.txt")); };
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!transcript().HasPrompt("connected") && demo.Running() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(transcript().HasPrompt("connected"))
      << ReadTextFile(scratch_->File("demo.out")) << transcript().Dump();
  const std::vector<std::string> prompts = transcript().Prompts();
  EXPECT_EQ(std::vector<std::string>(prompts.begin(), prompts.begin() + 2),
            (std::vector<std::string>{"vxr", "4"}));

  const std::optional<pid_t> panel = ProcessRunning(InstalledFile("bin/voxrig"));
  ASSERT_TRUE(panel.has_value());
  std::string seen;
  const std::optional<std::string> window = FindWindow(*display, *panel, "Voxrig", 10s, &seen);
  ASSERT_TRUE(window.has_value()) << seen;
  ASSERT_TRUE(RequestClose(*display, *window));
  EXPECT_EQ(demo.WaitForExit(15s), 0) << ReadTextFile(scratch_->File("demo.out"));

  // The demo ran in a fresh folder under XDG_RUNTIME_DIR, which had no
  // prompts of its own, and stopped its simulated receiver at the end.
  std::vector<fs::path> folders;
  for (const auto& entry : fs::directory_iterator(runtime)) folders.push_back(entry.path());
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].filename().string().rfind("voxrig-demo.", 0), 0u) << folders[0];
  EXPECT_FALSE(fs::exists(folders[0] / "wave"));
  EXPECT_FALSE(ReadTextFile((folders[0] / "receiver-memory.txt").string()).empty());
  EXPECT_NE(ReadTextFile((folders[0] / "wire.log").string()).find("LM"), std::string::npos);

  // Sound was heard: the spoken prompts are far more than a few stray
  // samples (the device plays silence, zeros, between prompts).
  std::ifstream raw(sound, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(raw)), std::istreambuf_iterator<char>());
  std::size_t loud = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const int sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (sample > 1000 || sample < -1000) ++loud;
  }
  EXPECT_GT(loud, 4410u) << "samples above the noise in " << bytes.size() / 2;
}

// The package builds from this build and holds exactly the installed files.
TEST(DebianPackage, HoldsTheProgramsPromptsAndDocumentsAndPassesLintian) {
  ScratchFolder scratch("DebianPackage");
  int status = -1;
  const std::string built = Shell(
      "cd " + Quoted(E2E_BINARY_DIR) + " && cpack -G DEB -B " + Quoted(scratch.path()), &status);
  ASSERT_EQ(status, 0) << built;
  std::vector<std::string> debs;
  for (const auto& entry : fs::directory_iterator(scratch.path())) {
    if (entry.path().extension() == ".deb") debs.push_back(entry.path().string());
  }
  ASSERT_EQ(debs.size(), 1u) << built;
  const std::string deb = debs[0];
  EXPECT_EQ(fs::path(deb).filename().string().rfind("voxrig_" VOXRIG_VERSION "_", 0), 0u) << deb;

  std::set<std::string> expected = {"usr/bin/ar8600-sim",
                                    "usr/bin/voxrig",
                                    "usr/bin/voxrig-demo",
                                    "usr/share/doc/voxrig/README.md",
                                    "usr/share/doc/voxrig/README.txt",
                                    "usr/share/doc/voxrig/guide.md",
                                    "usr/share/doc/voxrig/guide.txt",
                                    "usr/share/doc/voxrig/changelog.gz",
                                    "usr/share/doc/voxrig/copyright",
                                    "usr/share/man/man1/ar8600-sim.1.gz",
                                    "usr/share/man/man1/voxrig.1.gz",
                                    "usr/share/man/man1/voxrig-demo.1.gz",
                                    "usr/share/voxrig/demo-memory.txt",
                                    "usr/share/voxrig/demo-signals.txt",
                                    "usr/share/voxrig/make-prompts"};
  // make-prompts finds its word lists beside itself, as in tools/.
  const fs::path tools = fs::path(VOXRIG_SOURCE_DIR) / "tools";
  for (const auto& entry : fs::recursive_directory_iterator(tools)) {
    const std::string relative = fs::relative(entry.path(), tools).string();
    if (entry.is_regular_file() && relative.rfind("prompt-words", 0) == 0 &&
        entry.path().extension() == ".txt") {
      expected.insert("usr/share/voxrig/" + relative);
    }
  }
  for (const std::string& prompt : BuiltPrompts())
    expected.insert("usr/share/voxrig/wave/" + prompt);

  std::set<std::string> packaged;
  std::istringstream listing(
      Shell("dpkg-deb --fsys-tarfile " + Quoted(deb) + " | tar -t", &status));
  for (std::string line; std::getline(listing, line);) {
    if (line.rfind("./", 0) == 0) line.erase(0, 2);
    if (!line.empty() && line.back() != '/') packaged.insert(line);
  }
  EXPECT_EQ(packaged, expected);

  const std::string depends =
      Shell("dpkg-deb -f " + Quoted(deb) + " Depends Recommends Description", &status);
  for (const char* needed : {"libsdl2-2.0-0", "libsdl2-ttf-2.0-0", "libfontconfig1", "libtermkey1",
                             "libbrlapi0.8", "fonts-liberation", "libhamlib4",
                             "Recommends: espeak-ng, sox, brltty", "\n voxrig drives"}) {
    EXPECT_NE(depends.find(needed), std::string::npos) << needed << " in:\n" << depends;
  }
  // Each package named once: the declared ones beside dpkg-shlibdeps' own.
  const std::size_t dependsAt = depends.find("Depends: ");
  ASSERT_NE(dependsAt, std::string::npos) << depends;
  std::istringstream dependsLine(
      depends.substr(dependsAt + 9, depends.find('\n', dependsAt) - dependsAt - 9));
  std::map<std::string, int> named;
  for (std::string entry; std::getline(dependsLine, entry, ',');) {
    std::istringstream words(entry);
    std::string package;
    words >> package;
    EXPECT_EQ(++named[package], 1) << package << " twice in:\n" << depends;
  }

  if (Shell("command -v lintian", &status), status != 0) {
    GTEST_SKIP() << "lintian is not installed (tools/install-deps installs it)";
  }
  // Pedantic, with the information tags: no error, warning or pedantic tag,
  // and every information tag that remains is one the developers' page explains.
  const std::string lintian =
      Shell("lintian --pedantic -I --tag-display-limit 0 " + Quoted(deb), &status);
  const std::string readme = ReadTextFile(VOXRIG_SOURCE_DIR "/doc/developing.md");
  std::istringstream reported(lintian);
  int infoTags = 0;
  for (std::string line; std::getline(reported, line);) {
    const std::string kind = line.substr(0, 3);
    EXPECT_TRUE(kind != "E: " && kind != "W: " && kind != "P: ") << line;
    if (kind != "I: ") continue;
    ++infoTags;
    std::istringstream words(line);
    std::string tag;
    words >> tag >> tag >> tag;  // "I:", "voxrig:", the tag
    EXPECT_NE(readme.find("| `" + tag + "` |"), std::string::npos)
        << line << "\n(doc/developing.md's table of lintian's remaining tags does not name it)";
  }
  EXPECT_GT(infoTags, 0) << "lintian said nothing at all:\n" << lintian;
  // The programs carry the hardening and none of the compiler's notes.
  for (const char* tag : {"hardening-no-bindnow", "hardening-no-fortify-functions",
                          "hardening-no-relro", "binary-has-unneeded-section"}) {
    EXPECT_EQ(lintian.find(tag), std::string::npos) << lintian;
  }
}

}  // namespace
}  // namespace e2e
