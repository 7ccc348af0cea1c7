// The real pagequill program read and driven through its accessibility tree (AT-SPI) inside a
// private D-Bus session, as a screen reader would: every control found and pressed by name.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <map>

#include "support/child_process.h"
#include "support/site_server.h"
#include "support/xvfb.h"

namespace {

namespace fs = std::filesystem;

TEST(AccessibilityTest, ControlsAreFoundAndPressedByName) {
  for (const char* tool : {"/usr/bin/dbus-run-session", "/usr/bin/python3"})
    ASSERT_TRUE(fs::exists(tool)) << tool << " is missing: run scripts/setup.sh";
  ASSERT_EQ(pqtest::RunCommand({"/usr/bin/python3", "-c", "import pyatspi"}).exitCode, 0)
      << "python3-pyatspi is missing: run scripts/setup.sh";
  char tmpl[] = "/tmp/pq-a11y-XXXXXX";
  const std::string base = mkdtemp(tmpl);
  for (const char* d : {"temp", "config", "cache", "data"}) fs::create_directories(base + "/" + d);
  pqtest::SiteServer site;
  ASSERT_TRUE(site.ok());
  for (const auto& [k, v] : std::map<std::string, std::string>{
           {"TEMP", base + "/temp"},
           {"XDG_CONFIG_HOME", base + "/config"},
           {"XDG_CACHE_HOME", base + "/cache"},
           {"XDG_DATA_HOME", base + "/data"},
           {"PAGEQUILL_HOME", site.url() + "/index.htm"},
           {"PAGEQUILL_SERVICE_URL", site.url() + "/check.php"}})
    setenv(k.c_str(), v.c_str(), 1);
  unsetenv("NO_AT_BRIDGE");
  // A display lost to the other test programs' servers starting at the same moment is no fault
  // of the program: that one case is tried once more on a fresh display, and says so.
  for (int attempt = 0; attempt < 2; ++attempt) {
    pqtest::Xvfb xvfb;
    ASSERT_TRUE(xvfb.ok());
    const auto r = pqtest::RunCommand({"/usr/bin/dbus-run-session", "--", "/usr/bin/python3",
                                       std::string(PQ_SOURCE_DIR) + "/tests/e2e/atspi_drive.py",
                                       std::string(PQ_BIN_DIR) + "/pagequill"},
                                      "", std::chrono::seconds(240));
    if (attempt == 0 && r.err.find("cannot open the display") != std::string::npos) {
      std::cerr << "the program could not open display " << xvfb.display() << "; trying again\n";
      continue;
    }
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out.find("FAIL"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ok   push button Publish"), std::string::npos) << r.out;
    if (HasFailure()) xvfb.Screenshot(pqtest::ScreenshotDir() + "/accessibility.png");
    break;
  }
  std::error_code ec;
  fs::remove_all(base, ec);
}

}  // namespace
