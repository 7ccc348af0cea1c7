#include "engine/form_post.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>

#include "engine/http_fetch.h"
#include "publishing/md5.h"
#include "publishing/site_replies.h"
#include "support/canned_http_server.h"
#include "support/file_text.h"
#include "support/site_server.h"

namespace {

using pq::engine::SubmitIEformCtrl;

int PassKey(const pqtest::SiteServer& site) {
  const auto reply = pq::ParsePassKeyReply(
      pq::engine::GetURLText(site.url() + "/pagequill/?type=passkey&now=10122026120000"));
  EXPECT_TRUE(reply.ok);
  return reply.key;
}

void AddPublication(SubmitIEformCtrl& form, int key, const std::string& file,
                    const std::string& html) {
  form.Reset();
  form.AddField("passkey", std::to_string(key));
  form.AddField("hash", pq::MD5Hex("demo" + std::to_string(key)));
  form.AddField("file", file);
  form.AddFieldBytes("html", html);
}

TEST(SubmitIEformCtrl, TheSiteScriptStoresEveryValueExactlyAsAdded) {
  pqtest::SiteServer site;
  ASSERT_TRUE(site.ok());
  const int k = PassKey(site);
  // Every byte value, and the characters an HTML form would have needed to escape.
  std::string html = "<p>a&b<c> \"q\" 50%+1=2 &amp; @~@#@~@ \r\n\xC3\xA9\xE2\x82\xAC</p>";
  for (int b = 0; b < 256; ++b) html += static_cast<char>(b);
  SubmitIEformCtrl form;
  AddPublication(form, k + 1, "monthly offers.htm", html);
  EXPECT_NE(form.SubmitData(site.url() + "/pagequill/").find("@@Updated@@"), std::string::npos);
  EXPECT_EQ(pqtest::ReadFile(site.root() + "/monthly offers.htm"), html);

  // A second submission in a row, text in the page's own set this time.
  form.Reset();
  form.SetCharset("koi8-r");
  form.AddField("passkey", std::to_string(k + 2));
  form.AddField("hash", pq::MD5Hex("demo" + std::to_string(k + 2)));
  form.AddField("file", "about.htm");
  form.AddField("html", "\xD0\x9F \xE2\x82\xAC");
  EXPECT_NE(form.SubmitData(site.url() + "/pagequill/").find("@@Updated@@"), std::string::npos);
  EXPECT_EQ(pqtest::ReadFile(site.root() + "/about.htm"), "\xF0 &#8364;");
}

TEST(SubmitIEformCtrl, RefusalsComeBackAsTheReplyPage) {
  pqtest::SiteServer site;
  ASSERT_TRUE(site.ok());
  const int k = PassKey(site);
  SubmitIEformCtrl form;
  form.AddField("passkey", std::to_string(k + 1));
  form.AddField("hash", pq::MD5Hex("wrong" + std::to_string(k + 1)));
  form.AddField("file", "index.htm");
  form.AddField("html", "<p>x</p>");
  const auto reply = pq::ParsePublishReply(form.SubmitData(site.url() + "/pagequill/"));
  EXPECT_FALSE(reply.Updated);
  EXPECT_EQ(reply.Message, "Wrong password");
}

TEST(SubmitIEformCtrl, RedirectsAreFollowed) {
  pqtest::CannedHttpServer server;
  // The canned server writes the content type into the head as it stands.
  server.Set("/pagequill/", {303, "text/html\r\nLocation: /pagequill/done", ""});
  server.Set("/pagequill/done", {200, "text/html", "<html>@@Updated@@</html>"});
  SubmitIEformCtrl form;
  form.AddField("passkey", "1");
  EXPECT_EQ(form.SubmitData(server.url() + "/pagequill/"), "<html>@@Updated@@</html>");
}

TEST(SubmitIEformCtrl, NoAnswerGivesEmptyTextInTime) {
  pqtest::CannedHttpServer server;
  server.Set("/pagequill/", {200, "text/html", "", true});
  SubmitIEformCtrl form;
  form.AddField("passkey", "1");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(form.SubmitData(server.url() + "/pagequill/", std::chrono::milliseconds(500)), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(form.SubmitData("http://127.0.0.1:" + std::to_string(pqtest::UnusedPort()) + "/"), "");
  EXPECT_EQ(form.SubmitData("file:///etc/passwd"), "");
}

// Cancel reaches a transfer under way: the post (and a fetch) held by a silent server is
// aborted at the next turn of the main loop, not at its deadline, and says it was cancelled.
TEST(SubmitIEformCtrl, AStopAbortsATransferUnderWayAtOnce) {
  pqtest::CannedHttpServer server;
  server.Set("/pagequill/", {200, "text/html", "", true});
  server.Set("/page.htm", {200, "text/html", "", true});
  bool cancelled = false;
  const auto stop = [&cancelled] { return cancelled; };
  const auto cancelSoon = [&cancelled] {
    g_timeout_add(300, [](gpointer flag) -> gboolean {
      *static_cast<bool*>(flag) = true;
      return G_SOURCE_REMOVE;
    }, &cancelled);
  };
  SubmitIEformCtrl form;
  form.AddField("passkey", "1");
  form.AddField("html", "<p>x</p>");
  cancelSoon();
  auto start = std::chrono::steady_clock::now();
  const auto post = form.Submit(server.url() + "/pagequill/", pq::engine::kPostTimeout, stop);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(post.ok);
  EXPECT_TRUE(post.cancelled);
  EXPECT_FALSE(post.timedOut);
  EXPECT_TRUE(post.sent) << "the silent server took the whole post";

  cancelled = false;
  cancelSoon();
  start = std::chrono::steady_clock::now();
  const auto page = pq::engine::FetchPageUnlessStopped(server.url() + "/page.htm", stop);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(page.failed);

  // Stopped before it starts: nothing is waited for.
  const auto early = form.Submit(server.url() + "/pagequill/", pq::engine::kPostTimeout, stop);
  EXPECT_TRUE(early.cancelled);
}

// Which step failed is told apart: a post never sent, and one sent that got no answer in time.
TEST(SubmitIEformCtrl, APostNeverSentIsToldFromOneUnanswered) {
  pqtest::CannedHttpServer server;
  server.Set("/pagequill/", {200, "text/html", "", true});
  SubmitIEformCtrl form;
  form.AddField("passkey", "1");
  const auto refused = form.Submit("http://127.0.0.1:" + std::to_string(pqtest::UnusedPort()) + "/pagequill/");
  EXPECT_FALSE(refused.ok);
  EXPECT_FALSE(refused.sent);
  EXPECT_FALSE(refused.timedOut);
  EXPECT_FALSE(refused.failure.empty());
  const auto silent = form.Submit(server.url() + "/pagequill/", std::chrono::milliseconds(500));
  EXPECT_FALSE(silent.ok);
  EXPECT_TRUE(silent.sent);
  EXPECT_TRUE(silent.timedOut);
}

}  // namespace
