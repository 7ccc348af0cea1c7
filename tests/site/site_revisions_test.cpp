// Earlier versions of a page outside the site, and the temporary files of cut-short writes.
#include <gtest/gtest.h>

#include "site-script/page_writer.h"
#include "site-script/revisions.h"
#include "site_test_support.h"

namespace {

using namespace pq::site;
using sitetest::ReadFile;
using sitetest::WriteFile;
namespace fs = std::filesystem;

TEST(Revisions, OnlyRevisionNamesAreIdsAndTheyListNewestFirst) {
  for (const char* id : {"20240101-120000", "20240101-120000-2", "20240101-120000-10"}) {
    EXPECT_TRUE(IsRevisionId(id)) << id;
  }
  for (const char* id : {"", "2024010-120000", "20240101120000", "20240101-120000-", "20240101-120000-0",
                         "20240101-120000-01", "20240101-12000a", "../../etc/passwd",
                         "20240101-120000/../x", "20240101-120000-123456"}) {
    EXPECT_FALSE(IsRevisionId(id)) << id;
  }
  sitetest::TempSite site;
  const fs::path stem = site.backups / "page.htm";
  for (const char* suffix : {"20240101-120000", "20240101-120000-2", "20240101-120000-10",
                             "20240102-000000", "junk", "20240103-000000.bak"}) {
    WriteFile(stem.string() + "." + suffix, suffix);
  }
  WriteFile(site.backups / "page.html.20240105-000000", "another page");
  std::vector<std::string> ids;
  for (const auto& r : ListRevisions(stem)) {
    ids.push_back(r.id);
    EXPECT_EQ(r.size, r.id.size());
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"20240102-000000", "20240101-120000-10",
                                           "20240101-120000-2", "20240101-120000"}));
  EXPECT_FALSE(FindRevision(stem, "junk"));
  EXPECT_TRUE(FindRevision(stem, "20240101-120000-2"));
}

TEST(Revisions, EachWriteKeepsThePreviousVersionUpToTheLimit) {
  sitetest::TempSite site;
  const fs::path page = site.root / "sub" / "inner.htm";
  for (int i = 1; i <= 5; ++i) {
    ASSERT_EQ(WritePage(site.root, page, "<p>" + std::to_string(i) + "</p>", site.backups, 3), "");
  }
  EXPECT_EQ(ReadFile(page), "<p>5</p>");
  const auto kept = ListRevisions(RevisionStem(site.root, page, site.backups));
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(ReadFile(kept[0].file), "<p>4</p>");
  EXPECT_EQ(ReadFile(kept[2].file), "<p>2</p>");
  EXPECT_EQ(kept[0].file.parent_path(), site.backups / "sub") << "outside the site, by its path";
}

TEST(LeftoverTempFiles, OnlyTheTemporaryFilesOfPageWritesAreRemoved) {
  sitetest::TempSite site;
  const std::vector<std::string> leftovers = {".page.htm.pq-Ab3xYz", "sub/.inner.HTM.pq-000000",
                                              ".index.html.pq-zzzzzz"};
  const std::vector<std::string> kept = {".page.htm.pq-short", ".notes.txt.pq-Ab3xYz", ".pq-Ab3xYz",
                                         "page.htm.pq-Ab3xYz", ".htaccess"};
  for (const auto& name : leftovers) WriteFile(site.root / name, "half a page");
  for (const auto& name : kept) WriteFile(site.root / name, "not ours");
  fs::create_symlink(site.outside / "secret.htm", site.root / ".secret.htm.pq-linked");
  WriteFile(site.outside / ".x.htm.pq-Ab3xYz", "beyond a link");

  EXPECT_EQ(RemoveLeftoverTempFiles(site.root), 3);
  for (const auto& name : leftovers) EXPECT_FALSE(fs::exists(site.root / name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(site.root / name)) << name;
  EXPECT_TRUE(fs::exists(site.outside / ".x.htm.pq-Ab3xYz"));
  EXPECT_TRUE(fs::exists(site.outside / "secret.htm"));
}

}  // namespace
