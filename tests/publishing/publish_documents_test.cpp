#include "publishing/publish_documents.h"

#include <gtest/gtest.h>

#include <map>

#include "support/fake_live_documents.h"

namespace {

// Top page with three frames: 0 plain, 1 unreadable, 2 a frameset holding one frame.
struct FakeLive : pqtest::FakeLiveDocuments {
  std::map<pq::FramePath, int> frames{{{}, 3}, {{0}, 0}, {{1}, -1}, {{2}, 1}, {{2, 0}, 0}};
  int FrameCount(const pq::FramePath& f) override { return frames.count(f) ? frames[f] : -1; }
};

TEST(DocumentsToPublish, TopPageThenFramesInTableOrder) {
  pq::PageRecord record;
  record.page.edit.html = "top edit";
  record.page.source.text = "top";
  record.page.source.bytes = "top";
  record.page.source.charset = "windows-1251";
  pq::FrameTable table;
  auto entry = [](const char* file, const char* text, const char* charset, const char* edit,
                  bool hasFrames) {
    pq::FrameEntry e;
    e.File = file;
    e.page.source.text = e.page.source.bytes = text;
    e.page.source.charset = charset;
    e.page.edit.html = edit;
    e.HasFrames = hasFrames;
    return e;
  };
  table[1] = entry("frmpage1.htm", "menu", "utf-8", "menu edit", false);
  table[2].File = pq::kFrameError;
  table[3] = entry("frmpage2.htm", "inner", "utf-8", "inner edit", true);
  table[4] = entry("frmpage3.htm", "news", "koi8-r", "news edit", false);
  FakeLive live;
  for (const pq::FramePath& f : {pq::FramePath{}, {0}, {2}, {2, 0}})
    live.spans[f].elements["ZZZEDIT1"] = {"x", {}};
  live.recorded[{2, 0}].elements["ZZZEDIT1"] = {"y", {}};

  const auto docs = pq::DocumentsToPublish(record, table, live);
  ASSERT_EQ(docs.size(), 5u);
  EXPECT_EQ(docs[0].page.edit.html, "top edit");
  EXPECT_EQ(docs[0].page.source.charset, "windows-1251");
  EXPECT_EQ(docs[1].page.edit.html, "menu edit");
  EXPECT_FALSE(docs[2].readable);
  EXPECT_EQ(docs[3].page.edit.html, "inner edit");
  EXPECT_EQ(docs[4].page.edit.html, "news edit");
  EXPECT_EQ(docs[4].page.source.charset, "koi8-r");
  EXPECT_FALSE(docs[1].recorded.has_value());
  ASSERT_TRUE(docs[4].recorded.has_value());
  EXPECT_EQ(docs[4].recorded->elements.at("ZZZEDIT1").innerHTML, "y");
}

}  // namespace
