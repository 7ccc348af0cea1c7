#include "pageprep/edit_copy.h"

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
#include "pageprep/restore_html.h"
#include "pageprep/temp_files.h"

namespace {

namespace fs = std::filesystem;

class EditCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    progress_.Starting = [this] { log_ += "starting;"; };
    progress_.SourceMarked = [this] { log_ += "marked;"; };
  }

  pq::Fetcher Fetch() {
    return [this](const std::string& url) {
      log_ += "fetch " + url.substr(0, url.find("?now=")) + ";";
      if (auto raw = fetched_.find(url.substr(0, url.find("?now="))); raw != fetched_.end())
        return raw->second;
      auto it = pages_.find(url.substr(0, url.find("?now=")));
      return it == pages_.end() ? pq::FetchedPage() : pq::FetchedPage(it->second);
    };
  }
  static std::string Read(const std::string& path) { return pqtest::ReadFile(path); }
  static std::shared_ptr<pq::DocumentSnapshot> Doc(const std::string& url) {
    auto d = std::make_shared<pq::DocumentSnapshot>();
    d->location = url;
    d->outerHTML = "<html><head></head><body>as shown</body></html>";
    d->outerText = "as shown";
    return d;
  }
  pq::EditCopyOutcome Prepare(std::shared_ptr<pq::DocumentSnapshot> doc) {
    return pq::PrepareEditCopy(doc, record_, frames_, startPage_, Fetch(), progress_);
  }
  std::string EditCopyPath() const { return pq::TempFolder() + "webed.htm"; }

  pqtest::PrivateTemp temp_;
  const std::string& base_ = temp_.path();
  std::map<std::string, std::string> pages_;
  std::map<std::string, pq::FetchedPage> fetched_;  // answers with bytes of their own
  pq::PageRecord record_;
  pq::FrameTable frames_;
  std::string startPage_;
  pq::EditCopyProgress progress_;
  std::string log_;
};

const std::string kHome = "http://127.0.0.1:9/index.htm";

TEST_F(EditCopyTest, WritesTheBaseLineAndTheMarkedUpSource) {
  pages_[kHome] = "<HTML lang=\"en\"><body><p>Hello</p></body></HTML>";
  auto doc = Doc(kHome);
  record_.busy = true;
  ASSERT_EQ(Prepare(doc), pq::EditCopyOutcome::Prepared);

  const std::string spans = pq::AddSpans(pages_[kHome]);
  const std::string expected = pq::AddMarker(pq::AddMarker(spans, "OrigURL", kHome), "FullPath", kHome);
  EXPECT_NE(expected.find("<HTML lang=\"en\"><!--FullPath=\"" + kHome + "\"--><!--OrigURL=\"" + kHome + "\"-->"),
            std::string::npos);
  EXPECT_EQ(Read(EditCopyPath()), "\xEF\xBB\xBF" "<BASE HREF=\"" + kHome + "\">\r\n" + expected + "\r\n");
  EXPECT_EQ(record_.EditHTML(), expected);
  EXPECT_EQ(record_.OriginalHTML(), pages_[kHome]);
  EXPECT_EQ(record_.WebURL, kHome);
  EXPECT_EQ(record_.HtDoc, doc);
  EXPECT_FALSE(record_.busy);
  EXPECT_EQ(startPage_, kHome);
  EXPECT_EQ(log_, "starting;fetch " + kHome + ";marked;");
}

TEST_F(EditCopyTest, TheStartPageIsSetOnce) {
  const std::string second = "http://127.0.0.1:9/about.htm";
  pages_[kHome] = pages_[second] = "<html>x</html>";
  Prepare(Doc(kHome));
  Prepare(Doc(second));
  EXPECT_EQ(startPage_, kHome);
  EXPECT_EQ(record_.WebURL, second);
}

TEST_F(EditCopyTest, AnEmptyAnswerFallsBackToTheEnginesSerialisation) {
  pages_[kHome] = "  \r\n ";
  auto doc = Doc(kHome);
  ASSERT_EQ(Prepare(doc), pq::EditCopyOutcome::Prepared);
  EXPECT_EQ(record_.OriginalHTML(), doc->outerHTML);
}

TEST_F(EditCopyTest, AFolderAddressGetsItsIndexFileAsFullPath) {
  const std::string folder = "http://127.0.0.1:9/news";
  pages_[folder + "/"] = pages_["http://127.0.0.1:9/news/index.htm"] = "<html>news</html>";
  pages_[folder] = "<html>news</html>";
  ASSERT_EQ(Prepare(Doc(folder)), pq::EditCopyOutcome::Prepared);
  EXPECT_EQ(pq::GetMarker(record_.EditHTML(), "FullPath"), "http://127.0.0.1:9/news/index.htm");
  EXPECT_EQ(pq::GetMarker(record_.EditHTML(), "OrigURL"), folder);
}

TEST_F(EditCopyTest, AnUnresolvedFullPathIsWrittenEmpty) {
  auto doc = Doc("file:///tmp/page.htm");
  ASSERT_EQ(Prepare(doc), pq::EditCopyOutcome::Prepared);
  EXPECT_NE(record_.EditHTML().find("<!--FullPath=\"\"-->"), std::string::npos);
}

TEST_F(EditCopyTest, TheErrorPageIsNotPrepared) {
  auto doc = Doc("http://127.0.0.1:1/gone.htm");
  doc->outerText = "THE PAGE CANNOT BE DISPLAYED\nThe address could not be reached.";
  record_.WebURL = kHome;
  EXPECT_EQ(Prepare(doc), pq::EditCopyOutcome::PageCantBeDisplayed);
  EXPECT_FALSE(pq::FileExists(EditCopyPath()));
  EXPECT_EQ(record_.WebURL, kHome);
  EXPECT_EQ(log_, "");
  EXPECT_TRUE(startPage_.empty());
}

// A mistyped address shows the server's error page; it is no page of the website, and
// publishing it would create one holding the error text. Nothing is prepared, and the status
// line is told why.
TEST_F(EditCopyTest, AnErrorAnswerIsNotPrepared) {
  const struct {
    unsigned status;
    bool failed;
    const char* why;
  } cases[] = {
      {404, false, "This page is not on the website (404 Not Found), so there is nothing to edit"},
      {500, false, "server error 500"},
      {403, false, "(403)"},
      {0, true, "did not answer"},
  };
  for (const auto& c : cases) {
    pq::FetchedPage answer("<html><body><h1>404 Not Found</h1></body></html>");
    answer.status = c.status;
    answer.failed = c.failed;
    if (c.failed) answer = pq::FetchedPage(), answer.failed = true;
    fetched_[kHome] = answer;
    record_.WebURL = "http://127.0.0.1:9/before.htm";
    std::string why;
    progress_.NotEditable = [&](const std::string& w) { why = w; };
    EXPECT_EQ(Prepare(Doc(kHome)), pq::EditCopyOutcome::NotOnWebsite) << c.status;
    EXPECT_NE(why.find(c.why), std::string::npos) << why;
    EXPECT_FALSE(pq::FileExists(EditCopyPath())) << c.status;
    EXPECT_EQ(record_.WebURL, "http://127.0.0.1:9/before.htm");
  }
  pq::FetchedPage fine("<html>ok</html>");
  fine.status = 200;
  fetched_[kHome] = fine;
  EXPECT_EQ(Prepare(Doc(kHome)), pq::EditCopyOutcome::Prepared);
}

TEST_F(EditCopyTest, ADocumentWithoutLocationIsIgnored) {
  EXPECT_EQ(Prepare(Doc("")), pq::EditCopyOutcome::Ignored);
  EXPECT_EQ(pq::PrepareEditCopy(nullptr, record_, frames_, startPage_, Fetch(), progress_),
            pq::EditCopyOutcome::Ignored);
  EXPECT_FALSE(pq::FileExists(EditCopyPath()));
}

TEST_F(EditCopyTest, AFramesetReplacesTheEarlierFrameCopies) {
  for (int n = 1; n <= 4; ++n) std::ofstream(pq::TempFolder() + "frmpage" + std::to_string(n) + ".htm") << "old";
  const std::string site = "http://127.0.0.1:9/";
  pages_[site + "fs.htm"] = "<html><frameset><frame src=a.htm><frame src=b.htm></frameset></html>";
  pages_[site + "a.htm"] = "<html>A</html>";
  pages_[site + "b.htm"] = "<html>B</html>";
  auto doc = Doc(site + "fs.htm");
  for (const char* f : {"a.htm", "b.htm"}) {
    pq::DocumentSnapshot frame;
    frame.location = site + f;
    doc->frames.push_back(frame);
  }
  frames_.Counter = 9;
  ASSERT_EQ(Prepare(doc), pq::EditCopyOutcome::Prepared);
  EXPECT_EQ(frames_.Counter, 3);
  EXPECT_EQ(frames_[1].Source(), "<html>A</html>");
  EXPECT_EQ(frames_[2].Source(), "<html>B</html>");
  EXPECT_TRUE(pq::FileExists(pq::TempFolder() + "frmpage2.htm"));
  EXPECT_FALSE(pq::FileExists(pq::TempFolder() + "frmpage3.htm"));
  EXPECT_FALSE(pq::FileExists(pq::TempFolder() + "frmpage4.htm"));
}

TEST_F(EditCopyTest, AnAbandonedPreparationChangesNothing) {
  pages_[kHome] = "<html>x</html>";
  record_.WebURL = "http://127.0.0.1:9/before.htm";
  progress_.Abandoned = [] { return true; };
  EXPECT_EQ(Prepare(Doc(kHome)), pq::EditCopyOutcome::Abandoned);
  EXPECT_FALSE(pq::FileExists(EditCopyPath()));
  EXPECT_EQ(record_.WebURL, "http://127.0.0.1:9/before.htm");
  EXPECT_TRUE(startPage_.empty());
}

TEST_F(EditCopyTest, AnEditCopyThatCannotBeWrittenLeavesThePageUnprepared) {
  const std::string site = "http://127.0.0.1:9/";
  pages_[site + "fs.htm"] = "<html><frameset><frame src=a.htm></frameset></html>";
  auto doc = Doc(site + "fs.htm");
  pq::DocumentSnapshot frame;
  frame.location = site + "a.htm";
  doc->frames.push_back(frame);
  fs::create_directory(EditCopyPath());  // opening it for writing fails, for root too
  std::ofstream(pq::TempFolder() + "frmpage1.htm") << "old";
  record_.WebURL = "http://127.0.0.1:9/before.htm";
  frames_.Counter = 9;
  EXPECT_EQ(Prepare(doc), pq::EditCopyOutcome::NotWritten);
  EXPECT_EQ(record_.WebURL, "http://127.0.0.1:9/before.htm");
  EXPECT_EQ(record_.EditHTML(), "");
  EXPECT_TRUE(startPage_.empty());
  EXPECT_EQ(frames_.Counter, 9);
  EXPECT_EQ(Read(pq::TempFolder() + "frmpage1.htm"), "old");
}

TEST_F(EditCopyTest, CurrentOrigURLReadsTheEditDocumentsMarker) {
  pq::DocumentSnapshot edit;
  edit.outerHTML = "<html><!--FullPath=\"http://h/a.htm\"--><!--OrigURL=\"http://h/\"--><body></body></html>";
  EXPECT_EQ(pq::CurrentOrigURL(&edit), "http://h/");
  edit.outerHTML = "<html><body>no markers</body></html>";
  EXPECT_EQ(pq::CurrentOrigURL(&edit), "");
  edit.outerHTML = "<html><head><base href=\"http://h/\">\n<!--FullPath=\"http://h/a.htm\"-->"
                   "<!--OrigURL=\"http://h/\"--></head><body><!--OrigURL=\"old\"--></body></html>";
  EXPECT_EQ(pq::CurrentOrigURL(&edit), "http://h/");
  edit.outerHTML = "<html><head></head><body><!--OrigURL=\"old\"--></body></html>";
  EXPECT_EQ(pq::CurrentOrigURL(&edit), "");
  EXPECT_EQ(pq::CurrentOrigURL(nullptr), "");
}

}  // namespace

namespace {

pq::FetchedPage Latin1Page(const std::string& body) {
  pq::FetchedPage page;
  page.bytes = "\xEF\xBB\xBF" + body + "\x93";
  page.text = body + "\xE2\x80\x9C";
  page.charset = "windows-1252";
  return page;
}

TEST_F(EditCopyTest, TheRecordAndEveryFrameKeepTheBytesAndTheCharacterSet) {
  const std::string frameUrl = "http://127.0.0.1:9/a.htm";
  fetched_[kHome] = Latin1Page("<frameset><frame src=a.htm></frameset>");
  fetched_[frameUrl] = Latin1Page("<p>frame</p>");
  auto doc = Doc(kHome);
  pq::DocumentSnapshot frame;
  frame.location = frameUrl;
  doc->frames.push_back(frame);
  ASSERT_EQ(Prepare(doc), pq::EditCopyOutcome::Prepared);
  EXPECT_EQ(record_.page.source.bytes, fetched_[kHome].bytes);
  EXPECT_EQ(record_.OriginalHTML(), fetched_[kHome].text);
  EXPECT_EQ(record_.page.source.charset, "windows-1252");
  EXPECT_EQ(frames_[1].page.source.bytes, fetched_[frameUrl].bytes);
  EXPECT_EQ(frames_[1].Source(), fetched_[frameUrl].text);
  EXPECT_EQ(frames_[1].page.source.charset, "windows-1252");
  // Beside each edit HTML, where its markers are: removing them gives the source back.
  EXPECT_EQ(pq::StripMarkers(record_.EditHTML(), record_.page.edit.layout), record_.OriginalHTML());
  EXPECT_EQ(pq::StripMarkers(frames_[1].EditHTML(), frames_[1].page.edit.layout), frames_[1].Source());
}

TEST_F(EditCopyTest, APageThatCannotBeFetchedKeepsTheEnginesSerialisationAsUtf8) {
  ASSERT_EQ(Prepare(Doc(kHome)), pq::EditCopyOutcome::Prepared);
  EXPECT_EQ(record_.OriginalHTML(), "<html><head></head><body>as shown</body></html>");
  EXPECT_EQ(record_.page.source.bytes, record_.OriginalHTML());
  EXPECT_EQ(record_.page.source.charset, "utf-8");
}

}  // namespace
