#pragma once
// A throw-away site folder for the site server tests, and an HTTP client for it.
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "publishing/md5.h"
#include "support/file_text.h"
#include "support/site_server.h"

namespace sitetest {

namespace fs = std::filesystem;

inline void WriteFile(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

inline std::string ReadFile(const fs::path& p) { return pqtest::ReadFile(p.string()); }

// <tmp>/root is the site, <tmp>/outside holds what a traversal would reach,
// <tmp>/backups the server's backups. Removed when the test ends.
struct TempSite {
  fs::path dir, root, outside, backups;
  TempSite() {
    char tmpl[] = "/tmp/pq-site-test-XXXXXX";
    dir = mkdtemp(tmpl);
    root = dir / "root";
    outside = dir / "outside";
    backups = dir / "backups";
    WriteFile(root / "index.htm", "<html><body><p>Home</p></body></html>\n");
    WriteFile(root / "page.htm", "<html><body><p>Old page</p></body></html>\n");
    WriteFile(root / "plain.htm", "<html><body>no charset</body></html>\n");
    WriteFile(root / "latin.htm",
              "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
              "charset=ISO-8859-1\"></head><body>caf\xE9</body></html>\n");
    WriteFile(root / "sub/index.html", "<html><body>sub index</body></html>\n");
    WriteFile(root / "sub/inner.htm", "<html><body>inner</body></html>\n");
    WriteFile(root / "style.css", "body { color: black }\n");
    WriteFile(root / "logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n");
    WriteFile(root / "script.php", "<?php echo 1; ?>\n");
    WriteFile(root / ".hidden.htm", "<p>hidden</p>\n");
    WriteFile(root / "pagequill/index.htm", "<p>never served</p>\n");
    fs::create_directories(root / "emptydir");
    WriteFile(outside / "secret.htm", "<p>secret</p>\n");
    WriteFile(dir / "x.htm", "<p>beside the root</p>\n");
    fs::create_symlink("../outside/secret.htm", root / "out.htm");
    fs::create_symlink("../outside", root / "linkdir");
    fs::create_symlink("page.htm", root / "alias.htm");
    fs::create_directories(backups);
  }
  ~TempSite() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  // Every file under the temporary folder (site, outside, beside) with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
      if (e.is_regular_file() && !e.is_symlink() &&
          e.path().string().rfind(backups.string(), 0) != 0) {
        files[e.path().string()] = ReadFile(e.path());
      }
    }
    return files;
  }

  pqtest::SiteServer::Options ServerOptions(std::vector<std::string> extra = {}) const {
    pqtest::SiteServer::Options o;
    o.root = root.string();
    o.backupDir = backups.string();
    // High thresholds so the tests' own wrong passwords never trip the throttle.
    o.extraArgs = {"--slow-after", "1000", "--lockout-after", "2000"};
    o.extraArgs.insert(o.extraArgs.end(), extra.begin(), extra.end());
    return o;
  }
};

inline httplib::Client Client(const pqtest::SiteServer& server) {
  // cpp-httplib's client writes without MSG_NOSIGNAL: a server that cuts a connection while a
  // body is being sent would otherwise kill the test process, orphaning the server.
  signal(SIGPIPE, SIG_IGN);
  httplib::Client c(server.url());
  c.set_connection_timeout(5);
  c.set_read_timeout(20);
  c.set_write_timeout(20);
  return c;
}

inline std::string Get(httplib::Client& c, const std::string& path) {
  auto r = c.Get(path.c_str());
  return r ? r->body : "<no reply>";
}

// The pass key K from "@@K@@", or a value outside 16 bits when the reply is not one.
inline long FetchPassKey(httplib::Client& c) {
  const std::string body = Get(c, "/pagequill/?type=passkey&now=10122026120000");
  if (body.size() < 5 || body.rfind("@@", 0) != 0) return 100000;
  return std::stol(body.substr(2, body.size() - 4));
}

struct Publication {
  std::string passkey, hash, file, html;
};

inline Publication Signed(const std::string& password, long key, std::string file,
                          std::string html) {
  const std::string k = std::to_string(key);
  return {k, pq::MD5Hex(password + k), std::move(file), std::move(html)};
}

inline std::string PostForm(httplib::Client& c, const Publication& p) {
  httplib::Params params{{"passkey", p.passkey}, {"hash", p.hash}, {"file", p.file}, {"html", p.html}};
  auto r = c.Post("/pagequill/", params);
  return r ? r->body : "<no reply>";
}

inline std::string PostMultipart(httplib::Client& c, const Publication& p) {
  httplib::MultipartFormDataItems items{{"passkey", p.passkey, "", ""},
                                        {"hash", p.hash, "", ""},
                                        {"file", p.file, "", ""},
                                        {"html", p.html, "", "text/html"}};
  auto r = c.Post("/pagequill/", items);
  return r ? r->body : "<no reply>";
}

}  // namespace sitetest
