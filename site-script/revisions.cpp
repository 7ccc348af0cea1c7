#include "site-script/revisions.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

namespace pq::site {

namespace fs = std::filesystem;

namespace {

bool AllDigits(const std::string& s, std::size_t from, std::size_t count) {
  if (from + count > s.size()) return false;
  return std::all_of(s.begin() + static_cast<long>(from), s.begin() + static_cast<long>(from + count),
                     [](char c) { return c >= '0' && c <= '9'; });
}

std::string IsoTime(const fs::path& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) != 0) return "";
  std::tm tm{};
  gmtime_r(&st.st_mtime, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

}  // namespace

long RevisionCounter(const std::string& id) {
  return id.size() > 16 ? std::stol(id.substr(16)) : 1;
}

bool IsRevisionId(const std::string& id) {
  if (id.size() < 15 || !AllDigits(id, 0, 8) || id[8] != '-' || !AllDigits(id, 9, 6)) return false;
  if (id.size() == 15) return true;
  return id[15] == '-' && id.size() >= 17 && id.size() <= 20 && AllDigits(id, 16, id.size() - 16) &&
         id[16] != '0';
}

fs::path RevisionStem(const fs::path& root, const fs::path& page, const fs::path& backupDir) {
  return backupDir / page.lexically_relative(root);
}

std::vector<Revision> ListRevisions(const fs::path& stem) {
  std::vector<Revision> out;
  std::error_code ec;
  const std::string prefix = stem.filename().string() + ".";
  for (fs::directory_iterator it(stem.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string id = name.substr(prefix.size());
    if (!IsRevisionId(id) || !it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    std::error_code sizeError;
    const auto size = fs::file_size(it->path(), sizeError);
    if (sizeError) continue;
    out.push_back({id, IsoTime(it->path()), size, it->path()});
  }
  std::sort(out.begin(), out.end(), [](const Revision& a, const Revision& b) {
    const std::string sa = a.id.substr(0, 15), sb = b.id.substr(0, 15);
    if (sa != sb) return sa > sb;
    return RevisionCounter(a.id) > RevisionCounter(b.id);
  });
  return out;
}

std::optional<Revision> FindRevision(const fs::path& stem, const std::string& id) {
  if (!IsRevisionId(id)) return std::nullopt;
  for (auto& r : ListRevisions(stem)) {
    if (r.id == id) return r;
  }
  return std::nullopt;
}

void PruneRevisions(const fs::path& stem, std::size_t keep) {
  const auto all = ListRevisions(stem);
  std::error_code ec;
  for (std::size_t i = keep; i < all.size(); ++i) fs::remove(all[i].file, ec);
}

}  // namespace pq::site
