// The pagequill program itself: started as the demo command starts it, it opens the home page
// and writes its edit copy.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/file_text.h"
#include "support/child_process.h"
#include "support/site_server.h"
#include "support/xvfb.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) { return pqtest::ReadFile(path); }

bool WaitForFile(const std::string& path, std::chrono::seconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (fs::exists(path) && Read(path).find("\r\n") != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

TEST(PagequillProgramTest, OpensTheHomePageAndWritesItsEditCopy) {
  char tmpl[] = "/tmp/pq-browse-app-XXXXXX";
  const std::string base = mkdtemp(tmpl);
  fs::create_directories(base + "/temp");
  fs::create_directories(base + "/config");
  pqtest::Xvfb xvfb;
  ASSERT_TRUE(xvfb.ok());
  pqtest::SiteServer site;
  ASSERT_TRUE(site.ok());

  pqtest::ChildProcess app;
  const std::string home = site.url() + "/index.htm";
  ASSERT_TRUE(app.Start({std::string(PQ_BIN_DIR) + "/pagequill"},
                        {{"DISPLAY", xvfb.display()},
                         {"TEMP", base + "/temp"},
                         {"XDG_CONFIG_HOME", base + "/config"},
                         {"XDG_DATA_HOME", base + "/config"},
                         {"XDG_CACHE_HOME", base + "/config"},
                         {"PAGEQUILL_HOME", home},
                         {"PAGEQUILL_SERVICE_URL", site.url() + "/check.php"}}));
  const std::string copy = base + "/temp/pagequill-" + std::to_string(getuid()) + "/webed.htm";
  const bool written = WaitForFile(copy, std::chrono::seconds(30));
  EXPECT_TRUE(written);
  if (written) {
    const std::string text = Read(copy);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF" "<BASE HREF=\"" + home + "\">\r\n", 0), 0u);
    EXPECT_NE(text.find("<!--FullPath=\"" + home + "\"--><!--OrigURL=\"" + home + "\"-->"), std::string::npos);
  }
  EXPECT_TRUE(app.Running());
  if (HasFailure()) xvfb.Screenshot(pqtest::ScreenshotDir() + "/browse_app_home.png");
  app.Stop();
  std::error_code ec;
  fs::remove_all(base, ec);
}

}  // namespace
