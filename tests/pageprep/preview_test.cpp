#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "pageprep/preview_file.h"
#include "pageprep/preview_frames.h"
#include "pageprep/preview_loads.h"
#include "pageprep/temp_files.h"
#include "support/file_text.h"
#include "support/private_temp.h"

namespace {

TEST(PreviewFile, Lines) {
  EXPECT_EQ(pq::SavedFromComment("http://www.example.com"),
            "<!-- saved from url=(0022)http://www.example.com -->");
  EXPECT_EQ(pq::PreviewFileText("http://www.example.com", false, "<html>x</html>"),
            "<!-- saved from url=(0022)http://www.example.com -->\r\n"
            "<BASE href=\"http://www.example.com\">\r\n<html>x</html>\r\n");
  // A frameset gets no saved-from comment.
  EXPECT_EQ(pq::PreviewFileText("http://s/f.htm", true, "<frameset>"),
            "<BASE href=\"http://s/f.htm\">\r\n<frameset>\r\n");
}

TEST(PreviewFile, WrittenInUtf8WithAByteOrderMark) {
  pqtest::PrivateTemp temp;
  const std::string path = pq::WritePreviewFile("http://s/a.htm", false, "<p>caf\xC3\xA9</p>");
  ASSERT_EQ(path, pq::TempFolder() + "preview.htm");
  EXPECT_EQ(pqtest::ReadFile(path), "\xEF\xBB\xBF<!-- saved from url=(0014)http://s/a.htm -->\r\n"
                                    "<BASE href=\"http://s/a.htm\">\r\n<p>caf\xC3\xA9</p>\r\n");
}

// A frameset: frame 0 readable, frame 1 unreadable, frame 2 a frameset of one frame.
struct FakeDocuments : pq::LiveDocuments {
  std::map<pq::FramePath, int> frames{{{}, 3}, {{0}, 0}, {{2}, 1}, {{2, 0}, 0}};
  std::map<pq::FramePath, pq::SpanSnapshot> spans;
  int FrameCount(const pq::FramePath& f) override {
    auto it = frames.find(f);
    return it == frames.end() ? -1 : it->second;
  }
  std::optional<pq::SpanSnapshot> Spans(const pq::FramePath& f) override {
    auto it = spans.find(f);
    if (it == spans.end()) return std::nullopt;
    return it->second;
  }
};

std::string FrameEdit(const std::string& url, const std::string& text) {
  return "<html><!--FullPath=\"" + url + "\"--><!--OrigURL=\"" + url +
         "\"--><body><SPAN ID=\"ZZZEDIT1\">" + text + "</SPAN></body></html>";
}

TEST(PreviewFrames, OneCopyPerReadableFrameInTableOrder) {
  pqtest::PrivateTemp temp;
  std::ofstream(pq::TempFolder() + "frmpreview1.htm") << "taken";  // an earlier preview's
  pq::FrameTable table;
  table[1].File = "frmpage1.htm";
  table[1].page.edit.html = FrameEdit("http://s/menu.htm", "Menu");
  table[2].File = pq::kFrameError;
  table[3].File = "frmpage2.htm";
  table[3].HasFrames = true;
  table[3].page.edit.html = FrameEdit("http://s/inner.htm", "Inner");
  table[4].File = "frmpage3.htm";
  table[4].page.edit.html = FrameEdit("http://s/news.htm", "News");
  FakeDocuments docs;
  docs.spans[{0}].elements["ZZZEDIT1"] = {"New menu", {}};
  docs.spans[{2, 0}].elements["ZZZEDIT1"] = {"Fresh news", {}};
  table.Counter = 1;
  pq::PreviewFrames(docs, table);

  EXPECT_EQ(table.Counter, 5);
  EXPECT_EQ(table[1].PreviewFile, pq::TempFolder() + "frmpreview2.htm");
  EXPECT_EQ(table[2].PreviewFile, "");
  EXPECT_EQ(table[3].PreviewFile, pq::TempFolder() + "frmpreview3.htm");
  EXPECT_EQ(table[4].PreviewFile, pq::TempFolder() + "frmpreview4.htm");
  EXPECT_EQ(pqtest::ReadFile(table[1].PreviewFile),
            "\xEF\xBB\xBF<BASE HREF=\"http://s/menu.htm\">\r\n"
            "<html><!--FullPath=\"http://s/menu.htm\"--><!--OrigURL=\"http://s/menu.htm\"-->"
            "<body>New menu</body></html>\r\n");
  // No live document for the inner frameset: its text as fetched.
  EXPECT_NE(pqtest::ReadFile(table[3].PreviewFile).find("<SPAN ID=\"ZZZEDIT1\">Inner</SPAN>"), std::string::npos);
  EXPECT_NE(pqtest::ReadFile(table[4].PreviewFile).find("<body>Fresh news</body>"),
            std::string::npos);
}

TEST(LoadedPages, NamesAreWaitedForOnce) {
  pq::LoadedPages pages;
  pages.Loaded("file:///tmp/pagequill-1/preview.htm");
  EXPECT_TRUE(pages.WasLoaded("preview.htm"));
  pages.SetupWait("/tmp/x/preview.htm");
  EXPECT_FALSE(pages.WasLoaded("preview.htm"));
  for (int i = 0; i < 150; ++i) pages.Loaded("http://s/p" + std::to_string(i) + ".htm");
  EXPECT_TRUE(pages.WasLoaded("p149.htm"));  // a full list makes room for the newest
  pages.Clear();
  EXPECT_FALSE(pages.WasLoaded("p149.htm"));
}

}  // namespace
