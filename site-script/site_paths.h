#pragma once
#include <filesystem>
#include <optional>
#include <string_view>

namespace pq::site {

// Where a publication may be written: the "file" field of a post, decoded and checked.
// Returns the real path of an existing or new .htm/.html file inside the site folder,
// or nullopt for anything else (parent folders, absolute paths, backslashes, NUL and
// control characters, hidden names, missing folders, a symbolic link leading out).
// canonicalRoot must already be canonical.
std::optional<std::filesystem::path> ResolvePublishTarget(
    const std::filesystem::path& canonicalRoot, std::string_view fileField);

struct StaticTarget {
  enum class Kind { File, AddSlash, NotFound } kind = Kind::NotFound;
  std::filesystem::path file;
};

// Which file answers a GET of a decoded URL path: the file itself, or a folder's
// index.htm then index.html. A folder asked for without its trailing "/" is redirected
// so that the page's relative links work. Never anything outside the site folder,
// hidden files or the site script's own "/pagequill/" namespace.
StaticTarget ResolveStaticPath(const std::filesystem::path& canonicalRoot,
                               std::string_view urlPath);

}  // namespace pq::site
