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

class TempFilesTest : public ::testing::Test {
 protected:
  void Touch(const std::string& path) { std::ofstream(path) << "x"; }
  pqtest::PrivateTemp temp_;
  const std::string& base_ = temp_.path();
};

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
