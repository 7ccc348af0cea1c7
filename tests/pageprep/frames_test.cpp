#include "pageprep/frames.h"

#include <gtest/gtest.h>

#include "support/file_text.h"
#include "support/private_temp.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "pageprep/temp_files.h"

namespace {

namespace fs = std::filesystem;

// Every test writes into a fresh private TEMP.
class FramesTest : public ::testing::Test {
 protected:

  pq::Fetcher Fetch() {
    return [this](const std::string& url) {
      auto it = pages_.find(url.substr(0, url.find("?now=")));
      return it == pages_.end() ? std::string() : it->second;
    };
  }
  static std::string Read(const std::string& path) { return pqtest::ReadFile(path); }
  static pq::DocumentSnapshot Doc(const std::string& url, std::vector<pq::DocumentSnapshot> frames = {}) {
    pq::DocumentSnapshot d;
    d.location = url;
    d.outerHTML = "<html><body>served " + url + "</body></html>";
    d.frames = std::move(frames);
    return d;
  }
  static pq::DocumentSnapshot Unreadable() {
    pq::DocumentSnapshot d;
    d.readable = false;
    return d;
  }

  pqtest::PrivateTemp temp_;
  const std::string& base_ = temp_.path();
  std::map<std::string, std::string> pages_;
};

const std::string kSite = "http://127.0.0.1:9/";

TEST_F(FramesTest, NestedFramesAreCopiedDepthFirstWithTheirTableEntries) {
  for (const char* name : {"a.htm", "b.htm", "b1.htm", "b2.html"})
    pages_[kSite + name] = std::string("<html><head></head><body>Frame ") + name + "</body></html>";
  const auto top = Doc(kSite + "fs.htm", {Doc(kSite + "a.htm"),
                                          Doc(kSite + "b.htm", {Doc(kSite + "b1.htm"), Doc(kSite + "b2.html")})});
  pq::FrameTable table;
  pq::ClearFrameCopies(table);
  pq::PrepareFrames(&top, table, Fetch());

  ASSERT_EQ(table.Counter, 5);
  const struct {
    int entry;
    const char* name;
    bool hasFrames;
  } expected[] = {{1, "a.htm", false}, {2, "b.htm", true}, {3, "b1.htm", false}, {4, "b2.html", false}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    const pq::FrameEntry& entry = table[e.entry];
    const std::string href = kSite + e.name;
    EXPECT_EQ(entry.File, pq::TempFolder() + "frmpage" + std::to_string(e.entry) + ".htm");
    EXPECT_EQ(entry.Source(), pages_[href]);
    const std::string marked =
        pq::AddSpans(pq::AddMarker(pq::AddMarker(pages_[href], "OrigURL", href), "FullPath", href));
    EXPECT_EQ(entry.EditHTML(), marked);
    EXPECT_EQ(Read(entry.File), "\xEF\xBB\xBF" "<BASE HREF=\"" + href + "\">\r\n" + marked + "\r\n");
    EXPECT_EQ(entry.HasFrames, e.hasFrames);
    EXPECT_TRUE(entry.Editable);
  }
  // FullPath comes before OrigURL, right after the opening tag.
  EXPECT_NE(table[1].EditHTML().find("<html><!--FullPath=\"" + kSite + "a.htm\"--><!--OrigURL=\""), std::string::npos);
}

TEST_F(FramesTest, AnUnreadableFrameIsMarkedAndTheOthersGoOn) {
  pages_[kSite + "b.htm"] = "<html><body>B</body></html>";
  const auto top = Doc(kSite + "fs.htm", {Unreadable(), Doc(kSite + "b.htm")});
  pq::FrameTable table;
  table[1].Editable = true;  // left over from an earlier page
  table[1].HasFrames = true;
  pq::PrepareFrames(&top, table, Fetch());

  EXPECT_EQ(table.Counter, 3);
  EXPECT_EQ(table[1].File, pq::kFrameError);
  EXPECT_FALSE(table[1].Editable);
  EXPECT_FALSE(table[1].HasFrames);
  // The file numbering is independent of the table: the readable frame takes the first free file.
  EXPECT_EQ(table[2].File, pq::TempFolder() + "frmpage1.htm");
  EXPECT_EQ(table[2].Source(), pages_[kSite + "b.htm"]);
}

TEST_F(FramesTest, AFrameWhoseSourceCannotBeFetchedUsesTheEnginesSerialisation) {
  pages_[kSite + "a.htm"] = " \r\n\t ";
  const auto top = Doc(kSite + "fs.htm", {Doc(kSite + "a.htm"), Doc(kSite + "missing.htm")});
  pq::FrameTable table;
  pq::PrepareFrames(&top, table, Fetch());
  EXPECT_EQ(table[1].Source(), top.frames[0].outerHTML);
  EXPECT_EQ(table[2].Source(), top.frames[1].outerHTML);
}

TEST_F(FramesTest, FullPathAndEditabilityOfFolderAddresses) {
  // The folder "docs/" answers like its index.htm; "other/" matches no default document.
  pages_[kSite + "docs/"] = "<html>docs home</html>";
  pages_[kSite + "docs/index.htm"] = "<html>docs home</html>";
  pages_[kSite + "other/"] = "<html>generated</html>";
  pages_[kSite + "other/index.htm"] = "<html>something else</html>";
  const auto top = Doc(kSite + "fs.htm", {Doc(kSite + "docs/"), Doc(kSite + "other/")});
  pq::FrameTable table;
  pq::PrepareFrames(&top, table, Fetch());

  EXPECT_EQ(pq::GetMarker(table[1].EditHTML(), "FullPath"), kSite + "docs/index.htm");
  EXPECT_TRUE(table[1].Editable);
  EXPECT_EQ(pq::GetMarker(table[2].EditHTML(), "FullPath"), kSite + "other/");
  EXPECT_FALSE(table[2].Editable);
}

TEST_F(FramesTest, MakeFrameCopyTakesTheSmallestFreeNumber) {
  std::ofstream(pq::TempFolder() + "frmpage1.htm") << "busy";
  std::ofstream(pq::TempFolder() + "frmpage3.htm") << "busy";
  pages_[kSite + "a.htm"] = "<html>A</html>";
  pq::FrameTable table;
  EXPECT_EQ(pq::MakeFrameCopy(Doc(kSite + "a.htm"), 7, "frmpage", table, Fetch()),
            pq::TempFolder() + "frmpage2.htm");
  EXPECT_EQ(table[7].Source(), "<html>A</html>");
}

TEST_F(FramesTest, FramesBeyondTheTableAreLeftOut) {
  std::vector<pq::DocumentSnapshot> many;
  for (int i = 0; i < pq::FrameTable::kSize + 20; ++i) many.push_back(Unreadable());
  const auto top = Doc(kSite + "fs.htm", std::move(many));
  pq::FrameTable table;
  pq::PrepareFrames(&top, table, Fetch());
  EXPECT_EQ(table.Counter, pq::FrameTable::kSize);
  EXPECT_EQ(table[pq::FrameTable::kSize - 1].File, pq::kFrameError);
}

TEST_F(FramesTest, NothingHappensWithoutADocumentOrFrames) {
  pq::FrameTable table;
  pq::PrepareFrames(nullptr, table, Fetch());
  const auto plain = Doc(kSite + "page.htm");
  pq::PrepareFrames(&plain, table, Fetch());
  EXPECT_EQ(table.Counter, 1);
  EXPECT_FALSE(pq::FileExists(pq::TempFolder() + "frmpage1.htm"));
}

}  // namespace
