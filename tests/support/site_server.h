#pragma once
#include <string>
#include <vector>

#include "support/child_process.h"

namespace pqtest {

// A site script on 127.0.0.1 with a free port: the reference server (build/bin/pagequill-site),
// or the PHP script under PHP's built-in server with the same site folder and settings.
class SiteServer {
 public:
  struct Options {
    std::string root;  // empty: a private copy of the demo site, so publishing leaves it alone
    std::string password = "demo";
    std::string flags = "YNY";
    bool vendorCheck = true;
    std::string backupDir;  // empty: a fresh temporary folder
    std::vector<std::string> extraArgs;  // further options, e.g. {"--key-lifetime", "1"}
    bool php = false;  // the PHP script instead (extraArgs do not apply)
    // https with this certificate and key (the reference server only); see test_authority.h.
    std::string tlsCert, tlsKey;
  };
  // Options::php from the environment: PQ_SITE_SCRIPT=php.
  static bool PhpRequested();
  SiteServer() : SiteServer(Options{}) {}
  explicit SiteServer(const Options& options);
  ~SiteServer();
  // The folder the server serves.
  const std::string& root() const { return root_; }
  bool ok() const { return !url_.empty(); }
  // "http://127.0.0.1:PORT" ("https://" with a certificate) without a trailing slash.
  const std::string& url() const { return url_; }

 private:
  void StartPhp(const Options& o, const std::string& backup);

  ChildProcess process_;
  std::string url_;
  std::string root_;
  std::vector<std::string> ownedDirs_;
};

}  // namespace pqtest
