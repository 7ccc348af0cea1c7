#include "engine/key_file_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

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
    EXPECT_TRUE(s.lastWriteOk());
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

TEST_F(KeyFileSettingsTest, AnUnreadableFileIsAnEmptyStore) {
  std::filesystem::create_directories(dir + "/pagequill");
  std::ofstream(path) << "\x01\x02 not a key file [[[";
  KeyFileSettings s(path);
  EXPECT_EQ(s.GetSetting("History", "Num1", "empty"), "empty");
  s.SaveSetting("History", "Num1", "x");
  EXPECT_EQ(KeyFileSettings(path).GetSetting("History", "Num1"), "x");
}

}  // namespace
}  // namespace pq::engine
