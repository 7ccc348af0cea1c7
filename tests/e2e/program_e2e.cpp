// The pagequill program as a separate process: its command line, its start-up with the splash,
// a failing service check, the close image, and an installed copy finding its data.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "support/canned_http_server.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/site_server.h"
#include "support/xvfb.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kProgram = std::string(PQ_BIN_DIR) + "/pagequill";

// A private folder with TEMP and the XDG folders, removed afterwards.
class Sandbox {
 public:
  Sandbox() {
    char tmpl[] = "/tmp/pq-program-XXXXXX";
    base_ = mkdtemp(tmpl);
    for (const char* d : {"temp", "config", "cache", "data"}) fs::create_directories(base_ + "/" + d);
  }
  ~Sandbox() {
    std::error_code ec;
    fs::remove_all(base_, ec);
  }
  std::map<std::string, std::string> Env(const std::string& display) const {
    return {{"DISPLAY", display},
            {"TEMP", base_ + "/temp"},
            {"XDG_CONFIG_HOME", base_ + "/config"},
            {"XDG_CACHE_HOME", base_ + "/cache"},
            {"XDG_DATA_HOME", base_ + "/data"}};
  }
  std::string EditCopy() const { return base_ + "/temp/pagequill-" + std::to_string(getuid()) + "/webed.htm"; }
  const std::string& base() const { return base_; }

 private:
  std::string base_;
};

pqtest::RunResult Xdo(const std::string& display, const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  setenv("DISPLAY", display.c_str(), 1);
  return pqtest::RunCommand(argv, "", 15s);
}

// The X windows named `name`, as (width, height) of each, found within the timeout.
std::vector<std::pair<int, int>> WindowsNamed(const std::string& display, const std::string& name,
                                              std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  std::vector<std::pair<int, int>> sizes;
  while (std::chrono::steady_clock::now() < end) {
    const auto found = Xdo(display, {"search", "--onlyvisible", "--name", "^" + name + "$"});
    std::istringstream ids(found.out);
    for (std::string id; ids >> id;) {
      const auto g = Xdo(display, {"getwindowgeometry", "--shell", id});
      int w = 0, h = 0;
      std::istringstream lines(g.out);
      for (std::string line; std::getline(lines, line);) {
        if (line.rfind("WIDTH=", 0) == 0) w = std::stoi(line.substr(6));
        if (line.rfind("HEIGHT=", 0) == 0) h = std::stoi(line.substr(7));
      }
      sizes.push_back({w, h});
    }
    if (!sizes.empty()) return sizes;
    std::this_thread::sleep_for(100ms);
  }
  return sizes;
}

// Waits for a child to end; its exit status, or -1 when it did not end in time.
int WaitForExit(pqtest::ChildProcess& child, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    const pid_t r = waitpid(child.pid(), &status, WNOHANG);
    if (r == child.pid()) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(50ms);
  }
  return -1;
}

// The colour of one pixel of the screen as 8-bit red, green and blue.
std::array<int, 3> PixelAt(const std::string& display, int x, int y) {
  const auto r = pqtest::RunCommand({"import", "-display", display, "-window", "root", "-crop",
                                     "1x1+" + std::to_string(x) + "+" + std::to_string(y), "-depth", "8", "txt:-"});
  std::array<int, 3> rgb{-1, -1, -1};
  const auto open = r.out.find("\n0,0: (");
  if (open != std::string::npos)
    std::sscanf(r.out.c_str() + open + 7, "%d,%d,%d", &rgb[0], &rgb[1], &rgb[2]);
  return rgb;
}

// Waits until the Edit header shows its enabled (green) picture rather than its disabled
// (grey) one: the page on screen is ready for editing.
bool WaitForEditHeaderEnabled(const std::string& display, std::chrono::seconds timeout = 30s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    const auto [r, g, b] = PixelAt(display, 164, 72);
    if (g - r > 40 && g - b > 40) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

// Waits until the Forward button's arrow is drawn in the dark ink of an enabled button: the
// window went back, so there is a page to go forward to.
bool WaitForForwardEnabled(const std::string& display, std::chrono::seconds timeout = 30s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    for (int x = 98; x <= 116; x += 2) {
      const auto [r, g, b] = PixelAt(display, x, 98);
      if (r >= 0 && r < 40 && g < 100 && b < 100) return true;
    }
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

// Waits until a file holds a text.
bool WaitForFileText(const std::string& path, const std::string& text, std::chrono::seconds timeout = 30s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (pqtest::ReadFile(path).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

TEST(ProgramTest, HelpAndVersionPrintAndExit) {
  const auto help = pqtest::RunCommand({kProgram, "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: pagequill"), std::string::npos);
  const auto version = pqtest::RunCommand({kProgram, "--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("pagequill ", 0), 0u) << version.out;
  const auto bad = pqtest::RunCommand({kProgram, "--bogus"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("unknown option '--bogus'"), std::string::npos) << bad.err;
}

TEST(ProgramTest, SplashThenTheWindowTypedAddressBackAndTheCloseImage) {
  pqtest::Xvfb xvfb(1024, 768);
  ASSERT_TRUE(xvfb.ok());
  pqtest::SiteServer site;
  ASSERT_TRUE(site.ok());
  Sandbox box;
  auto env = box.Env(xvfb.display());
  env["PAGEQUILL_HOME"] = site.url() + "/index.htm";
  env["PAGEQUILL_SERVICE_URL"] = site.url() + "/check.php";
  pqtest::ChildProcess app;
  ASSERT_TRUE(app.Start({kProgram}, env));
  // The splash has the size of its picture; then the main window covers the screen.
  bool splash = false;
  for (int i = 0; i < 100 && !splash; ++i) {
    for (auto s : WindowsNamed(xvfb.display(), "Pagequill", 1s)) splash |= s == std::pair{480, 300};
    if (!splash) std::this_thread::sleep_for(50ms);
  }
  EXPECT_TRUE(splash);
  bool filled = false;
  for (int i = 0; i < 100 && !filled; ++i) {
    for (auto s : WindowsNamed(xvfb.display(), "Pagequill", 1s)) filled |= s == std::pair{1024, 768};
    if (!filled) std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(filled);
  const std::string home = site.url() + "/index.htm", about = site.url() + "/about.htm";
  // The home page is ready for editing (the edit copy is removed once the edit pane has it).
  EXPECT_TRUE(WaitForEditHeaderEnabled(xvfb.display()));
  // An address typed into the address box (right of Go) with Enter.
  Xdo(xvfb.display(), {"mousemove", "--sync", "600", "107"});
  Xdo(xvfb.display(), {"click", "1"});
  Xdo(xvfb.display(), {"key", "ctrl+a"});
  Xdo(xvfb.display(), {"type", "--delay", "5", about});
  Xdo(xvfb.display(), {"key", "Return"});
  // The page is shown and enters the history, which the settings file keeps at once.
  EXPECT_TRUE(WaitForFileText(box.base() + "/config/pagequill/settings.ini", "Num1=" + about));
  if (HasFailure()) xvfb.Screenshot(pqtest::ScreenshotDir() + "/program_typed_address.png");
  // Back, the first toolbar button, once the page is ready for editing again (the history was
  // written while its edit copy was being prepared, with the Edit header greyed).
  EXPECT_TRUE(WaitForEditHeaderEnabled(xvfb.display()));
  Xdo(xvfb.display(), {"mousemove", "--sync", "48", "107"});
  Xdo(xvfb.display(), {"mousemove", "--sync", "47", "107"});
  EXPECT_FALSE(WaitForForwardEnabled(xvfb.display(), 1s));
  Xdo(xvfb.display(), {"click", "1"});
  EXPECT_TRUE(WaitForForwardEnabled(xvfb.display()));
  // The close image, 26 pixels from the right edge: the program ends at once, with status 0.
  Xdo(xvfb.display(), {"mousemove", "--sync", std::to_string(1024 - 26 + 11), "19"});
  Xdo(xvfb.display(), {"mousemove", "--sync", std::to_string(1024 - 26 + 10), "18"});
  Xdo(xvfb.display(), {"click", "1"});
  EXPECT_EQ(WaitForExit(app, 10s), 0);
  if (HasFailure()) xvfb.Screenshot(pqtest::ScreenshotDir() + "/program_close.png");
  // The typed address entered the history; the start page never does.
  const std::string settings = pqtest::ReadFile(box.base() + "/config/pagequill/settings.ini");
  EXPECT_NE(settings.find("Num1=" + about), std::string::npos) << settings;
  EXPECT_EQ(settings.find(home), std::string::npos) << settings;
}

TEST(ProgramTest, ClosingFromTheWindowManagerEndsTheProgram) {
  pqtest::Xvfb xvfb(1024, 768);
  ASSERT_TRUE(xvfb.ok());
  ASSERT_EQ(pqtest::RunCommand({"sh", "-c", "command -v openbox"}).exitCode, 0) << "openbox is missing";
  pqtest::ChildProcess wm;
  ASSERT_TRUE(wm.Start({"openbox", "--sm-disable"}, {{"DISPLAY", xvfb.display()}}));
  for (int i = 0; i < 50; ++i) {
    if (!Xdo(xvfb.display(), {"search", "--maxdepth", "1", "--class", "openbox"}).out.empty()) break;
    std::this_thread::sleep_for(100ms);
  }
  Sandbox box;
  auto env = box.Env(xvfb.display());
  env["PAGEQUILL_HOME"] = "about:blank";
  pqtest::ChildProcess app;
  ASSERT_TRUE(app.Start({kProgram}, env));
  bool filled = false;
  for (int i = 0; i < 100 && !filled; ++i) {
    for (auto s : WindowsNamed(xvfb.display(), "Pagequill", 1s)) filled |= s.first > 600;
    if (!filled) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(filled);
  // The window manager's close (Alt+F4 in openbox) asks the window to close. On a busy machine
  // the window manager may not have taken the keys when the first press comes: up to three.
  const auto ids = Xdo(xvfb.display(), {"search", "--onlyvisible", "--name", "^Pagequill$"});
  const std::string id = ids.out.substr(0, ids.out.find('\n'));
  int status = -1;
  for (int attempt = 0; attempt < 3 && status == -1; ++attempt) {
    Xdo(xvfb.display(), {"windowactivate", "--sync", id});
    Xdo(xvfb.display(), {"key", "alt+F4"});
    status = WaitForExit(app, attempt == 2 ? 10s : 4s);
  }
  EXPECT_EQ(status, 0);
  if (HasFailure()) xvfb.Screenshot(pqtest::ScreenshotDir() + "/program_wm_close.png");
}

TEST(ProgramTest, AFailingServiceCheckShowsItsMessageAndEndsWithNonZeroStatus) {
  pqtest::Xvfb xvfb(1024, 768);
  ASSERT_TRUE(xvfb.ok());
  pqtest::CannedHttpServer service;
  service.Set("/check.php", {200, "text/html", "<html><body>Service down</body></html>"});
  Sandbox box;
  auto env = box.Env(xvfb.display());
  env["PAGEQUILL_HOME"] = "about:blank";
  env["PAGEQUILL_SERVICE_URL"] = service.url() + "/check.php";
  pqtest::ChildProcess app;
  ASSERT_TRUE(app.Start({kProgram}, env));
  const auto message = WindowsNamed(xvfb.display(), "Unable to Connect", 20s);
  ASSERT_FALSE(message.empty()) << "no message";
  xvfb.Screenshot(pqtest::ScreenshotDir() + "/program_unable_to_connect.png");
  EXPECT_EQ(WaitForExit(app, 300ms), -1) << "the program must wait for the message to be read";
  // OK closes the message, and the program ends with a failure status.
  const auto ids = Xdo(xvfb.display(), {"search", "--onlyvisible", "--name", "^Unable to Connect$"});
  const std::string id = ids.out.substr(0, ids.out.find('\n'));
  Xdo(xvfb.display(), {"windowfocus", "--sync", id});
  Xdo(xvfb.display(), {"key", "Return"});
  const int status = WaitForExit(app, 10s);
  EXPECT_NE(status, 0);
  EXPECT_NE(status, -1);
  EXPECT_GE(service.Requests().size(), 1u);
}

// The copy is installed, then moved to another folder: it finds its data beside itself, and
// no path of the source tree is written into it that could find the data instead.
TEST(ProgramTest, AnInstalledCopyFindsItsData) {
  Sandbox box;
  const std::string installed = box.base() + "/installed";
  const auto install = pqtest::RunCommand(
      {"cmake", "--install", std::string(PQ_BIN_DIR) + "/..", "--prefix", installed, "--strip"},
      "", 120s);
  ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
  const std::string prefix = box.base() + "/moved/elsewhere";
  fs::create_directories(box.base() + "/moved");
  fs::rename(installed, prefix);
  for (const char* binary : {"bin/pagequill", "bin/pagequill-site"}) {
    std::ifstream in(prefix + "/" + binary, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find(PQ_SOURCE_DIR), std::string::npos) << binary << " holds the source path";
  }
  for (const char* file : {"bin/pagequill", "bin/pagequill-site", "share/pagequill/start.htm",
                           "share/pagequill/skin/Splash.svg", "share/pagequill/help/website/using.htm",
                           "share/applications/pagequill.desktop",
                           "share/icons/hicolor/scalable/apps/pagequill.svg"})
    EXPECT_TRUE(fs::exists(prefix + "/" + file)) << file;
  pqtest::Xvfb xvfb(1024, 768);
  ASSERT_TRUE(xvfb.ok());
  // Without a home page of its own the program opens the start page of its data folder: the
  // Edit header turns from grey to green once that page is shown and its edit copy loaded,
  // which needs both the skin's pictures and the start page from the installed data.
  pqtest::ChildProcess app;
  ASSERT_TRUE(app.Start({prefix + "/bin/pagequill"}, box.Env(xvfb.display())));
  EXPECT_TRUE(WaitForEditHeaderEnabled(xvfb.display()));
  const auto [r, g, b] = PixelAt(xvfb.display(), 40, 72);  // the selected Browse header
  EXPECT_TRUE(g > 150 && r < 120 && b < 120) << r << "," << g << "," << b;
  EXPECT_TRUE(app.Running());
  app.Stop();
}

}  // namespace
