#include "shell/splash_check.h"

#include <gtest/gtest.h>

#include <fstream>

#include "pageprep/temp_files.h"
#include "support/private_temp.h"
#include "support/memory_settings.h"

namespace {

using Outcome = pq::SplashCheck::Outcome;

TEST(SplashCheckTest, LeftoverCopiesAreDeletedUpToTheFirstMissingNumber) {
  pqtest::PrivateTemp temp;
  const std::string folder = pq::TempFolder();
  for (const char* name : {"frmpage1.htm", "frmpage3.htm", "frmpreview1.htm", "frmpreview2.htm",
                           "frmpreview4.htm", "webed.htm"})
    std::ofstream(folder + name) << "x";
  pq::DeleteLeftoverCopies();
  EXPECT_FALSE(pq::FileExists(folder + "frmpage1.htm"));
  EXPECT_TRUE(pq::FileExists(folder + "frmpage3.htm"));
  EXPECT_FALSE(pq::FileExists(folder + "frmpreview1.htm"));
  EXPECT_FALSE(pq::FileExists(folder + "frmpreview2.htm"));
  EXPECT_TRUE(pq::FileExists(folder + "frmpreview4.htm"));
  EXPECT_TRUE(pq::FileExists(folder + "webed.htm"));
}

TEST(SplashCheckTest, EngineVersionRule) {
  struct Case {
    int major, minor;
    bool ok;
  };
  for (const Case& c : {Case{2, 40, true}, Case{2, 44, true}, Case{2, 50, true}, Case{3, 0, true},
                        Case{2, 39, false}, Case{2, 4, false}, Case{1, 99, false}})
    EXPECT_EQ(pq::EngineVersionAcceptable(c.major, c.minor), c.ok) << c.major << "." << c.minor;
  const std::string message = pq::EngineTooOldMessage(2, 38);
  EXPECT_NE(message.find("WebKitGTK (2.38)"), std::string::npos);
  EXPECT_NE(message.find("2.40"), std::string::npos);
  EXPECT_NE(message.find("apt install"), std::string::npos);
}

TEST(SplashCheckTest, ServiceAddressFromEnvironmentThenSettingsElseNone) {
  pq::MemorySettings settings;
  EXPECT_FALSE(pq::ServiceCheckAddress(nullptr, settings));
  EXPECT_FALSE(pq::ServiceCheckAddress("", settings));
  settings.SaveSetting("Service", "CheckUrl", "http://127.0.0.1:9/check.php");
  EXPECT_EQ(pq::ServiceCheckAddress(nullptr, settings), "http://127.0.0.1:9/check.php");
  EXPECT_EQ(pq::ServiceCheckAddress("http://127.0.0.1:8/check.php", settings),
            "http://127.0.0.1:8/check.php");
  EXPECT_EQ(pq::ServiceCheckRequest("http://h/check.php", "01022026101112"),
            "http://h/check.php?now=01022026101112");
}

TEST(SplashCheckTest, APassingCheckStillKeepsTheSplashUpForNineTicks) {
  pq::SplashCheck check(true);
  check.CheckPageLoaded(std::string("<html><body><pre>@@ok@@</pre></body></html>"),
                        [] { return std::string("@@ok@@"); });
  EXPECT_TRUE(check.Connected());
  for (int tick = 1; tick <= 9; ++tick) EXPECT_EQ(check.Tick(), tick == 9) << tick;
}

TEST(SplashCheckTest, TheSplashWaitsForALateAnswer) {
  pq::SplashCheck check(true);
  for (int tick = 1; tick <= 20; ++tick) EXPECT_FALSE(check.Tick());
  check.CheckPageLoaded(std::string("@@ok@@"), [] { return std::string("@@ok@@"); });
  EXPECT_TRUE(check.Tick());
}

TEST(SplashCheckTest, CheckOutcomes) {
  struct Case {
    const char* name;
    std::optional<std::string> page;
    std::string fetched;
    Outcome outcome;
    int fetches;
  };
  const std::vector<Case> cases{
      {"both channels pass", "<pre>@@ok@@</pre>", "x@@ok@@y", Outcome::Connected, 1},
      {"the page does not pass", "<html>Proxy error</html>", "@@ok@@", Outcome::Failed, 0},
      {"the page passes, the fetch does not (browser-only firewall)", "@@ok@@", "", Outcome::Failed, 1},
      {"the fetch answers something else", "@@ok@@", "@@OK@@", Outcome::Failed, 1},
      {"no document yet", std::nullopt, "@@ok@@", Outcome::Checking, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pq::SplashCheck check(true);
    int fetches = 0;
    check.CheckPageLoaded(c.page, [&] {
      ++fetches;
      return c.fetched;
    });
    EXPECT_EQ(check.CurrentOutcome(), c.outcome);
    EXPECT_EQ(fetches, c.fetches);
  }
}

TEST(SplashCheckTest, AFailedLoadAndASilentServiceFail) {
  pq::SplashCheck failed(true);
  failed.CheckPageFailed();
  EXPECT_EQ(failed.CurrentOutcome(), Outcome::Failed);
  pq::SplashCheck silent(true);
  for (int i = 0; i < pq::SplashCheck::kGiveUpTicks; ++i) silent.Tick();
  EXPECT_EQ(silent.CurrentOutcome(), Outcome::Failed);
}

TEST(SplashCheckTest, WithoutAServiceTheSplashOnlyWaitsItsMinimum) {
  pq::SplashCheck check(false);
  EXPECT_TRUE(check.Connected());
  int ticks = 0;
  while (!check.Tick()) ++ticks;
  EXPECT_EQ(ticks + 1, pq::SplashCheck::kMinimumTicks);
}

TEST(SplashCheckTest, ConnectMessageIsTheProgramsOwn) {
  EXPECT_EQ(pq::ConnectFailedMessage(),
            "Unable to connect to the Internet.\r\n\r\nYou may not be connected, or the Pagequill "
            "website may be down.\r\n\r\nIf you use a firewall, please ensure Pagequill is "
            "allowed to connect to the Internet.");
}

}  // namespace
