// The program's own HTTP client over https and across redirects: a throwaway authority made at
// run time is trusted through PAGEQUILL_EXTRA_CA, set before the client's first request.
#include <gtest/gtest.h>
#include <httplib.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "engine/form_post.h"
#include "engine/http_fetch.h"
#include "engine/tls_trust.h"
#include "publishing/md5.h"
#include "publishing/site_replies.h"
#include "support/canned_http_server.h"
#include "support/file_text.h"
#include "support/site_server.h"
#include "support/test_authority.h"

namespace {

using pq::engine::FetchURL;
using pq::engine::PostForm;
using pq::engine::SubmitIEformCtrl;

// The authority the client is told to trust, and one it is not.
struct Authorities : ::testing::Environment {
  static Authorities* Get() {
    static Authorities* a = [] {
      auto* made = new Authorities;
      ::testing::AddGlobalTestEnvironment(made);  // gtest owns it
      return made;
    }();
    return a;
  }
  Authorities() {
    if (trusted.ok()) setenv(pq::engine::kExtraAuthoritiesVariable, trusted.caFile().c_str(), 1);
  }
  pqtest::TestAuthority trusted{"Pagequill Trusted Test Authority"};
  pqtest::TestAuthority stranger{"Pagequill Unknown Test Authority"};
};
[[maybe_unused]] Authorities* const kAuthorities = Authorities::Get();

pqtest::SiteServer::Options TlsSite(const pqtest::TestAuthority::Issued& issued) {
  pqtest::SiteServer::Options o;
  o.tlsCert = issued.cert;
  o.tlsKey = issued.key;
  return o;
}

int PassKey(const std::string& site) {
  const auto reply = pq::ParsePassKeyReply(FetchURL(site + "/pagequill/?type=passkey&now=1").text);
  EXPECT_TRUE(reply.ok);
  return reply.key;
}

void AddPublication(SubmitIEformCtrl& form, int key, const std::string& file, const std::string& html) {
  form.Reset();
  form.AddField("passkey", std::to_string(key));
  form.AddField("hash", pq::MD5Hex("demo" + std::to_string(key)));
  form.AddField("file", file);
  form.AddFieldBytes("html", html);
}

TEST(Https, PagesAndPublicationsGoOverHttpsWithTheExtraAuthority) {
  ASSERT_TRUE(kAuthorities->trusted.ok()) << "the openssl command could not make an authority";
  EXPECT_EQ(pq::engine::ExtraAuthoritiesProblem(), "");
  pqtest::SiteServer site(TlsSite(kAuthorities->trusted.IssueForThisMachine()));
  ASSERT_TRUE(site.ok());
  ASSERT_EQ(site.url().rfind("https://127.0.0.1:", 0), 0u) << site.url();

  const auto page = FetchURL(site.url() + "/index.htm");
  EXPECT_TRUE(page.ok) << page.problem << page.failure;
  EXPECT_EQ(page.status, 200u);
  EXPECT_EQ(page.bytes, pqtest::ReadFile(site.root() + "/index.htm"));

  const std::string html = "<html><body>\xC3\xA9 stored over https\r\n</body></html>";
  SubmitIEformCtrl form;
  AddPublication(form, PassKey(site.url()) + 1, "about.htm", html);
  const auto answer = form.Submit(site.url() + "/pagequill/");
  EXPECT_TRUE(answer.ok) << answer.problem << answer.failure;
  EXPECT_NE(answer.text.find("@@Updated@@"), std::string::npos) << answer.text;
  EXPECT_EQ(pqtest::ReadFile(site.root() + "/about.htm"), html);
}

TEST(Https, CertificatesNotTrustedAreRefusedWithTheReasonAndNothingIsPosted) {
  ASSERT_TRUE(kAuthorities->trusted.ok() && kAuthorities->stranger.ok());
  const struct {
    const char* what;
    pqtest::TestAuthority::Issued issued;
    const char* reason;
  } cases[] = {
      {"unknown authority", kAuthorities->stranger.IssueForThisMachine(),
       "it was issued by an authority this computer does not trust"},
      {"another host", kAuthorities->trusted.Issue({"DNS:shop.example"}), "it is for another website than 127.0.0.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pqtest::SiteServer site(TlsSite(c.issued));
    ASSERT_TRUE(site.ok());
    const auto page = FetchURL(site.url() + "/index.htm");
    EXPECT_FALSE(page.ok);
    EXPECT_EQ(page.text, "");
    EXPECT_EQ(page.problem, std::string("The website's certificate is not trusted: ") + c.reason + ".");
    EXPECT_EQ(pq::engine::FetchPage(site.url() + "/index.htm").problem, page.problem);

    const std::string before = pqtest::ReadFile(site.root() + "/about.htm");
    SubmitIEformCtrl form;
    AddPublication(form, 1, "about.htm", "<p>never</p>");
    const auto answer = form.Submit(site.url() + "/pagequill/");
    EXPECT_FALSE(answer.ok);
    EXPECT_EQ(answer.problem, page.problem);
    EXPECT_EQ(pqtest::ReadFile(site.root() + "/about.htm"), before);
  }
}

// A server of our own over https that sends every request on to another address.
class RedirectingTlsServer {
 public:
  RedirectingTlsServer(const pqtest::TestAuthority::Issued& issued, std::string target, int status)
      : server_(issued.cert.c_str(), issued.key.c_str()) {
    auto redirect = [target, status](const httplib::Request&, httplib::Response& res) {
      res.status = status;
      res.set_header("Location", target);
    };
    server_.Get(".*", redirect);
    server_.Post(".*", redirect);
    server_.set_keep_alive_max_count(1);  // so stop() need not wait for an idle connection
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // Connections wait in the backlog until it runs.
  }
  ~RedirectingTlsServer() {
    server_.stop();
    thread_.join();
  }
  std::string url() const { return "https://127.0.0.1:" + std::to_string(port_); }

 private:
  httplib::SSLServer server_;
  int port_ = 0;
  std::thread thread_;
};

TEST(Https, ARedirectToAnotherOriginIsRefusedAndNothingGoesThere) {
  pqtest::CannedHttpServer elsewhere;
  elsewhere.Set("/pagequill/", {200, "text/html", "@@Updated@@"});
  elsewhere.Set("/page.htm", {200, "text/html", "elsewhere"});
  pqtest::CannedHttpServer site;
  // The canned server writes the content type into the head as it stands.
  auto redirect = [](int status, const std::string& to) {
    return pqtest::CannedHttpServer::Reply{status, "text/html\r\nLocation: " + to, ""};
  };
  site.Set("/pagequill/", redirect(307, elsewhere.url() + "/pagequill/"));
  site.Set("/page.htm", redirect(302, elsewhere.url() + "/page.htm"));
  const std::string otherPort = elsewhere.url();

  const auto post = PostForm(site.url() + "/pagequill/", "passkey=1", pq::kFormContentType);
  EXPECT_FALSE(post.ok);
  EXPECT_EQ(post.text, "");
  EXPECT_NE(post.problem.find("another site (" + otherPort + ")"), std::string::npos) << post.problem;
  const auto fetched = FetchURL(site.url() + "/page.htm");
  EXPECT_FALSE(fetched.ok);
  EXPECT_NE(fetched.problem.find("another site"), std::string::npos) << fetched.problem;
  EXPECT_TRUE(elsewhere.Requests().empty());

  // From https to http on the same host: another origin too.
  ASSERT_TRUE(kAuthorities->trusted.ok());
  RedirectingTlsServer tls(kAuthorities->trusted.IssueForThisMachine(), elsewhere.url() + "/pagequill/", 308);
  const auto down = PostForm(tls.url() + "/pagequill/", "passkey=1", pq::kFormContentType);
  EXPECT_FALSE(down.ok);
  EXPECT_NE(down.problem.find("another site (" + otherPort + ")"), std::string::npos) << down.problem;
  EXPECT_NE(down.problem.find("but " + tls.url() + ","), std::string::npos) << down.problem;
  EXPECT_TRUE(elsewhere.Requests().empty());
}

TEST(Https, ARedirectWithinTheOriginIsFollowed) {
  pqtest::CannedHttpServer site;
  site.Set("/pagequill/", {303, "text/html\r\nLocation: /pagequill/done", ""});
  site.Set("/pagequill/done", {200, "text/html", "@@Updated@@"});
  site.Set("/old.htm", {301, "text/html\r\nLocation: " + site.url() + "/new.htm", ""});
  site.Set("/new.htm", {200, "text/html", "new"});
  const auto post = PostForm(site.url() + "/pagequill/", "passkey=1", pq::kFormContentType);
  EXPECT_TRUE(post.ok);
  EXPECT_EQ(post.text, "@@Updated@@");
  EXPECT_EQ(FetchURL(site.url() + "/old.htm").text, "new");
  // A loop ends.
  site.Set("/loop.htm", {302, "text/html\r\nLocation: /loop.htm", ""});
  const auto loop = FetchURL(site.url() + "/loop.htm");
  EXPECT_FALSE(loop.ok);
  EXPECT_FALSE(loop.failure.empty());
}

}  // namespace
