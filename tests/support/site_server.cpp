#include "support/site_server.h"

#include <cstdlib>
#include <filesystem>

namespace pqtest {

SiteServer::SiteServer(const Options& o) {
  std::string backup = o.backupDir;
  if (backup.empty()) {
    char tmpl[] = "/tmp/pq-backup-XXXXXX";
    if (char* d = mkdtemp(tmpl)) backup = d;
  }
  std::vector<std::string> argv = {std::string(PQ_BIN_DIR) + "/pagequill-site", "--root", o.root,
                                   "--port", "0", "--flags", o.flags, "--backup-dir", backup};
  if (o.vendorCheck) argv.push_back("--vendor-check");
  argv.insert(argv.end(), o.extraArgs.begin(), o.extraArgs.end());
  if (!process_.Start(argv, {{"PAGEQUILL_SITE_PASSWORD", o.password}})) return;
  const std::string line = process_.ReadLine(std::chrono::seconds(20));
  const std::string prefix = "listening on ";
  if (line.rfind(prefix, 0) != 0) return;
  url_ = line.substr(prefix.size());
  while (!url_.empty() && (url_.back() == '/' || url_.back() == '\r')) url_.pop_back();
}

}  // namespace pqtest
