#include "shell/home_page.h"
#include "support/memory_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(HomePageTest, EnvironmentThenSettingThenTheBundledStartPage) {
  pq::MemorySettings settings;
  EXPECT_EQ(pq::HomePageURL(nullptr, settings, "/opt/pq data"), "file:///opt/pq%20data/start.htm");
  EXPECT_EQ(pq::HomePageURL("", settings, "/d"), "file:///d/start.htm");
  settings.SaveSetting("Browser", "HomePage", "http://127.0.0.1:8080/");
  EXPECT_EQ(pq::HomePageURL(nullptr, settings, "/d"), "http://127.0.0.1:8080/");
  EXPECT_EQ(pq::HomePageURL("http://127.0.0.1:9/index.htm", settings, "/d"), "http://127.0.0.1:9/index.htm");
}

}  // namespace
