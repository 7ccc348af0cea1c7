#include "pageprep/temp_files.h"

#include <gtest/gtest.h>

#include "support/private_temp.h"
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "pageprep/frame_table.h"

namespace {

namespace fs = std::filesystem;

// The private folder's name, with its leading "/".
std::string Mine() { return "/pagequill-" + std::to_string(getuid()); }

// Sets (or with nullptr unsets) an environment variable while it lives.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) had_ = true, saved_ = old;
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() {
    if (had_) setenv(name_, saved_.c_str(), 1); else unsetenv(name_);
  }

 private:
  const char* name_;
  std::string saved_;
  bool had_ = false;
};

class TempFilesTest : public ::testing::Test {
 protected:
  void Touch(const std::string& path) { std::ofstream(path) << "x"; }
  pqtest::PrivateTemp temp_;
  const std::string& base_ = temp_.path();
  // Only TEMP (set by temp_) counts unless a test says otherwise.
  ScopedEnv lowerTemp_{"temp", nullptr}, tmp_{"TMP", nullptr}, lowerTmp_{"tmp", nullptr};
};

// What TEMP names, made in the test's folder; each is passed over for the next variable.
struct UnusableCase {
  const char* what;
  std::string (*make)(const std::string& base);  // returns the value for TEMP
  bool needsPermissions;                          // root writes anywhere
};

const UnusableCase kUnusable[] = {
    {"a missing folder", [](const std::string& b) { return b + "/none"; }, false},
    {"a file instead of a folder",
     [](const std::string& b) {
       std::ofstream(b + "/file") << "x";
       return b + "/file";
     },
     false},
    {"a folder that cannot be written",
     [](const std::string& b) {
       fs::create_directory(b + "/ro");
       fs::permissions(b + "/ro", fs::perms::owner_read | fs::perms::owner_exec);
       return b + "/ro";
     },
     true},
    {"a symbolic link to nowhere",
     [](const std::string& b) {
       fs::create_directory_symlink(b + "/none", b + "/dangling");
       return b + "/dangling";
     },
     false},
    {"a planted link in a folder that cannot be written",
     [](const std::string& b) {
       fs::create_directory(b + "/ro2");
       fs::create_directory(b + "/elsewhere");
       fs::create_directory_symlink(b + "/elsewhere", b + "/ro2" + Mine());
       fs::permissions(b + "/ro2", fs::perms::owner_read | fs::perms::owner_exec);
       return b + "/ro2";
     },
     true},
};

TEST_F(TempFilesTest, AnUnusableFolderIsPassedOverForTheNextVariable) {
  const std::string next = base_ + "/next";
  fs::create_directory(next);
  for (const auto& c : kUnusable) {
    if (c.needsPermissions && geteuid() == 0) continue;  // root may write in any folder
    ScopedEnv temp("TEMP", c.make(base_).c_str());
    ScopedEnv tmp("TMP", next.c_str());
    const std::string folder = pq::TempFolder();
    EXPECT_EQ(folder, next + Mine() + "/") << c.what;
    EXPECT_TRUE(pq::WriteEditCopy(folder + "webed.htm", "u", "h")) << c.what;
  }
  for (const auto& e : fs::recursive_directory_iterator(base_))  // so that it can be removed
    if (e.is_directory() && !e.is_symlink()) fs::permissions(e.path(), fs::perms::owner_all);
}

TEST_F(TempFilesTest, WhenNoVariableNamesAUsableFolderTmpIsUsed) {
  ScopedEnv temp("TEMP", (base_ + "/none").c_str());
  ScopedEnv lowerTemp("temp", (base_ + "/none").c_str());
  ScopedEnv tmp("TMP", "");
  ScopedEnv lowerTmp("tmp", (base_ + "/none").c_str());
  const std::string folder = pq::TempFolder();
  EXPECT_EQ(folder.rfind("/tmp" + Mine(), 0), 0u) << folder;
}

TEST_F(TempFilesTest, OurFolderLeftReadOnlyIsMadePrivateAndWritableAgain) {
  const std::string mine = base_ + Mine();
  fs::create_directory(mine);
  fs::permissions(mine, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(pq::TempFolder(), mine + "/");
  EXPECT_EQ(fs::status(mine).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(TempFilesTest, TempFolderIsPrivateAndEndsInSlash) {
  const std::string folder = pq::TempFolder();
  EXPECT_EQ(folder, base_ + "/pagequill-" + std::to_string(getuid()) + "/");
  struct stat st{};
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(TempFilesTest, TempFolderRefusesAPlantedSymlink) {
  const std::string planted = base_ + "/pagequill-" + std::to_string(getuid());
  fs::create_directory(base_ + "/elsewhere");
  fs::create_directory_symlink(base_ + "/elsewhere", planted);
  const std::string folder = pq::TempFolder();
  EXPECT_NE(folder, planted + "/");
  EXPECT_FALSE(fs::is_symlink(fs::path(folder).parent_path()));
}

TEST_F(TempFilesTest, NumberedFilesTakeTheSmallestFreeNumber) {
  const std::string folder = pq::TempFolder();
  EXPECT_EQ(pq::NumberedFileName("frmpage"), folder + "frmpage1.htm");
  Touch(folder + "frmpage1.htm");
  Touch(folder + "frmpage3.htm");
  EXPECT_EQ(pq::NumberedFileName("frmpage"), folder + "frmpage2.htm");
  EXPECT_EQ(pq::NumberedFileName("frmpreview"), folder + "frmpreview1.htm");
}

TEST_F(TempFilesTest, ClearFrameCopiesStopsAtTheFirstGap) {
  const std::string folder = pq::TempFolder();
  for (int n : {1, 2, 4}) Touch(folder + "frmpage" + std::to_string(n) + ".htm");
  pq::FrameTable table;
  table.Counter = 7;
  pq::ClearFrameCopies(table);
  EXPECT_EQ(table.Counter, 1);
  EXPECT_FALSE(pq::FileExists(folder + "frmpage1.htm"));
  EXPECT_FALSE(pq::FileExists(folder + "frmpage2.htm"));
  EXPECT_TRUE(pq::FileExists(folder + "frmpage4.htm"));
}

TEST_F(TempFilesTest, FileExistsAndDeleteQuietly) {
  EXPECT_FALSE(pq::FileExists(base_));  // a folder is not a file
  EXPECT_FALSE(pq::FileExists(base_ + "/none"));
  pq::DeleteFileQuietly(base_ + "/none");  // no error escapes
  Touch(base_ + "/f");
  EXPECT_TRUE(pq::FileExists(base_ + "/f"));
  pq::DeleteFileQuietly(base_ + "/f");
  EXPECT_FALSE(pq::FileExists(base_ + "/f"));
}

TEST_F(TempFilesTest, EditCopyIsBaseLineThenPageWithCrLf) {
  const std::string path = pq::TempFolder() + "webed.htm";
  ASSERT_TRUE(pq::WriteEditCopy(path, "http://h/a.htm", "<html>x</html>"));
  std::ifstream in(path, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "\xEF\xBB\xBF<BASE HREF=\"http://h/a.htm\">\r\n<html>x</html>\r\n");
  EXPECT_FALSE(pq::WriteEditCopy(base_ + "/no/such/dir/x.htm", "u", "h"));
}

TEST(FrameTable, HasTwoHundredAndOneEntries) {
  pq::FrameTable table;
  EXPECT_EQ(table.Entries.size(), 201u);
  EXPECT_EQ(table.Counter, 1);
  EXPECT_THROW(table[201], std::out_of_range);
  table.Counter = 201;
  EXPECT_TRUE(table.Full());
}

}  // namespace
