#include "support/site_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace pqtest {

namespace {
std::string FreshDir(const char* name) {
  std::string tmpl = std::string("/tmp/") + name + "-XXXXXX";
  return mkdtemp(tmpl.data()) ? tmpl : std::string();
}
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  if (fd >= 0) close(fd);
  return port;
}

bool Accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  if (fd >= 0) close(fd);
  return ok;
}

std::string PhpLiteral(const std::string& v) {
  std::string out = "'";
  for (char c : v) {
    if (c == '\\' || c == '\'') out += '\\';
    out += c;
  }
  return out + "'";
}

}  // namespace

bool SiteServer::PhpRequested() {
  const char* v = std::getenv("PQ_SITE_SCRIPT");
  return v && std::string(v) == "php";
}

// The PHP script as a designer installs it: index.php in the site's pagequill/ folder, its
// configuration (mode 0600) in the folder above the site.
void SiteServer::StartPhp(const Options& o, const std::string& backup) {
  namespace fs = std::filesystem;
  const std::string source = std::string(PQ_SOURCE_DIR) + "/site-script/php/";
  std::error_code ec;
  fs::create_directories(root_ + "/pagequill", ec);
  fs::copy_file(source + "index.php", root_ + "/pagequill/index.php", fs::copy_options::overwrite_existing, ec);
  const std::string config = fs::path(root_).parent_path().string() + "/pagequill-config.php";
  {
    std::ofstream out(config, std::ios::binary | std::ios::trunc);
    out << "<?php\nreturn ['password' => " << PhpLiteral(o.password) << ", 'flags' => "
        << PhpLiteral(o.flags) << ", 'backup_dir' => " << PhpLiteral(backup) << "];\n";
  }
  chmod(config.c_str(), 0600);
  const int port = FreePort();
  if (port == 0) return;
  std::map<std::string, std::string> env = {{"PHP_CLI_SERVER_WORKERS", "4"}};
  if (o.vendorCheck) env["PQ_VENDOR_CHECK"] = "1";
  if (!process_.Start({"/usr/bin/php", "-n", "-d", "post_max_size=64M", "-d", "memory_limit=256M",
                       "-d", "display_errors=stderr", "-S", "127.0.0.1:" + std::to_string(port), "-t",
                       root_, source + "router.php"},
                      env))
    return;
  for (int i = 0; i < 200 && process_.Running(); ++i) {
    if (Accepts(port)) {
      url_ = "http://127.0.0.1:" + std::to_string(port);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

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
  if (o.php) {
    StartPhp(o, backup);
    return;
  }
  std::vector<std::string> argv = {std::string(PQ_BIN_DIR) + "/pagequill-site", "--root", root_,
                                   "--port", "0", "--flags", o.flags, "--backup-dir", backup};
  if (o.vendorCheck) argv.push_back("--vendor-check");
  if (!o.tlsCert.empty()) argv.insert(argv.end(), {"--tls-cert", o.tlsCert, "--tls-key", o.tlsKey});
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
