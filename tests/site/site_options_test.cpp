// Command line of pagequill-site: bad options are refused with a message and exit 2.
#include <gtest/gtest.h>

#include "site_test_support.h"
#include "support/test_authority.h"

namespace {

using namespace sitetest;

const std::string kBin = std::string(PQ_BIN_DIR) + "/pagequill-site";

TEST(SiteOptions, BadOptionsExitWithTwoAndAMessage) {
  TempSite site;
  const std::string root = site.root.string();
  const std::string passwordFile = (site.dir / "password").string();
  WriteFile(passwordFile, "demo\n");
  WriteFile(site.root / "password", "demo\n");
  struct Case {
    const char* what;
    std::vector<std::string> args;  // after "env"; PAGEQUILL_SITE_PASSWORD is unset unless given
    const char* message;
  };
  const std::string pw = "PAGEQUILL_SITE_PASSWORD=demo";
  const std::vector<Case> cases = {
      {"unknown option", {pw, kBin, "--root", root, "--bogus"}, "unknown option --bogus"},
      {"missing value", {pw, kBin, "--root", root, "--port"}, "--port needs a value"},
      {"port not a number", {pw, kBin, "--root", root, "--port", "http"}, "--port"},
      {"port too large", {pw, kBin, "--root", root, "--port", "70000"}, "--port"},
      {"bad flags", {pw, kBin, "--root", root, "--flags", "YNX"}, "--flags"},
      {"too many flags", {pw, kBin, "--root", root, "--flags", "YNYY"}, "--flags"},
      {"no root", {pw, kBin, "--port", "0"}, "--root"},
      {"missing password", {kBin, "--root", root, "--port", "0"}, "no password"},
      {"empty password", {"PAGEQUILL_SITE_PASSWORD=", kBin, "--root", root}, "no password"},
      {"password on the command line", {kBin, "--root", root, "--password", "demo"}, "--password"},
      {"unreadable password file",
       {kBin, "--root", root, "--password-file", (site.dir / "none").string()}, "password file"},
      {"password file inside the site",
       {kBin, "--root", root, "--password-file", (site.root / "password").string()}, "outside"},
      {"missing folder", {pw, kBin, "--root", (site.dir / "none").string()}, "does not exist"},
      {"root is a file", {pw, kBin, "--root", (site.root / "index.htm").string()}, "not a folder"},
      {"backup inside the site",
       {pw, kBin, "--root", root, "--backup-dir", (site.root / "old").string()}, "outside"},
      {"key lifetime zero", {pw, kBin, "--root", root, "--key-lifetime", "0"}, "--key-lifetime"},
      {"certificate without key", {pw, kBin, "--root", root, "--tls-cert", passwordFile}, "go together"},
      {"key without certificate", {pw, kBin, "--root", root, "--tls-key", passwordFile}, "go together"},
      {"missing certificate",
       {pw, kBin, "--root", root, "--tls-cert", (site.dir / "none.pem").string(), "--tls-key", passwordFile},
       "cannot read"},
      {"key inside the site",
       {pw, kBin, "--root", root, "--tls-cert", passwordFile, "--tls-key", (site.root / "password").string()},
       "outside"},
      {"not a certificate",
       {pw, kBin, "--root", root, "--port", "0", "--tls-cert", passwordFile, "--tls-key", passwordFile},
       "cannot use the certificate"},
  };
  for (const auto& tc : cases) {
    std::vector<std::string> argv = {"env", "-u", "PAGEQUILL_SITE_PASSWORD"};
    argv.insert(argv.end(), tc.args.begin(), tc.args.end());
    const auto r = pqtest::RunCommand(argv, "", std::chrono::seconds(20));
    EXPECT_EQ(r.exitCode, 2) << tc.what;
    EXPECT_NE(r.err.find(tc.message), std::string::npos) << tc.what << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << tc.what;
  }
  EXPECT_FALSE(fs::exists(site.root / "old"));
}

TEST(SiteOptions, HelpNamesEveryOption) {
  const auto r = pqtest::RunCommand({kBin, "--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* option : {"--root", "--bind", "--port", "--password-file", "--flags",
                             "--vendor-check", "--backup-dir", "--key-lifetime", "--tls-cert", "--tls-key",
                             "PAGEQUILL_SITE_PASSWORD"}) {
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  }
}

TEST(SiteOptions, VersionPrintsAndExits) {
  const auto r = pqtest::RunCommand({kBin, "--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.rfind("pagequill-site ", 0), 0u) << r.out;
  EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST(SiteOptions, PasswordFileAndBindAddressAreUsed) {
  TempSite site;
  const std::string passwordFile = (site.dir / "password").string();
  WriteFile(passwordFile, "from file\r\n");
  pqtest::ChildProcess process;
  ASSERT_TRUE(process.Start({kBin, "--root", site.root.string(), "--bind", "127.0.0.1", "--port",
                             "0", "--password-file", passwordFile, "--backup-dir",
                             site.backups.string()},
                            {{"PAGEQUILL_SITE_PASSWORD", "from environment"}}));
  const std::string line = process.ReadLine(std::chrono::seconds(20));
  ASSERT_EQ(line.rfind("listening on http://127.0.0.1:", 0), 0u) << line;
  httplib::Client c(line.substr(13, line.size() - 14));
  c.set_read_timeout(20);
  const long k = FetchPassKey(c);
  EXPECT_EQ(PostForm(c, Signed("from environment", k + 1, "page.htm", "x")), "@@Wrong password@@");
  EXPECT_EQ(PostForm(c, Signed("from file", k + 2, "page.htm", "<p>file</p>")), "@@Updated@@");
}

TEST(SiteOptions, WithACertificateItAnswersHttps) {
  pqtest::TestAuthority authority;
  ASSERT_TRUE(authority.ok()) << "the openssl command could not make an authority";
  const auto issued = authority.IssueForThisMachine();
  TempSite site;
  pqtest::ChildProcess process;
  ASSERT_TRUE(process.Start({kBin, "--root", site.root.string(), "--port", "0", "--backup-dir",
                             site.backups.string(), "--tls-cert", issued.cert, "--tls-key", issued.key},
                            {{"PAGEQUILL_SITE_PASSWORD", "demo"}}));
  const std::string line = process.ReadLine(std::chrono::seconds(20));
  ASSERT_EQ(line.rfind("listening on https://127.0.0.1:", 0), 0u) << line;
  httplib::SSLClient c("127.0.0.1", std::stoi(line.substr(line.rfind(':') + 1)));
  c.set_ca_cert_path(authority.caFile().c_str());
  c.enable_server_certificate_verification(true);
  c.set_read_timeout(20);
  const auto check = c.Get("/pagequill/?type=check&now=1");
  ASSERT_TRUE(check) << httplib::to_string(check.error());
  EXPECT_EQ(check->status, 200);
  EXPECT_EQ(check->body.rfind("@@", 0), 0u) << check->body;
  // Plain http on the same port gets no page.
  httplib::Client plain("127.0.0.1", std::stoi(line.substr(line.rfind(':') + 1)));
  plain.set_read_timeout(5);
  const auto refused = plain.Get("/index.htm");
  EXPECT_TRUE(!refused || refused->status != 200);
}

}  // namespace
