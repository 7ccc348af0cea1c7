#include "engine/http_fetch.h"

#include <gtest/gtest.h>

#include <chrono>

#include "pageprep/url_ops.h"
#include "support/canned_http_server.h"

namespace {

using pq::engine::FetchURL;
using pq::engine::GetURLText;
using Reply = pqtest::CannedHttpServer::Reply;

class HttpFetchTest : public ::testing::Test {
 protected:
  pqtest::CannedHttpServer server;
};

TEST_F(HttpFetchTest, PlainPage) {
  server.Set("/a.htm", {200, "text/html; charset=utf-8", "<p>Caf\xC3\xA9 \xE2\x82\xAC</p>"});
  EXPECT_EQ(GetURLText(server.url() + "/a.htm"), "<p>Caf\xC3\xA9 \xE2\x82\xAC</p>");
}

TEST_F(HttpFetchTest, DecodesByTheDeclaredCharacterSet) {
  server.Set("/latin1.htm", {200, "text/html; charset=ISO-8859-1", "<p>Stra\xDF" "e \xE9t\xE9</p>"});
  server.Set("/meta.htm", {200, "text/html", "<meta charset=\"iso-8859-15\"><p>\xA4</p>"});
  server.Set("/none.htm", {200, "text/html", "<p>\x93quoted\x94 \x80</p>"});
  const auto latin = FetchURL(server.url() + "/latin1.htm");
  EXPECT_EQ(latin.text, "<p>Stra\xC3\x9F" "e \xC3\xA9t\xC3\xA9</p>");
  EXPECT_EQ(latin.charset, "windows-1252");
  EXPECT_EQ(latin.bytes, "<p>Stra\xDF" "e \xE9t\xE9</p>");  // kept for publishing
  EXPECT_EQ(GetURLText(server.url() + "/meta.htm"), "<meta charset=\"iso-8859-15\"><p>\xE2\x82\xAC</p>");
  // Without a declaration: Windows-1252, curly quotes and the euro sign included.
  EXPECT_EQ(GetURLText(server.url() + "/none.htm"),
            "<p>\xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x82\xAC</p>");
}

TEST_F(HttpFetchTest, FetchPageKeepsTheBytesBesideTheText) {
  server.Set("/bom.htm", {200, "text/html; charset=iso-8859-1", "\xEF\xBB\xBF<p>\xC3\xA9</p>"});
  const pq::FetchedPage page = pq::engine::FetchPage(server.url() + "/bom.htm");
  EXPECT_EQ(page.text, "<p>\xC3\xA9</p>");
  EXPECT_EQ(page.bytes, "\xEF\xBB\xBF<p>\xC3\xA9</p>");
  EXPECT_EQ(page.charset, "utf-8");
  const pq::FetchedPage none = pq::engine::FetchPage("http://127.0.0.1:" +
                                                     std::to_string(pqtest::UnusedPort()) + "/");
  EXPECT_EQ(none.text, "");
  EXPECT_EQ(none.bytes, "");
}

TEST_F(HttpFetchTest, ErrorPagesComeBackLikeAnyAnswer) {
  const auto r = FetchURL(server.url() + "/missing.htm");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.status, 404u);
  EXPECT_EQ(r.text, "<html><body>Not here</body></html>");
}

TEST_F(HttpFetchTest, FailuresGiveEmptyText) {
  EXPECT_EQ(GetURLText("http://127.0.0.1:" + std::to_string(pqtest::UnusedPort()) + "/"), "");
  EXPECT_EQ(GetURLText("not a url"), "");
  EXPECT_EQ(GetURLText(""), "");
  EXPECT_EQ(GetURLText("file:///etc/passwd"), "");
}

TEST_F(HttpFetchTest, ASilentServerIsGivenUpOnInTime) {
  server.Set("/slow.htm", Reply{200, "text/html", "", true});
  const auto start = std::chrono::steady_clock::now();
  const auto r = FetchURL(server.url() + "/slow.htm", std::chrono::milliseconds(500));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.text, "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  // The session still works after an abandoned request.
  server.Set("/ok.htm", {200, "text/html", "fine"});
  EXPECT_EQ(GetURLText(server.url() + "/ok.htm"), "fine");
}

TEST_F(HttpFetchTest, FullPathOfOverHttp) {
  server.Set("/", {200, "text/html", "home"});
  server.Set("/index.htm", {200, "text/html", "home"});
  EXPECT_EQ(pq::FullPathOf(server.url(), GetURLText), server.url() + "/index.htm");
  for (const auto& target : server.Requests())
    EXPECT_NE(target.find("?now="), std::string::npos) << target;
}

}  // namespace
