// Pages over https in the browse pane: a certificate of an authority the program is told to
// trust (PAGEQUILL_EXTRA_CA, made at run time) is prepared for editing like any page; a
// certificate for another host or from an unknown authority shows the error page with the
// reason, and nothing is prepared for editing.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "browse_e2e_support.h"
#include "browse_test_window.h"
#include "engine/tls_trust.h"
#include "pageprep/markers.h"
#include "pageprep/temp_files.h"
#include "support/file_text.h"
#include "support/site_server.h"
#include "support/test_authority.h"

namespace {

// Made before main(), so the variable is set before the engine or the client reads it.
struct Authorities {
  Authorities() {
    if (trusted.ok()) setenv(pq::engine::kExtraAuthoritiesVariable, trusted.caFile().c_str(), 1);
  }
  pqtest::TestAuthority trusted{"Pagequill Trusted Test Authority"};
  pqtest::TestAuthority stranger{"Pagequill Unknown Test Authority"};
};
Authorities& TheAuthorities() {
  static Authorities a;
  return a;
}
[[maybe_unused]] const bool kMade = (TheAuthorities(), true);

std::unique_ptr<pqtest::SiteServer> SiteWith(const pqtest::TestAuthority::Issued& issued) {
  pqtest::SiteServer::Options o;
  o.tlsCert = issued.cert;
  o.tlsKey = issued.key;
  return std::make_unique<pqtest::SiteServer>(o);
}

class BrowseHttps : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!pqtest::BrowseE2E::Get().ok() || !TheAuthorities().trusted.ok() || !TheAuthorities().stranger.ok()) return;
    trusted_ = SiteWith(TheAuthorities().trusted.IssueForThisMachine()).release();
    otherHost_ = SiteWith(TheAuthorities().trusted.Issue({"DNS:shop.example"})).release();
    unknown_ = SiteWith(TheAuthorities().stranger.IssueForThisMachine()).release();
  }
  static void TearDownTestSuite() {
    delete trusted_;
    delete otherHost_;
    delete unknown_;
  }
  void SetUp() override {
    ASSERT_TRUE(pqtest::BrowseE2E::Get().ok()) << "no Xvfb display";
    ASSERT_TRUE(TheAuthorities().trusted.ok()) << "the openssl command could not make an authority";
    for (auto* site : {trusted_, otherHost_, unknown_}) ASSERT_TRUE(site && site->ok()) << "a site server did not start";
    log_.clear();
    window_ = std::make_unique<pqtest::BrowseTestWindow>(trusted_->url() + "/index.htm");
    pq::BrowseControl& c = window_->Browse().Control();
    auto chain = [](std::function<void()>& event, std::string name) {
      auto previous = event;
      event = [previous, name] {
        log_.push_back(name);
        if (previous) previous();
      };
    };
    chain(c.NavigationComplete, "NavigationComplete");
    chain(c.PageCantBeDisplayed, "PageCantBeDisplayed");
    window_->Show();
  }
  void TearDown() override {
    pqtest::BrowseE2E::Get().ShotIfFailed(std::string("browse_https_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    window_.reset();
  }
  static int Count(const std::string& e) { return static_cast<int>(std::count(log_.begin(), log_.end(), e)); }
  static std::string EditCopy() { return pq::TempFolder() + "webed.htm"; }

  static pqtest::SiteServer* trusted_;
  static pqtest::SiteServer* otherHost_;
  static pqtest::SiteServer* unknown_;
  static std::unique_ptr<pqtest::BrowseTestWindow> window_;
  static std::vector<std::string> log_;
};

pqtest::SiteServer* BrowseHttps::trusted_ = nullptr;
pqtest::SiteServer* BrowseHttps::otherHost_ = nullptr;
pqtest::SiteServer* BrowseHttps::unknown_ = nullptr;
std::unique_ptr<pqtest::BrowseTestWindow> BrowseHttps::window_;
std::vector<std::string> BrowseHttps::log_;

TEST_F(BrowseHttps, APageOfATrustedAuthorityIsPreparedForEditing) {
  ASSERT_TRUE(pqtest::WaitFor([] { return Count("NavigationComplete") == 1; })) << "the home page was not prepared";
  const std::string url = trusted_->url() + "/index.htm";
  ASSERT_EQ(url.rfind("https://", 0), 0u);
  EXPECT_EQ(window_->Browse().Control().WebURL(), url);
  const std::string copy = pqtest::ReadFile(EditCopy());
  EXPECT_EQ(pq::GetMarker(copy, "OrigURL"), url);
  EXPECT_NE(copy.find("Lindenhof"), std::string::npos);
  EXPECT_EQ(Count("PageCantBeDisplayed"), 0);
}

TEST_F(BrowseHttps, AnUntrustedCertificateShowsTheReasonAndNothingIsEditable) {
  ASSERT_TRUE(pqtest::WaitFor([] { return Count("NavigationComplete") == 1; }));
  const struct {
    std::string url;
    std::string reason;
  } cases[] = {
      {otherHost_->url() + "/index.htm", "it is for another website than 127.0.0.1"},
      {unknown_->url() + "/about.htm", "it was issued by an authority this computer does not trust"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    log_.clear();
    pq::DeleteFileQuietly(EditCopy());
    window_->EnterAddress(c.url);
    std::string shown;
    EXPECT_TRUE(pqtest::WaitFor([&] {
      shown = window_->Browse().View().OuterHTML();
      return shown.find(c.reason) != std::string::npos && !window_->Browse().View().Busy();
    })) << shown;
    EXPECT_NE(shown.find("The page cannot be displayed"), std::string::npos) << shown;
    EXPECT_NE(shown.find("certificate"), std::string::npos) << shown;
    // Nothing of the refused site was prepared, and no edit copy was written.
    EXPECT_FALSE(pqtest::WaitFor([] { return Count("NavigationComplete") > 0; }, std::chrono::milliseconds(1500)));
    EXPECT_FALSE(pq::FileExists(EditCopy()));
    EXPECT_FALSE(window_->State().EditTabPreparing);
    EXPECT_EQ(window_->Browse().View().Busy(), false);
    pqtest::BrowseE2E::Get().Shot("browse_https_" + std::string(c.url == cases[0].url ? "other_host" : "unknown_authority"));
  }
}

}  // namespace
