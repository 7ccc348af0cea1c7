#include "pageprep/url_ops.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using pq::FullPathOf;

TEST(UrlOps, LastPathSegment) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://site/news/latest.htm", "latest.htm"},
      {"http://site/news/", "news"},  // a folder address ending in "/"
      {"http://site", "site"},
      {"C:\\temp\\webed.htm", "webed.htm"},
      {"http://site/a\\b/c", "c"},
      {"", ""},
      {"/", ""},
  };
  for (auto [url, want] : cases) EXPECT_EQ(pq::LastPathSegment(url), want) << url;
}

TEST(UrlOps, SiteRootOf) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://www.Example.com/a/b.htm", "http://www.Example.com"},
      {"HTTP://Host:8080/x", "HTTP://Host:8080"},
      {"http://host", "http://host"},
      {"https://host/a.htm", "https://host"},
      {"HTTPS://Host:8443/a/b.htm", "HTTPS://Host:8443"},
      {"https://host:443", "https://host:443"},
      {"http://host?x=1/y", "http://host"},
      {"https://host#top", "https://host"},
      {"https://[::1]:8443/a", "https://[::1]:8443"},
      {"ftp://host/a.htm", ""},
      {"file:///tmp/x.htm", ""},
      {"http:/", ""},
      {"", ""},
  };
  for (auto [url, want] : cases) EXPECT_EQ(pq::SiteRootOf(url), want) << url;
}

TEST(UrlOps, RelativePathOf) {
  EXPECT_EQ(pq::RelativePathOf("http://site/news/latest%20items.htm", "http://site"),
            "news/latest items.htm");
  EXPECT_EQ(pq::RelativePathOf("http://site/index.htm", "http://site"), "index.htm");
  EXPECT_EQ(pq::RelativePathOf("http://site", "http://site"), "");
  EXPECT_EQ(pq::RelativePathOf("http://s", "http://site"), "");  // shorter than the root
}

// A site whose folder answers equal one of its default documents (or neither).
struct FakeSite {
  std::map<std::string, std::string> pages;  // URL without query -> body
  std::vector<std::string> asked;
  pq::Fetcher fetcher() {
    return [this](const std::string& url) {
      asked.push_back(url);
      const auto q = url.find("?now=");
      EXPECT_NE(q, std::string::npos) << "folder probes must bypass caches: " << url;
      auto it = pages.find(url.substr(0, q));
      return it == pages.end() ? std::string() : it->second;
    };
  }
};

TEST(UrlOps, FullPathOfReturnsPageAddressesUnchanged) {
  FakeSite site;
  for (const char* url : {"http://site/a.htm", "http://site/b/C.HTML", "http://site/x.php?id=3",
                          "http://site/folder/page.htm"}) {
    EXPECT_EQ(FullPathOf(url, site.fetcher()), url);
  }
  EXPECT_TRUE(site.asked.empty());
}

TEST(UrlOps, FullPathOfResolvesFolders) {
  FakeSite site;
  site.pages = {
      {"http://site/", "home"},          {"http://site/index.htm", "home"},
      {"http://site/shop/", "shop"},     {"http://site/shop/index.htm", "other"},
      {"http://site/shop/index.html", "shop"},
      {"http://site/blog/", "blog"},     {"http://site/blog/index.htm", "x"},
      {"http://site/blog/index.html", "y"},
  };
  EXPECT_EQ(FullPathOf("http://site", site.fetcher()), "http://site/index.htm");
  EXPECT_EQ(FullPathOf("http://site/", site.fetcher()), "http://site/index.htm");
  EXPECT_EQ(FullPathOf("http://site/shop", site.fetcher()), "http://site/shop/index.html");
  EXPECT_EQ(FullPathOf("http://site/blog/", site.fetcher()), "");
  // Neither scheme nor host can be resolved over anything but http.
  EXPECT_EQ(FullPathOf("https://site/", site.fetcher()), "");
  EXPECT_EQ(FullPathOf("ftp://site/a.htm", site.fetcher()), "");
}

TEST(UrlOps, FullPathOfDoesNotMatchTwoFailedFetches) {
  FakeSite down;  // answers nothing at all
  EXPECT_EQ(FullPathOf("http://site/", down.fetcher()), "");
}

TEST(UrlOps, FullPathOfTreatsOtherFilesAsFolderProbes) {
  // A last segment with a dot that is not a page: the folder up to it is probed.
  FakeSite site;
  site.pages = {{"http://site/a.php", "p"}, {"http://site/index.htm", "p"}};
  EXPECT_EQ(FullPathOf("http://site/a.php", site.fetcher()), "http://site/index.htm");
}

}  // namespace
