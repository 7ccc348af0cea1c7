#include "pageprep/temp_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pq {

namespace {

// A folder we own, only we can read, and can write in: anything else (another user's folder,
// a symbolic link planted in a shared /tmp, a folder left read-only) is refused.
bool IsPrivateFolder(const std::string& path) {
  struct stat st{};
  if (lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode) || st.st_uid != getuid()) return false;
  if ((st.st_mode & 0777) != 0700 && chmod(path.c_str(), 0700) != 0) return false;
  return access(path.c_str(), W_OK | X_OK) == 0;
}

// Our private folder inside base, or "" when base cannot hold one (missing, not a folder,
// not writable).
std::string PrivateFolderIn(std::string base) {
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  const std::string mine = base + "/pagequill-" + std::to_string(getuid());
  mkdir(mine.c_str(), 0700);
  if (IsPrivateFolder(mine)) return mine + "/";
  // The usual name is taken by someone else: use a fresh private folder for this run.
  static std::string fallback;
  if (fallback.rfind(mine + "-", 0) != 0 || !IsPrivateFolder(fallback)) {
    std::string tmpl = mine + "-XXXXXX";
    fallback = mkdtemp(tmpl.data()) ? tmpl : "";
  }
  return fallback.empty() ? "" : fallback + "/";
}

}  // namespace

std::string TempFolder() {
  for (const char* name : {"TEMP", "temp", "TMP", "tmp"}) {
    const char* v = std::getenv(name);
    if (!v || !*v) continue;
    if (std::string folder = PrivateFolderIn(v); !folder.empty()) return folder;
  }
  if (std::string folder = PrivateFolderIn("/tmp"); !folder.empty()) return folder;
  // Nowhere to write: the usual name, so that every write fails and says so.
  return "/tmp/pagequill-" + std::to_string(getuid()) + "/";
}

std::string TempFoldersTried() {
  std::string tried;
  for (const char* name : {"TEMP", "temp", "TMP", "tmp"}) {
    const char* v = std::getenv(name);
    if (v && *v) tried += std::string(v) + ", ";
  }
  return tried + "/tmp";
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

void DeleteFileQuietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

std::string NumberedFileName(const std::string& prefix) {
  const std::string folder = TempFolder();
  for (int n = 1;; ++n) {
    std::string path = folder + prefix + std::to_string(n) + ".htm";
    if (!FileExists(path)) return path;
  }
}

void DeleteNumberedFiles(const std::string& prefix) {
  const std::string folder = TempFolder();
  for (int n = 1;; ++n) {
    const std::string path = folder + prefix + std::to_string(n) + ".htm";
    if (!FileExists(path)) break;
    DeleteFileQuietly(path);
  }
}

bool WriteEditCopy(const std::string& path, const std::string& baseUrl, const std::string& html) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  // The byte-order mark makes the engine read the copy as UTF-8 whatever the page's own
  // META declares (the text was decoded from that character set when it was fetched).
  out << "\xEF\xBB\xBF<BASE HREF=\"" << baseUrl << "\">\r\n" << html << "\r\n";
  out.close();
  return static_cast<bool>(out);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace pq
