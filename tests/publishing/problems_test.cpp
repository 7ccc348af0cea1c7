#include "publishing/problems.h"
#include "publishing/stored_files_caption.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using pq::PageStatus;
using pq::ProblemNotice;

TEST(Problems, SetUpForEachSiteAndPageStatus) {
  const int step = pq::Problems::kNoticeHeight + pq::Problems::kGap;
  const int first = pq::Problems::kGap;
  const struct {
    bool ready;
    PageStatus status;
    std::vector<ProblemNotice> notices;
    bool ok;
  } cases[] = {
      {true, PageStatus::Editable, {}, true},
      {true, PageStatus::Part, {}, true},  // a partly editable page alone does not stop publishing
      {true, PageStatus::NotEditable, {ProblemNotice::PageUnsuitable}, false},
      {false, PageStatus::Editable, {ProblemNotice::NotSetUp}, false},
      {false, PageStatus::Part, {ProblemNotice::NotSetUp, ProblemNotice::PartUnsuitable}, false},
      {false, PageStatus::NotEditable, {ProblemNotice::PageUnsuitable, ProblemNotice::NotSetUp}, false},
  };
  for (const auto& c : cases) {
    pq::SiteStatus site;
    site.SiteReady = c.ready;
    site.Status = c.status;
    pq::Problems p("file:///help.htm");
    p.SetUp(site, "http://Example.COM:81/a/b.htm");
    const std::string name = std::string(c.ready ? "ready " : "not ready ") + std::to_string(int(c.status));
    EXPECT_EQ(p.OKtoPublish, c.ok) << name;
    EXPECT_EQ(p.NumMessages, static_cast<int>(c.notices.size())) << name;
    ASSERT_EQ(p.Notices().size(), c.notices.size()) << name;
    for (std::size_t i = 0; i < c.notices.size(); ++i) {
      EXPECT_EQ(p.Notices()[i].notice, c.notices[i]) << name;
      EXPECT_EQ(p.Notices()[i].top, first + static_cast<int>(i) * step) << name;
    }
    EXPECT_EQ(p.OkButtonTop(), first + static_cast<int>(c.notices.size()) * step + pq::Problems::kGap) << name;
    EXPECT_EQ(p.host, "Example.COM:81");
  }
}

TEST(Problems, SetUpStartsAfresh) {
  pq::SiteStatus bad;
  bad.Status = PageStatus::NotEditable;
  pq::SiteStatus good;
  good.SiteReady = true;
  good.Status = PageStatus::Editable;
  pq::Problems p;
  p.SetUp(bad, "http://h/");
  p.SetUp(good, "http://h/");
  EXPECT_TRUE(p.OKtoPublish);
  EXPECT_EQ(p.NumMessages, 0);
  EXPECT_TRUE(p.Notices().empty());
}

TEST(Problems, NoticeTexts) {
  pq::SiteStatus site;
  pq::Problems p("file:///usr/share/pagequill/help/setting-up-publishing.htm");
  p.SetUp(site, "http://www.Shop.test/offers/");
  const auto notSetUp = p.Text(ProblemNotice::NotSetUp);
  EXPECT_EQ(notSetUp.heading, "Publishing not set up");
  EXPECT_EQ(notSetUp.text,
            "Website www.Shop.test has not been set up for publishing. You should speak to your website designer.");
  EXPECT_EQ(notSetUp.moreInfoTitle, "Website Not Setup");
  EXPECT_EQ(notSetUp.moreInfoMessage,
            "Your website designer needs to set up a password to enable you to publish changes to your "
            "website. Your website designer may wish to read \"Setting up publishing\" in "
            "Pagequill's help for more information");
  EXPECT_EQ(notSetUp.moreInfoHelp, "file:///usr/share/pagequill/help/setting-up-publishing.htm");
  const auto unsuitable = p.Text(ProblemNotice::PageUnsuitable);
  EXPECT_EQ(unsuitable.moreInfoLabel, "More Info . . .");
  EXPECT_EQ(unsuitable.moreInfoHelp, notSetUp.moreInfoHelp);
  const auto part = p.Text(ProblemNotice::PartUnsuitable);
  EXPECT_EQ(part.text, "This page is made up of several elements. Some elements are not suitable for publishing.");
  EXPECT_EQ(part.moreInfoTitle, "Some pages not suitable");
  EXPECT_EQ(part.moreInfoHelp, "");
}

TEST(Problems, PublishedAddressCaption) {
  const struct {
    const char* url;
    const char* caption;
  } cases[] = {
      {"http://www.shop.test/", "www.shop.test"},
      {"HTTP://www.shop.test/a/b.htm", "www.shop.test/a/b.htm"},
      {"http://www.shop.test/a//", "www.shop.test/a/"},
      {"https://x.test/", "https://x.test"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::PublishedAddressCaption(c.url), c.caption) << c.url;
}

}  // namespace

// The complete dialog names the stored files when they are not just the page shown.
TEST(StoredFilesCaption, NamesTheFilesWhenTheyAreNotThePageItself) {
  const struct {
    const char* url;
    std::vector<std::string> files;
    const char* caption;
  } cases[] = {
      {"http://h/offers.htm", {"offers.htm"}, ""},
      {"http://h/monthly%20offers.htm", {"monthly%20offers.htm"}, ""},
      {"https://h:8443/a/b.htm?x=1", {"a/b.htm"}, ""},
      {"http://h/frames.htm", {"frame-news.htm"}, "Page stored: frame-news.htm"},
      {"http://h/frames.htm", {"frame-news.htm", "frame%20menu.htm"},
       "Pages stored: frame-news.htm, frame menu.htm"},
      {"http://h/x.htm", {}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::StoredFilesCaption(c.url, c.files), c.caption) << c.url;
}
