#include "engine/key_file_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "log_capture.h"

namespace pq::engine {
namespace {

class KeyFileSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/pq-settings-XXXXXX";
    dir = mkdtemp(tmpl);
    path = dir + "/pagequill/settings.ini";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string dir, path;
};

TEST_F(KeyFileSettingsTest, ValuesSurviveANewStoreAndMissingKeysGiveTheFallback) {
  {
    KeyFileSettings s(path);
    EXPECT_EQ(s.GetSetting("History", "Num1", "none"), "none");
    s.SaveSetting("History", "Num1", "http://www.example.com/a b?x=1&y=\"2\"");
    s.SaveSetting("HideMsg", "LinkAmend", "Y");
    s.SaveSetting("passwords", "http://www.example.com/", "pa=ss;word#1\nline2");
    EXPECT_TRUE(s.LastWriteOk());
  }
  KeyFileSettings again(path);
  EXPECT_EQ(again.GetSetting("History", "Num1"), "http://www.example.com/a b?x=1&y=\"2\"");
  EXPECT_EQ(again.GetSetting("HideMsg", "LinkAmend"), "Y");
  EXPECT_EQ(again.GetSetting("passwords", "http://www.example.com/"), "pa=ss;word#1\nline2");
  EXPECT_EQ(again.GetSetting("passwords", "http://other.example/", "-"), "-");
}

TEST_F(KeyFileSettingsTest, FileIsPrivateBecauseItHoldsPasswords) {
  KeyFileSettings s(path);
  s.SaveSetting("passwords", "http://site.example/", "secret");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(stat((dir + "/pagequill").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0077, 0u);
}

TEST_F(KeyFileSettingsTest, KeysThatAKeyFileCannotHoldAreEscaped) {
  KeyFileSettings s(path);
  s.SaveSetting("passwords", "http://[::1]:8080/a=b", "v6");
  s.SaveSetting("passwords", "http://[::1]:8080/a%3Db", "other");
  EXPECT_EQ(s.GetSetting("passwords", "http://[::1]:8080/a=b"), "v6");
  EXPECT_EQ(KeyFileSettings(path).GetSetting("passwords", "http://[::1]:8080/a=b"), "v6");
  EXPECT_EQ(KeyFileSettings(path).GetSetting("passwords", "http://[::1]:8080/a%3Db"), "other");
}

TEST_F(KeyFileSettingsTest, TwoStoresOverOneFileKeepEachOthersChanges) {
  KeyFileSettings a(path), b(path);
  a.SaveSetting("passwords", "http://site.example/", "secret");
  b.SaveSetting("History", "Num1", "http://site.example/page.htm");
  EXPECT_EQ(b.GetSetting("passwords", "http://site.example/"), "secret");
  EXPECT_EQ(a.GetSetting("History", "Num1"), "http://site.example/page.htm");
  KeyFileSettings c(path);
  EXPECT_EQ(c.GetSetting("passwords", "http://site.example/"), "secret");
  // Written by renaming a finished file: nothing else is left in the folder.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir + "/pagequill")) {
    ++files;
    EXPECT_EQ(e.path().filename(), "settings.ini");
  }
  EXPECT_EQ(files, 1);
}

// A file that does not parse is never written over: it is moved aside, what can be read is
// kept, and the user is told where the old file went.
TEST_F(KeyFileSettingsTest, ADamagedFileIsMovedAsideAndItsReadableEntriesKept) {
  const struct {
    const char* name;
    std::string text;
    std::string passwordKept;  // "" : nothing to keep
  } cases[] = {
      {"one bad line", "[passwords]\nhttp://site=secret\nthis line is no entry\n[History]\nNum1=a\n",
       "secret"},
      {"an entry before the first group", "Num9=z\n[passwords]\nhttp://site=secret\n", "secret"},
      {"nothing readable", "\x01\x02 not a key file [[[", ""},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir + "/pagequill");
    std::filesystem::create_directories(dir + "/pagequill");
    std::ofstream(path, std::ios::binary) << c.text;
    std::vector<std::string> told;
    KeyFileSettings s(path);
    s.SetNoticeHandler([&](const std::string& m) { told.push_back(m); });
    EXPECT_EQ(s.GetSetting("passwords", "http://site"), c.passwordKept) << c.name;
    std::vector<std::string> aside;
    for (const auto& e : std::filesystem::directory_iterator(dir + "/pagequill"))
      if (e.path().filename().string().rfind("settings.ini.broken-", 0) == 0) aside.push_back(e.path());
    ASSERT_EQ(aside.size(), 1u) << c.name;
    std::ifstream in(aside[0], std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.text) << c.name;
    ASSERT_EQ(told.size(), 1u) << c.name;
    EXPECT_NE(told[0].find(aside[0]), std::string::npos) << told[0];
    s.SaveSetting("History", "Num1", "x");
    EXPECT_EQ(KeyFileSettings(path).GetSetting("History", "Num1"), "x") << c.name;
    EXPECT_EQ(KeyFileSettings(path).GetSetting("passwords", "http://site"), c.passwordKept) << c.name;
  }
}

TEST_F(KeyFileSettingsTest, AFileOthersCanReadIsMadePrivateAndTheUserTold) {
  std::filesystem::create_directories(dir + "/pagequill");
  std::ofstream(path) << "[passwords]\nhttp://site=secret\n";
  chmod(path.c_str(), 0644);
  std::vector<std::string> told;
  KeyFileSettings s(path);
  s.SetNoticeHandler([&](const std::string& m) { told.push_back(m); });
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("private"), std::string::npos) << told[0];
  EXPECT_EQ(s.GetSetting("passwords", "http://site"), "secret");
}

// A folder that cannot hold the file: the user is told once, not at every change, and the log
// has a warning (shown without G_MESSAGES_DEBUG) that names the file.
TEST_F(KeyFileSettingsTest, AWriteThatFailsIsToldOnce) {
  std::ofstream(dir + "/pagequill") << "a file where the folder should be";
  std::vector<std::string> told;
  test::LogCapture log;
  KeyFileSettings s(path);
  s.SetNoticeHandler([&](const std::string& m) { told.push_back(m); });
  s.SaveSetting("History", "Num1", "x");
  s.SaveSetting("History", "Num2", "y");
  EXPECT_FALSE(s.LastWriteOk());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("cannot save"), std::string::npos) << told[0];
  EXPECT_NE(told[0].find(path), std::string::npos) << told[0];
  int warnings = 0;
  for (const auto& e : log.Entries()) {
    if (e.message.find("could not be written") == std::string::npos) continue;
    ++warnings;
    EXPECT_EQ(e.domain, "Pagequill");
    EXPECT_TRUE(e.level & G_LOG_LEVEL_WARNING) << e.message;
    EXPECT_NE(e.message.find(path), std::string::npos) << e.message;
  }
  EXPECT_EQ(warnings, 1);
}

}  // namespace
}  // namespace pq::engine
