#include "site-script/page_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <vector>

#include "site-script/revisions.h"

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

// Copies the current page into the backup folder under a name not used yet, with the
// time that version was written, and lets go of revisions beyond keep.
bool KeepBackup(const fs::path& root, const fs::path& target, const fs::path& backupDir,
                std::size_t keep) {
  std::error_code ec;
  const fs::path stem = RevisionStem(root, target, backupDir);
  fs::create_directories(stem.parent_path(), ec);
  if (ec) return false;
  const std::string stamp = UtcStamp();
  const std::string base = stem.filename().string() + "." + stamp;
  // After the newest of this second, never in a gap that pruning left: the name's order
  // is the order of the versions.
  long first = 1;
  for (const auto& r : ListRevisions(stem)) {
    if (r.id.compare(0, stamp.size(), stamp) == 0) first = std::max(first, RevisionCounter(r.id) + 1);
  }
  for (long n = first; n < first + 1000 && n < 100000; ++n) {
    const fs::path backup = stem.parent_path() / (n == 1 ? base : base + "-" + std::to_string(n));
    if (fs::exists(fs::symlink_status(backup, ec))) continue;
    if (!fs::copy_file(target, backup, fs::copy_options::none, ec) || ec) return false;
    const auto written = fs::last_write_time(target, ec);
    if (!ec) fs::last_write_time(backup, written, ec);
    PruneRevisions(stem, std::max<std::size_t>(keep, 1));
    return true;
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
                      const fs::path& backupDir, std::size_t keepRevisions) {
  struct stat old {};
  const bool existed = stat(target.c_str(), &old) == 0;
  const mode_t mode = existed ? (old.st_mode & 07777) : 0644;

  std::string tmpl = (target.parent_path() / ("." + target.filename().string() + kTempMark + "XXXXXX")).string();
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
  if (existed && !KeepBackup(root, target, backupDir, keepRevisions)) {
    unlink(name.data());
    return "Cannot keep a backup of the previous page";
  }
  if (rename(name.data(), target.c_str()) != 0) {
    unlink(name.data());
    return "Cannot write the page on the server";
  }
  return "";
}

int RemoveLeftoverTempFiles(const fs::path& root) {
  int removed = 0;
  std::error_code ec;
  // Symbolic links are not followed: what lies behind them is not the server's to clean.
  fs::recursive_directory_iterator it(root, fs::directory_options::none, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::size_t mark = name.rfind(kTempMark);
    if (name.size() < 2 || name[0] != '.' || mark == std::string::npos || mark == 0 ||
        name.size() - mark - std::string_view(kTempMark).size() != 6) {
      continue;
    }
    std::string page = name.substr(1, mark - 1);
    for (char& c : page) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const bool pageName = page.size() > 4 && (page.ends_with(".htm") || page.ends_with(".html"));
    std::error_code fileError;
    if (!pageName || !it->is_regular_file(fileError) || it->is_symlink(fileError)) continue;
    if (fs::remove(it->path(), fileError)) ++removed;
  }
  return removed;
}

}  // namespace pq::site
