#include <gtest/gtest.h>

#include "pageprep/add_spans.h"
#include "publishing/md5.h"
#include "support/canned_http_server.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/private_temp.h"
#include "support/site_server.h"
#include "support/test_authority.h"

#include <fstream>

namespace {

using pqtest::RunCommand;

const std::string kTool = std::string(PQ_BIN_DIR) + "/pqtool";

pqtest::RunResult Tool(std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.begin(), kTool);
  return RunCommand(args, input);
}

TEST(Pqtool, PageOperationsReadStandardInput) {
  const std::string page = "<html><body><p>Hello <b>world</b></p><a href=x>link</a></body></html>";
  auto r = Tool({"addspans"}, page);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, pq::AddSpans(page));

  r = Tool({"strip-markers"}, "<html><!--OrigURL=\"u\"--><SPAN ID=\"ZZZEDIT1\">a</SPAN></html>");
  EXPECT_EQ(r.out, "<html>a</html>");

  EXPECT_EQ(Tool({"edit-flag"}, "<meta name=pqedit content=n>").out, "N\n");
  EXPECT_EQ(Tool({"md5", "abc"}).out, "900150983cd24fb0d6963f7d28e17f72\n");
  EXPECT_EQ(Tool({"md5"}, "\xC3\xA9").out, pq::MD5Hex("\xC3\xA9") + "\n");
}

TEST(Pqtool, UrlOperations) {
  EXPECT_EQ(Tool({"site-root", "http://Host:81/a/b.htm"}).out, "http://Host:81\n");
  EXPECT_EQ(Tool({"relative-path", "http://h/news/a%20b.htm", "http://h"}).out, "news/a b.htm\n");
  const auto stamp = Tool({"stamp"}).out;
  EXPECT_EQ(stamp.size(), 15u);
  EXPECT_EQ(stamp.find_first_not_of("0123456789"), 14u);
}

TEST(Pqtool, FetchAndFullPathOverHttp) {
  pqtest::CannedHttpServer server;
  server.Set("/", {200, "text/html", "home"});
  server.Set("/index.htm", {200, "text/html", "home"});
  server.Set("/latin.htm", {200, "text/html; charset=iso-8859-1", "gr\xFC\xDF"});
  EXPECT_EQ(Tool({"fetch", server.url() + "/latin.htm"}).out, "gr\xC3\xBC\xC3\x9F");
  EXPECT_EQ(Tool({"full-path", server.url() + "/"}).out, server.url() + "/index.htm\n");

  auto r = Tool({"full-path", "https://secure/"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("no page file"), std::string::npos);
  r = Tool({"fetch", "http://127.0.0.1:" + std::to_string(pqtest::UnusedPort()) + "/"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("could not fetch"), std::string::npos);
  r = Tool({"fetch", server.url() + "/missing.htm"});  // the canned server answers 404
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("answered 404"), std::string::npos) << r.err;
}

TEST(Pqtool, PublishableGivesTheBytesPublishingWouldSend) {
  pqtest::PrivateTemp temp;
  const std::string latin = temp.path() + "/latin.htm";
  const std::string page =
      "<html><head><meta charset=\"ISO-8859-1\"></head><body>\r\n<p>Caf\xE9 &amp; cr&egrave;me</p>"
      "<p>\x93Old\x94 text</p><a href=\"x.htm\">Link</a></body></html>";
  std::ofstream(latin, std::ios::binary) << page;

  // Untouched: nothing would be sent.
  auto r = Tool({"publishable", latin});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");

  // One span edited: only its text changes, in the page's own character set.
  r = Tool({"publishable", latin, "--span", "ZZZEDIT2=New \xC3\xA9 \xE2\x82\xAC"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::string want = page;
  want.replace(want.find("\x93Old\x94 text"), 10, "New \xE9 &#8364;");
  EXPECT_EQ(r.out, want);

  r = Tool({"publishable", latin, "--span", "ZZZANCHOR1=Other"});
  want = page;
  want.replace(want.find(">Link<"), 6, ">Other<");
  EXPECT_EQ(r.out, want);

  r = Tool({"publishable", latin, "--span", "ZZZEDIT9=x"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("no span ZZZEDIT9"), std::string::npos);

  // Read in another set than the page declares.
  r = Tool({"publishable", "-", "--charset", "koi8-r", "--span", "ZZZEDIT1=\xD0\x9C"},
           "<p>\xF0</p>");
  EXPECT_EQ(r.out, "<p>\xED</p>");
}

TEST(Pqtool, PublishableRefusesUtf16Pages) {
  const auto r = Tool({"publishable", "-"}, std::string("\xFF\xFE<\0p\0>\0x\0", 9));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("UTF-16"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

TEST(Pqtool, PublishableFromAnAddress) {
  pqtest::CannedHttpServer server;
  server.Set("/a.htm", {200, "text/html; charset=windows-1251", "<p>\xCF</p><p>\xE2</p>"});
  const auto r = Tool({"publishable", "--url", server.url() + "/a.htm", "--span",
                       "ZZZEDIT2=\xD0\xBC \xE2\x82\xAC"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "<p>\xCF</p><p>\xEC \x88</p>");
}

// pqtool trusts what the program trusts: the system's authorities, and those PAGEQUILL_EXTRA_CA
// adds.
TEST(Pqtool, HttpsWithTheExtraAuthorityAndNoOther) {
  pqtest::TestAuthority authority;
  ASSERT_TRUE(authority.ok()) << "the openssl command could not make an authority";
  const auto issued = authority.IssueForThisMachine();
  pqtest::SiteServer::Options o;
  o.tlsCert = issued.cert;
  o.tlsKey = issued.key;
  pqtest::SiteServer site(o);
  ASSERT_TRUE(site.ok());
  const std::string page = site.url() + "/about.htm";
  const std::string trust = std::string("PAGEQUILL_EXTRA_CA=") + authority.caFile();
  auto with = [&](const std::string& env, std::vector<std::string> args) {
    args.insert(args.begin(), {"env", "-u", "PAGEQUILL_EXTRA_CA", env, kTool});
    return RunCommand(args);
  };

  auto r = with(trust, {"fetch", page});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, pqtest::ReadFile(site.root() + "/about.htm"));
  // A file named relative to the working folder.
  const std::string folder = authority.caFile().substr(0, authority.caFile().rfind('/'));
  const std::string name = authority.caFile().substr(folder.size() + 1);
  r = RunCommand({"env", "-C", folder, "PAGEQUILL_EXTRA_CA=" + name, kTool, "fetch", page});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(with(trust, {"site-root", page}).out, site.url() + "\n");
  r = with(trust, {"publishable", "--url", page, "--span", "ZZZEDIT1=Over https"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Over https"), std::string::npos);
  r = with(trust, {"check-site", page});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find(site.url() + "/pagequill/"), std::string::npos) << r.out;

  // Without the authority, or with a file that holds none: refused, with the reason.
  const std::string unknown = "The website's certificate is not trusted: it was issued by an authority";
  for (const std::string& env : {std::string("PQ_NOTHING=1"), "PAGEQUILL_EXTRA_CA=" + site.root() + "/index.htm",
                                 std::string("PAGEQUILL_EXTRA_CA=/nonexistent/ca.pem")}) {
    SCOPED_TRACE(env);
    r = with(env, {"fetch", page});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(unknown), std::string::npos) << r.err;
    if (env.rfind("PAGEQUILL_EXTRA_CA", 0) == 0) {
      EXPECT_NE(r.err.find("PAGEQUILL_EXTRA_CA names"), std::string::npos) << r.err;
    }
    r = with(env, {"check-site", page});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find(unknown), std::string::npos) << r.out;
  }
}

TEST(Pqtool, WrongCallsSayWhatWasWrongThenPrintUsageAndExitTwo) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "pqtool: no command given\n"},
      {{"nonsense"}, "pqtool: unknown command \"nonsense\"\n"},
      {{"fetch"}, "pqtool: fetch takes one URL (got 0 arguments)\n"},
      {{"md5", "a", "b"}, "pqtool: md5 takes at most one TEXT (got 2 arguments)\n"},
      {{"relative-path", "x"}, "pqtool: relative-path takes URL and ROOT (got 1 argument)\n"},
      {{"addspans", "x"}, "pqtool: addspans takes no arguments (got 1 argument)\n"},
      {{"--help", "x"}, "pqtool: --help takes no arguments (got 1 argument)\n"},
      {{"publishable"}, "pqtool: publishable takes a FILE, - or --url URL (got 0 arguments)\n"},
      {{"publishable", "a", "--url", "u"}, "pqtool: publishable takes either a FILE"},
      {{"publishable", "a", "--span", "x"}, "pqtool: --span takes ID=HTML"},
  };
  for (const auto& [args, problem] : cases) {
    const auto r = Tool(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.rfind(problem, 0), 0u) << r.err;  // the problem first
    EXPECT_NE(r.err.find("usage: pqtool", problem.size()), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  const auto help = Tool({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("addspans"), std::string::npos);
}

}  // namespace
