#include "site-script/page_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <vector>

namespace pq::site {

namespace fs = std::filesystem;

namespace {

std::string UtcStamp() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
  return buf;
}

// Copies the current page into the backup folder under a name not used yet.
bool KeepBackup(const fs::path& root, const fs::path& target, const fs::path& backupDir) {
  std::error_code ec;
  const fs::path rel = target.lexically_relative(root);
  const fs::path folder = backupDir / rel.parent_path();
  fs::create_directories(folder, ec);
  if (ec) return false;
  const std::string base = rel.filename().string() + "." + UtcStamp();
  for (int n = 1; n < 1000; ++n) {
    const fs::path backup = folder / (n == 1 ? base : base + "-" + std::to_string(n));
    if (fs::exists(fs::symlink_status(backup, ec))) continue;
    return fs::copy_file(target, backup, fs::copy_options::none, ec) && !ec;
  }
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string WritePage(const fs::path& root, const fs::path& target, std::string_view bytes,
                      const fs::path& backupDir) {
  struct stat old {};
  const bool existed = stat(target.c_str(), &old) == 0;
  const mode_t mode = existed ? (old.st_mode & 07777) : 0644;

  std::string tmpl = (target.parent_path() / ("." + target.filename().string() + ".pq-XXXXXX")).string();
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return "Cannot write the page on the server";
  const bool written = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fdatasync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    unlink(name.data());
    return "Cannot write the page on the server";
  }
  if (existed && !KeepBackup(root, target, backupDir)) {
    unlink(name.data());
    return "Cannot keep a backup of the previous page";
  }
  if (rename(name.data(), target.c_str()) != 0) {
    unlink(name.data());
    return "Cannot write the page on the server";
  }
  return "";
}

}  // namespace pq::site
