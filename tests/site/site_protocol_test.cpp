// The site script protocol of pagequill-site, over HTTP on 127.0.0.1.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "site_test_support.h"

namespace {

using namespace sitetest;

class SiteProtocol : public ::testing::Test {
 protected:
  TempSite site;
};

TEST_F(SiteProtocol, AnswersEachRequestType) {
  pqtest::SiteServer server(site.ServerOptions());
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  EXPECT_EQ(Get(c, "/pagequill/?type=check&now=10122026120000"), "@@ok@@Y@@N@@Y@@");
  EXPECT_EQ(Get(c, "/pagequill?type=check&now=10122026120000"), "@@ok@@Y@@N@@Y@@");
  EXPECT_EQ(Get(c, "/pagequill/?type=email&now=10122026120000"),
            "@@Password e-mail is not allowed on this site@@");
  EXPECT_EQ(Get(c, "/pagequill/?type=nonsense&now=1"), "@@Unknown request@@");
  EXPECT_EQ(Get(c, "/pagequill/"), "@@Unknown request@@");
  EXPECT_EQ(Get(c, "/check.php?now=10122026120000"), "@@ok@@");

  const std::regex keyReply("@@(-?[0-9]+)@@");
  std::set<long> keys;
  for (int i = 0; i < 20; ++i) {
    const std::string reply = Get(c, "/pagequill/?type=passkey&now=10122026120000");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(reply, m, keyReply)) << reply;
    const long k = std::stol(m[1]);
    EXPECT_GE(k, -32768);
    EXPECT_LE(k + 200, 32767) << "the increments of one attempt must stay in 16 bits";
    keys.insert(k);
  }
  EXPECT_GT(keys.size(), 15u) << "pass keys should be random";

  auto r = c.Get("/pagequill/?type=check&now=1");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->get_header_value("Content-Type").rfind("text/html", 0), 0u);
  EXPECT_EQ(r->get_header_value("Cache-Control"), "no-cache");
}

TEST_F(SiteProtocol, CheckRepliesWithConfiguredFlagsAndVendorCheckIsOptional) {
  auto options = site.ServerOptions();
  options.flags = "nyn";
  options.vendorCheck = false;
  pqtest::SiteServer server(options);
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  EXPECT_EQ(Get(c, "/pagequill/?type=check&now=1"), "@@ok@@N@@Y@@N@@");
  auto r = c.Get("/check.php?now=1");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 404);
  EXPECT_EQ(r->body.find("@@ok@@"), std::string::npos);
}

TEST_F(SiteProtocol, EmailHandsThePasswordToTheMailFileOrCommand) {
  const fs::path mailFile = site.dir / "mail.txt";
  {
    pqtest::SiteServer server(site.ServerOptions({"--mail-file", mailFile.string()}));
    // flags default to YNY: e-mail not allowed, so nothing is written
    ASSERT_TRUE(server.ok());
    auto c = Client(server);
    Get(c, "/pagequill/?type=email&now=1");
    EXPECT_FALSE(fs::exists(mailFile));
  }
  auto options = site.ServerOptions({"--mail-file", mailFile.string()});
  options.flags = "YYY";
  options.password = "s3cret pass";
  {
    pqtest::SiteServer server(options);
    ASSERT_TRUE(server.ok());
    auto c = Client(server);
    EXPECT_EQ(Get(c, "/pagequill/?type=email&now=1"), "@@Sent@@");
    EXPECT_NE(ReadFile(mailFile).find("Password: s3cret pass"), std::string::npos);
    // A second request at once is not mailed again.
    EXPECT_NE(Get(c, "/pagequill/?type=email&now=1").find("wait"), std::string::npos);
  }
  const fs::path commandOut = site.dir / "command.txt";
  options.extraArgs.push_back("--mail-command");
  options.extraArgs.push_back("cat > '" + commandOut.string() + "'");
  {
    pqtest::SiteServer server(options);
    ASSERT_TRUE(server.ok());
    auto c = Client(server);
    EXPECT_EQ(Get(c, "/pagequill/?type=email&now=1"), "@@Sent@@");
    EXPECT_NE(ReadFile(commandOut).find("Password: s3cret pass"), std::string::npos);
  }
}

// Bytes a page may hold that a careless server would change: Latin-1 and UTF-8 bytes,
// CR LF, a NUL, "+", "&", "=" and "%".
const std::string kNewPage = std::string("<html><body><p>Caf\xE9 \xC3\xA9 \xE2\x82\xAC 1+1=2 & 50%\r\n") +
                             std::string(1, '\0') + "</p></body></html>";

TEST_F(SiteProtocol, PublicationReplacesThePageByteForByteAndKeepsABackup) {
  pqtest::SiteServer server(site.ServerOptions());
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  const std::string old = ReadFile(site.root / "page.htm");
  const long k = FetchPassKey(c);
  EXPECT_EQ(PostForm(c, Signed("demo", k + 1, "page.htm", kNewPage)), "@@Updated@@");
  EXPECT_EQ(ReadFile(site.root / "page.htm"), kNewPage);
  std::vector<fs::path> backups;
  for (const auto& e : fs::recursive_directory_iterator(site.backups)) {
    if (e.is_regular_file()) backups.push_back(e.path());
  }
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].filename().string().rfind("page.htm.", 0), 0u);
  EXPECT_EQ(ReadFile(backups[0]), old);

  // The next keys of the same attempt: a page in a folder, a new page, a name with a space
  // as the program sends it, and a link to a page inside the site (written through).
  EXPECT_EQ(PostForm(c, Signed("demo", k + 2, "sub/inner.htm", "<p>inner 2</p>")), "@@Updated@@");
  EXPECT_EQ(ReadFile(site.root / "sub/inner.htm"), "<p>inner 2</p>");
  EXPECT_EQ(PostForm(c, Signed("demo", k + 3, "new page.htm", "<p>new</p>")), "@@Updated@@");
  EXPECT_EQ(ReadFile(site.root / "new page.htm"), "<p>new</p>");
  EXPECT_EQ(PostForm(c, Signed("demo", k + 4, "caf%C3%A9.html", "<p>cafe</p>")), "@@Updated@@");
  EXPECT_EQ(ReadFile(site.root / "caf\xC3\xA9.html"), "<p>cafe</p>");
  EXPECT_EQ(PostForm(c, Signed("demo", k + 5, "alias.htm", "<p>via link</p>")), "@@Updated@@");
  EXPECT_TRUE(fs::is_symlink(site.root / "alias.htm"));
  EXPECT_EQ(ReadFile(site.root / "page.htm"), "<p>via link</p>");

  // What is published is what is served.
  auto r = c.Get("/page.htm");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "<p>via link</p>");
  // No temporary file is left beside the pages.
  for (const auto& e : fs::recursive_directory_iterator(site.root)) {
    EXPECT_EQ(e.path().filename().string().find(".pq-"), std::string::npos) << e.path();
  }
}

TEST_F(SiteProtocol, MultipartPublicationIsAccepted) {
  pqtest::SiteServer server(site.ServerOptions());
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  const long k = FetchPassKey(c);
  EXPECT_EQ(PostMultipart(c, Signed("demo", k + 1, "page.htm", kNewPage)), "@@Updated@@");
  EXPECT_EQ(ReadFile(site.root / "page.htm"), kNewPage);
  // A refused multipart post is refused like a form post.
  EXPECT_EQ(PostMultipart(c, Signed("wrong", k + 2, "page.htm", "x")), "@@Wrong password@@");
}

TEST_F(SiteProtocol, RefusalsChangeNoFile) {
  pqtest::SiteServer server(site.ServerOptions());
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  const auto before = site.Snapshot();

  const long k = FetchPassKey(c);
  EXPECT_EQ(PostForm(c, Signed("demo", k + 1, "page.htm", "<p>first</p>")), "@@Updated@@");
  const auto afterFirst = site.Snapshot();

  struct Case {
    const char* what;
    Publication post;
    const char* reply;
  };
  long next = k + 2;
  auto good = [&](std::string file) { return Signed("demo", next++, std::move(file), "<p>bad</p>"); };
  Publication wrongHash = Signed("demo", k + 40, "page.htm", "x");
  wrongHash.hash = pq::MD5Hex("demo" + std::to_string(k + 41));
  Publication keyTextNotCanonical = Signed("demo", k + 42, "page.htm", "x");
  keyTextNotCanonical.passkey = "+" + keyTextNotCanonical.passkey;
  Publication missingField = Signed("demo", k + 43, "page.htm", "x");
  missingField.hash.clear();

  const std::vector<Case> cases = {
      {"wrong password", Signed("Demo", k + 30, "page.htm", "x"), "@@Wrong password@@"},
      {"hash of another key", wrongHash, "@@Wrong password@@"},
      {"reused key", Signed("demo", k + 1, "page.htm", "x"), "@@Pass key not valid@@"},
      {"key never issued", Signed("demo", k - 5000 > -32000 ? k - 5000 : k + 5000, "page.htm", "x"),
       "@@Pass key not valid@@"},
      {"key beyond the issue", Signed("demo", k + 201, "page.htm", "x"), "@@Pass key not valid@@"},
      {"the issued key itself", Signed("demo", k, "page.htm", "x"), "@@Pass key not valid@@"},
      {"key text with a sign", keyTextNotCanonical, "@@Pass key not valid@@"},
      {"key not a number", {"abc", pq::MD5Hex("demoabc"), "page.htm", "x"}, "@@Pass key not valid@@"},
      {"empty hash", missingField, "@@Wrong password@@"},
      {"parent folder", good("../x.htm"), "@@File not allowed@@"},
      {"absolute path", good("/etc/passwd"), "@@File not allowed@@"},
      {"absolute page", good("/tmp/x.htm"), "@@File not allowed@@"},
      {"up through a folder", good("sub/../../x.htm"), "@@File not allowed@@"},
      {"up inside the site", good("sub/../page.htm"), "@@File not allowed@@"},
      {"not a page", good("a.php"), "@@File not allowed@@"},
      {"existing script", good("script.php"), "@@File not allowed@@"},
      {"encoded NUL", good("x.htm%00.php"), "@@File not allowed@@"},
      {"raw NUL", good(std::string("page.htm\0.php", 13)), "@@File not allowed@@"},
      {"NUL before the extension", good(std::string("page\0.htm", 9)), "@@File not allowed@@"},
      {"encoded dots", good("%2e%2e/x.htm"), "@@File not allowed@@"},
      {"encoded slash", good("sub%2f..%2f..%2fx.htm"), "@@File not allowed@@"},
      {"backslash", good("sub\\..\\..\\x.htm"), "@@File not allowed@@"},
      {"bad escape", good("page%zz.htm"), "@@File not allowed@@"},
      {"link out of the site", good("out.htm"), "@@File not allowed@@"},
      {"through a linked folder", good("linkdir/secret.htm"), "@@File not allowed@@"},
      {"hidden file", good(".hidden.htm"), "@@File not allowed@@"},
      {"missing folder", good("nofolder/new.htm"), "@@File not allowed@@"},
      {"a folder", good("sub"), "@@File not allowed@@"},
      {"empty name", good(""), "@@File not allowed@@"},
      {"trailing slash", good("page.htm/"), "@@File not allowed@@"},
      {"capital extension", good("PAGE.HTM"), "@@File not allowed@@"},
  };
  for (const auto& tc : cases) {
    EXPECT_EQ(PostForm(c, tc.post), tc.reply) << tc.what;
    EXPECT_EQ(site.Snapshot(), afterFirst) << tc.what;
  }
  EXPECT_NE(before, afterFirst);
  EXPECT_FALSE(fs::exists(site.root / "nofolder"));
}

TEST_F(SiteProtocol, ExpiredPassKeyIsRefused) {
  pqtest::SiteServer server(site.ServerOptions({"--key-lifetime", "1"}));
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  const long k = FetchPassKey(c);
  EXPECT_EQ(PostForm(c, Signed("demo", k + 1, "page.htm", "<p>in time</p>")), "@@Updated@@");
  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  const auto before = site.Snapshot();
  EXPECT_EQ(PostForm(c, Signed("demo", k + 2, "page.htm", "<p>late</p>")), "@@Pass key not valid@@");
  EXPECT_EQ(site.Snapshot(), before);
}

TEST_F(SiteProtocol, OversizedBodyIsRefused) {
  pqtest::SiteServer server(site.ServerOptions({"--max-body", "4096"}));
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  const auto before = site.Snapshot();
  const long k = FetchPassKey(c);
  const std::string big(64 * 1024, 'a');
  EXPECT_EQ(PostForm(c, Signed("demo", k + 1, "page.htm", big)), "@@Page too large@@");
  EXPECT_EQ(PostMultipart(c, Signed("demo", k + 2, "page.htm", big)), "@@Page too large@@");
  // Without a Content-Length (chunked), the limit is enforced while reading.
  httplib::Params params{{"passkey", std::to_string(k + 3)},
                         {"hash", pq::MD5Hex("demo" + std::to_string(k + 3))},
                         {"file", "page.htm"},
                         {"html", big}};
  const std::string body = httplib::detail::params_to_query_str(params);
  std::size_t sent = 0;
  auto r = c.Post(
      "/pagequill/",
      [&](size_t, httplib::DataSink& sink) {
        const std::size_t n = std::min<std::size_t>(8192, body.size() - sent);
        sink.write(body.data() + sent, n);
        sent += n;
        if (sent == body.size()) sink.done();
        return true;
      },
      "application/x-www-form-urlencoded");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "@@Page too large@@");
  // The connection stays usable: the rest of the body was drained, not left to be parsed.
  EXPECT_EQ(Get(c, "/pagequill/?type=check&now=1"), "@@ok@@Y@@N@@Y@@");
  EXPECT_EQ(site.Snapshot(), before);
  // A page within the limit still goes through on a fresh connection.
  auto c2 = Client(server);
  EXPECT_EQ(PostForm(c2, Signed("demo", k + 4, "page.htm", "<p>small</p>")), "@@Updated@@");
}

TEST_F(SiteProtocol, RepeatedWrongPasswordsSlowDownThenLockOut) {
  auto options = site.ServerOptions({"--slow-after", "2", "--lockout-after", "3"});
  pqtest::SiteServer server(options);
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  const long k = FetchPassKey(c);
  EXPECT_EQ(PostForm(c, Signed("guess1", k + 1, "page.htm", "x")), "@@Wrong password@@");
  EXPECT_EQ(PostForm(c, Signed("guess2", k + 2, "page.htm", "x")), "@@Wrong password@@");
  // Two wrong: the next attempt, even with the right password, must wait.
  const std::string tooSoon = PostForm(c, Signed("demo", k + 3, "page.htm", "x"));
  EXPECT_NE(tooSoon.find("Too many wrong passwords"), std::string::npos) << tooSoon;
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  EXPECT_EQ(PostForm(c, Signed("guess3", k + 3, "page.htm", "x")), "@@Wrong password@@");
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  const std::string locked = PostForm(c, Signed("demo", k + 4, "page.htm", "x"));
  EXPECT_NE(locked.find("blocked for a while"), std::string::npos) << locked;
  EXPECT_EQ(ReadFile(site.root / "page.htm"), "<html><body><p>Old page</p></body></html>\n");
}

TEST_F(SiteProtocol, RightPasswordClearsTheWrongOnes) {
  pqtest::SiteServer server(site.ServerOptions({"--slow-after", "2", "--lockout-after", "3"}));
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  const long k = FetchPassKey(c);
  EXPECT_EQ(PostForm(c, Signed("typo", k + 1, "page.htm", "x")), "@@Wrong password@@");
  EXPECT_EQ(PostForm(c, Signed("demo", k + 2, "page.htm", "<p>1</p>")), "@@Updated@@");
  EXPECT_EQ(PostForm(c, Signed("typo", k + 3, "page.htm", "x")), "@@Wrong password@@");
  EXPECT_EQ(PostForm(c, Signed("demo", k + 4, "page.htm", "<p>2</p>")), "@@Updated@@");
}

TEST_F(SiteProtocol, PasswordWithAccentsHashesAsTheProgramDoes) {
  auto options = site.ServerOptions();
  options.password = "caf\xC3\xA9\xE2\x82\xAC";  // "café€": hashed one byte per character
  pqtest::SiteServer server(options);
  ASSERT_TRUE(server.ok());
  auto c = Client(server);
  const long k = FetchPassKey(c);
  Publication p = Signed(options.password, k + 1, "page.htm", "<p>ok</p>");
  EXPECT_EQ(PostForm(c, p), "@@Updated@@");
  // Upper-case hex is the same digest.
  p.passkey = std::to_string(k + 2);
  p.hash = pq::MD5Hex(options.password + p.passkey);
  for (char& ch : p.hash) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  EXPECT_EQ(PostForm(c, p), "@@Updated@@");
}

}  // namespace
