#include "publishing/site_check.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "pageprep/markers.h"

namespace {

using pq::PageStatus;

// An edit document as the edit pane serialises it: origin markers after the HTML tag.
std::string EditDocument(const std::string& origUrl, const std::string& fullPath, const std::string& meta) {
  std::string head = "<head>";
  if (!meta.empty()) head += "<meta name=\"pqedit\" content=\"" + meta + "\">";
  std::string html = "<html>" + head + "</head><body><p>Hello</p></body></html>";
  if (!fullPath.empty()) html = pq::AddMarker(html, "FullPath", fullPath);
  return pq::AddMarker(html, "OrigURL", origUrl);
}

struct FakeSite {
  std::string reply;  // to "?type=check"
  std::vector<std::string> requests;
  pq::Fetcher Fetcher() {
    return [this](const std::string& url) {
      requests.push_back(url);
      return url.find("/pagequill/?type=check&now=") != std::string::npos ? reply : std::string();
    };
  }
};

TEST(SiteCheck, RequestAddressIsBuiltFromThePageAddress) {
  // The page's own scheme, host and port, default or written.
  const std::pair<const char*, const char*> cases[] = {
      {"http://WWW.Example.com:8080/a/b.htm", "http://www.example.com:8080/pagequill/?type=check&now=7"},
      {"HTTP://host", "http://host/pagequill/?type=check&now=7"},
      {"http://host:80/x.htm", "http://host:80/pagequill/?type=check&now=7"},
      {"https://Host/a.htm", "https://host/pagequill/?type=check&now=7"},
      {"HTTPS://host:443/", "https://host:443/pagequill/?type=check&now=7"},
      {"https://host:8443/shop/a.htm?x=1", "https://host:8443/pagequill/?type=check&now=7"},
      {"https://[::1]:8443/", "https://[::1]:8443/pagequill/?type=check&now=7"},
  };
  for (const auto& [page, want] : cases) {
    EXPECT_EQ(pq::SiteScriptAddress(page, "check", "7"), want) << page;
    // Where publications go: the same site script.
    EXPECT_EQ(pq::SiteScriptBase(page), std::string(want).substr(0, std::string(want).find('?'))) << page;
  }
  // No web host: nothing is asked of anyone.
  for (const char* address : {"ftp://host/a.htm", "file:///tmp/a.htm", "", "http://", "http:///a.htm",
                              "https://", "https://host:99999/"}) {
    EXPECT_EQ(pq::SiteScriptAddress(address, "check", "1"), "") << address;
    EXPECT_EQ(pq::SiteScriptBase(address), "") << address;
  }
  const std::string stamped = pq::SiteScriptAddress("http://h/x.htm", "email");
  ASSERT_EQ(stamped.size(), std::string("http://h/pagequill/?type=email&now=").size() + 14);
  EXPECT_EQ(stamped.find_first_not_of("0123456789", stamped.size() - 14), std::string::npos);
}

TEST(SiteCheck, ReplyFillsTheStatusOrTheDefaults) {
  const struct {
    const char* reply;
    bool ready, linkText, email, byDefault;
  } cases[] = {
      {"@@ok@@y@@n@@y", true, true, false, true},
      {"@@OK@@Y@@Y@@Y", false, true, false, true},
      {"hello@@ok@@Y@@Y@@Y", true, true, true, true},
      {"@@ok@@Y@@Y", true, true, true, false},  // a missing flag is not "Y"
      {"", false, true, false, true},
  };
  for (const auto& c : cases) {
    FakeSite site{c.reply, {}};
    pq::SiteStatus status;
    pq::FrameTable frames;
    pq::CheckSite(status, {EditDocument("http://Site.test/index.htm", "http://site.test/index.htm", ""), 0}, frames,
                  site.Fetcher());
    EXPECT_EQ(status.SiteReady, c.ready) << c.reply;
    EXPECT_EQ(status.LinkTextEditable, c.linkText) << c.reply;
    EXPECT_EQ(status.PasswordEmailAllowed, c.email) << c.reply;
    EXPECT_EQ(status.EditableByDefault, c.byDefault) << c.reply;
    ASSERT_EQ(site.requests.size(), 1u);
    EXPECT_EQ(site.requests[0].rfind("http://site.test/pagequill/?type=check&now=", 0), 0u) << site.requests[0];
  }
}

TEST(SiteCheck, ARefusedAnswerIsKeptWithTheStatus) {
  pq::FetchedPage refused;
  refused.failed = true;
  refused.problem = "The website's certificate is not trusted: it has expired.";
  std::vector<std::string> asked;
  pq::SiteStatus status;
  pq::FrameTable frames;
  const pq::Fetcher fetch = [&](const std::string& url) {
    asked.push_back(url);
    return refused;
  };
  pq::CheckSite(status, {EditDocument("https://site.test:8443/a.htm", "https://site.test:8443/a.htm", ""), 0},
                frames, fetch);
  EXPECT_FALSE(status.SiteReady);
  EXPECT_EQ(status.Problem, refused.problem);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked[0].rfind("https://site.test:8443/pagequill/?type=check&now=", 0), 0u) << asked[0];
}

TEST(SiteCheck, PageStatusOfASinglePage) {
  const struct {
    const char* reply;
    const char* fullPath;
    const char* meta;
    PageStatus status;
  } cases[] = {
      {"", "http://s/a.htm", "", PageStatus::Editable},  // no script: editable by default
      {"@@ok@@Y@@N@@N@@", "http://s/a.htm", "Y", PageStatus::Editable},
      {"@@ok@@Y@@N@@N@@", "http://s/a.htm", "y", PageStatus::Editable},
      {"@@ok@@Y@@N@@N@@", "http://s/a.htm", "", PageStatus::NotEditable},
      {"@@ok@@Y@@N@@N@@", "http://s/a.htm", "N", PageStatus::NotEditable},
      {"@@ok@@Y@@N@@Y@@", "http://s/a.htm", "N", PageStatus::NotEditable},
      {"@@ok@@Y@@N@@Y@@", "http://s/a.htm", "", PageStatus::Editable},
      {"@@ok@@Y@@N@@Y@@", "http://s/a.html", "Y", PageStatus::Editable},
      {"@@ok@@Y@@N@@Y@@", "http://s/a.php", "Y", PageStatus::NotEditable},
      {"@@ok@@Y@@N@@Y@@", "http://s/A.HTM", "Y", PageStatus::NotEditable},
      {"@@ok@@Y@@N@@Y@@", "http://s/a.HTML", "", PageStatus::NotEditable},
  };
  for (const auto& c : cases) {
    FakeSite site{c.reply, {}};
    pq::SiteStatus status;
    pq::FrameTable frames;
    pq::CheckSite(status, {EditDocument("http://s/", c.fullPath, c.meta), 0}, frames, site.Fetcher());
    EXPECT_EQ(status.Status, c.status) << c.reply << " " << c.fullPath << " " << c.meta;
    EXPECT_EQ(status.TopPageEditable, c.status == PageStatus::Editable) << c.fullPath;
  }
}

TEST(SiteCheck, WithoutFullPathTheAddressIsResolved) {
  // A folder address resolves to its index page through the fetcher, in lower case.
  std::map<std::string, std::string> pages = {{"http://s/Docs/", "folder page"},
                                              {"http://s/Docs/index.htm", "folder page"}};
  pq::Fetcher fetch = [&](const std::string& url) {
    const auto it = pages.find(url.substr(0, url.find("?now=")));
    return it == pages.end() ? std::string() : it->second;
  };
  pq::SiteStatus status;
  pq::FrameTable frames;
  pq::CheckSite(status, {EditDocument("http://s/Docs/", "", ""), 0}, frames, fetch);
  EXPECT_EQ(status.Status, PageStatus::Editable);
  pq::CheckSite(status, {EditDocument("http://s/run.php", "", ""), 0}, frames, fetch);
  EXPECT_EQ(status.Status, PageStatus::NotEditable);
  // A local page has no site at all.
  pq::CheckSite(status, {"<html><body></body></html>", 0}, frames, fetch);
  EXPECT_FALSE(status.SiteReady);
  EXPECT_EQ(status.Status, PageStatus::NotEditable);
}

TEST(SiteCheck, Framesets) {
  struct Frame {
    const char* meta;
    bool fileEditable;  // the file-name test made when the table was filled
    bool hasFrames = false;
  };
  const struct {
    const char* name;
    const char* reply;
    const char* topMeta;
    std::vector<Frame> frames;
    PageStatus status;
    std::vector<bool> editableAfter;
  } cases[] = {
      {"top not editable, one of two frames", "@@ok@@Y@@N@@N@@", "", {{"Y", true}, {"", true}},
       PageStatus::Part, {true, false}},
      {"all editable", "@@ok@@Y@@N@@Y@@", "", {{"", true}, {"Y", true}}, PageStatus::Editable, {true, true}},
      {"a frame says N", "@@ok@@Y@@N@@Y@@", "", {{"", true}, {"N", true}}, PageStatus::Part, {true, false}},
      {"a .php frame", "@@ok@@Y@@N@@Y@@", "", {{"", true}, {"Y", false}}, PageStatus::Part, {true, false}},
      {"nothing editable", "@@ok@@Y@@N@@N@@", "", {{"", true}, {"N", true}}, PageStatus::NotEditable,
       {false, false}},
      {"top page N, frames editable", "@@ok@@Y@@N@@Y@@", "N", {{"", true}, {"", true}}, PageStatus::Part,
       {true, true}},
      // A frameset frame is not counted itself: its own frames are.
      {"nested frameset", "@@ok@@Y@@N@@Y@@", "", {{"N", false, true}, {"", true}, {"", true}},
       PageStatus::Editable, {false, true, true}},
  };
  for (const auto& c : cases) {
    FakeSite site{c.reply, {}};
    pq::SiteStatus status;
    pq::FrameTable frames;
    for (const auto& f : c.frames) {
      auto& e = frames[frames.Counter++];
      e.File = "frmpage.htm";
      e.page.edit.html = std::string("<html><head>") +
                   (*f.meta ? std::string("<meta name=pqedit content=") + f.meta + ">" : "") + "</head></html>";
      e.Editable = f.fileEditable;
      e.HasFrames = f.hasFrames;
    }
    pq::CheckSite(status, {EditDocument("http://s/f.htm", "http://s/f.htm", c.topMeta), 2}, frames,
                  site.Fetcher());
    EXPECT_EQ(status.Status, c.status) << c.name;
    for (std::size_t i = 0; i < c.editableAfter.size(); ++i)
      EXPECT_EQ(frames[static_cast<int>(i) + 1].Editable, c.editableAfter[i]) << c.name << " entry " << i + 1;
  }
}

}  // namespace
