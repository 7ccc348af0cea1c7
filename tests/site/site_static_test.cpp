// Static serving of pagequill-site: types, folders, and nothing outside the site folder.
#include <gtest/gtest.h>

#include "site_test_support.h"

namespace {

using namespace sitetest;

TEST(SiteStatic, ServesTheSiteFolderAndNothingElse) {
  TempSite site;
  pqtest::SiteServer server(site.ServerOptions());
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  struct Case {
    const char* path;
    int status;
    const char* type;      // expected Content-Type ("" = not checked)
    const char* contains;  // expected in the body ("" = not checked)
  };
  const Case cases[] = {
      {"/", 200, "text/html", "Home"},
      {"/index.htm", 200, "text/html", "Home"},
      {"/index.htm?now=10122026120000", 200, "text/html", "Home"},
      {"/sub/", 200, "text/html", "sub index"},  // index.html when there is no index.htm
      {"/sub/inner.htm", 200, "text/html", "inner"},
      {"/sub/%69nner.htm", 200, "text/html", "inner"},
      {"/alias.htm", 200, "text/html", "Old page"},  // a link inside the site
      {"/style.css", 200, "text/css", "color"},
      {"/logo.svg", 200, "image/svg+xml", "svg"},
      {"/latin.htm", 200, "text/html; charset=windows-1252", "caf"},
      {"/plain.htm", 200, "text/html", "no charset"},
      {"/check.php", 200, "", "@@ok@@"},
      {"/sub", 301, "", ""},
      {"/nosuch.htm", 404, "", ""},
      {"/emptydir/", 404, "", ""},  // no listing
      {"/pagequill/index.htm", 404, "", ""},
      {"/pagequill/x/", 404, "", ""},
      {"/.hidden.htm", 404, "", ""},
      {"/out.htm", 404, "", ""},
      {"/linkdir/secret.htm", 404, "", ""},
      {"/../x.htm", 404, "", ""},
      {"/sub/../../x.htm", 404, "", ""},
      {"/%2e%2e/x.htm", 404, "", ""},
      {"/%2E%2E%2Fx.htm", 404, "", ""},
      {"/..%2fx.htm", 404, "", ""},
      {"/sub%5c..%5c..%5cx.htm", 404, "", ""},
      {"/page.htm%00.txt", 404, "", ""},
      {"//etc/passwd", 404, "", ""},
  };
  for (const auto& tc : cases) {
    auto r = c.Get(tc.path);
    ASSERT_TRUE(r) << tc.path;
    EXPECT_EQ(r->status, tc.status) << tc.path;
    if (*tc.type) {
      EXPECT_EQ(r->get_header_value("Content-Type"), tc.type) << tc.path;
    }
    if (*tc.contains) {
      EXPECT_NE(r->body.find(tc.contains), std::string::npos) << tc.path;
    }
    EXPECT_EQ(r->get_header_value("Cache-Control"), "no-cache") << tc.path;
    EXPECT_EQ(r->body.find("secret"), std::string::npos) << tc.path;
    EXPECT_EQ(r->body.find("beside the root"), std::string::npos) << tc.path;
  }
  auto redirect = c.Get("/sub?x=1");
  ASSERT_TRUE(redirect);
  EXPECT_EQ(redirect->get_header_value("Location"), "/sub/?x=1");
  // The served bytes are the file's bytes.
  auto latin = c.Get("/latin.htm");
  ASSERT_TRUE(latin);
  EXPECT_EQ(latin->body, ReadFile(site.root / "latin.htm"));
  // HEAD is answered without a body.
  auto head = c.Head("/index.htm");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 200);
  EXPECT_TRUE(head->body.empty());
}

TEST(SiteStatic, ServesTheDemoSite) {
  pqtest::SiteServer server;  // demo/site, read only
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  auto home = c.Get("/");
  ASSERT_TRUE(home);
  EXPECT_EQ(home->status, 200);
  EXPECT_EQ(home->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(home->body, ReadFile(std::string(PQ_SOURCE_DIR) + "/demo/site/index.htm"));
  // The Latin-1 page is sent with the charset its META tag declares, by its standard name.
  auto history = c.Get("/history.htm");
  ASSERT_TRUE(history);
  EXPECT_EQ(history->get_header_value("Content-Type"), "text/html; charset=windows-1252");
  EXPECT_NE(history->body.find("J\xF6rg"), std::string::npos);
  auto frames = c.Get("/frames.htm");
  ASSERT_TRUE(frames);
  EXPECT_NE(frames->body.find("frame-inner.htm"), std::string::npos);
  auto inner = c.Get("/frame-inner.htm");
  ASSERT_TRUE(inner);
  EXPECT_NE(inner->body.find("<frameset"), std::string::npos);
  for (const auto& e : fs::directory_iterator(std::string(PQ_SOURCE_DIR) + "/demo/site")) {
    const std::string name = e.path().filename().string();
    std::string path = "/";
    for (char ch : name) path += ch == ' ' ? std::string("%20") : std::string(1, ch);
    auto r = c.Get(path.c_str());
    ASSERT_TRUE(r) << name;
    EXPECT_EQ(r->status, e.is_directory() ? 301 : 200) << name;
  }
}

}  // namespace
