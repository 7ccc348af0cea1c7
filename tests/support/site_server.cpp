#include "support/site_server.h"

#include <cstdlib>
#include <filesystem>

namespace pqtest {

namespace {
std::string FreshDir(const char* name) {
  std::string tmpl = std::string("/tmp/") + name + "-XXXXXX";
  return mkdtemp(tmpl.data()) ? tmpl : std::string();
}
}  // namespace

SiteServer::SiteServer(const Options& o) {
  root_ = o.root;
  if (root_.empty()) {
    const std::string copy = FreshDir("pq-demo-site");
    ownedDirs_.push_back(copy);
    root_ = copy + "/site";
    std::error_code ec;
    std::filesystem::copy(std::string(PQ_SOURCE_DIR) + "/demo/site", root_,
                          std::filesystem::copy_options::recursive, ec);
  }
  std::string backup = o.backupDir;
  if (backup.empty()) {
    backup = FreshDir("pq-backup");
    ownedDirs_.push_back(backup);
  }
  std::vector<std::string> argv = {std::string(PQ_BIN_DIR) + "/pagequill-site", "--root", root_,
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

SiteServer::~SiteServer() {
  process_.Stop();
  std::error_code ec;
  for (const auto& dir : ownedDirs_) std::filesystem::remove_all(dir, ec);
}

}  // namespace pqtest
