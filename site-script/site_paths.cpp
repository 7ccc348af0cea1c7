#include "site-script/site_paths.h"

#include <string>
#include <vector>

#include "site-script/url_decoding.h"

namespace pq::site {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxName = 1024;
constexpr std::size_t kMaxSegment = 255;

// Splits a relative name into its segments, refusing any that could leave the
// folder or name something hidden.
std::optional<std::vector<std::string>> SafeSegments(std::string_view name, bool allowEmpty) {
  if (name.size() > kMaxName) return std::nullopt;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F || c == '\\') return std::nullopt;
  }
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find('/', start);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view seg = name.substr(start, end - start);
    if (seg.empty()) {
      if (!allowEmpty) return std::nullopt;
    } else {
      if (seg.front() == '.' || seg.size() > kMaxSegment) return std::nullopt;  // ".", "..", hidden
      segments.emplace_back(seg);
    }
    start = end + 1;
  }
  return segments;
}

bool IsInside(const fs::path& inner, const fs::path& root) {
  auto r = root.begin();
  auto i = inner.begin();
  for (; r != root.end(); ++r, ++i) {
    if (r->empty()) continue;
    if (i == inner.end() || *i != *r) return false;
  }
  return true;
}

bool IsPageName(const std::string& name) {
  auto endsWith = [&](std::string_view suffix) {
    return name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  return endsWith(".htm") || endsWith(".html");
}

// The canonical form of p if it exists and stays inside the root.
std::optional<fs::path> InsideRoot(const fs::path& root, const fs::path& p) {
  std::error_code ec;
  fs::path real = fs::canonical(p, ec);
  if (ec || !IsInside(real, root)) return std::nullopt;
  return real;
}

}  // namespace

std::optional<fs::path> ResolvePublishTarget(const fs::path& root, std::string_view fileField) {
  auto name = PercentDecode(fileField, false);
  if (!name || name->empty() || name->front() == '/') return std::nullopt;
  auto segments = SafeSegments(*name, false);
  if (!segments || segments->empty() || !IsPageName(segments->back())) return std::nullopt;

  fs::path parent = root;
  for (std::size_t i = 0; i + 1 < segments->size(); ++i) parent /= (*segments)[i];
  auto realParent = InsideRoot(root, parent);
  std::error_code ec;
  if (!realParent || !fs::is_directory(*realParent, ec)) return std::nullopt;

  fs::path target = *realParent / segments->back();
  const auto status = fs::symlink_status(target, ec);
  if (fs::is_symlink(status)) {
    // A link is followed only to a page inside the site; a dangling one is refused.
    auto real = InsideRoot(root, target);
    if (!real || !IsPageName(real->filename().string())) return std::nullopt;
    target = *real;
  } else if (ec || !fs::exists(status)) {
    return target;  // a new page
  }
  if (!fs::is_regular_file(target, ec)) return std::nullopt;
  return target;
}

StaticTarget ResolveStaticPath(const fs::path& root, std::string_view urlPath) {
  StaticTarget result;
  if (urlPath.empty() || urlPath.front() != '/') return result;
  auto segments = SafeSegments(urlPath.substr(1), true);
  if (!segments) return result;
  if (!segments->empty() && (*segments)[0] == "pagequill") return result;

  fs::path p = root;
  for (const auto& s : *segments) p /= s;
  auto real = InsideRoot(root, p);
  if (!real) return result;
  std::error_code ec;
  if (fs::is_directory(*real, ec)) {
    if (urlPath.back() != '/') {
      result.kind = StaticTarget::Kind::AddSlash;
      return result;
    }
    for (const char* index : {"index.htm", "index.html"}) {
      auto page = InsideRoot(root, *real / index);
      if (page && fs::is_regular_file(*page, ec)) {
        result.kind = StaticTarget::Kind::File;
        result.file = *page;
        return result;
      }
    }
    return result;
  }
  if (!fs::is_regular_file(*real, ec)) return result;
  result.kind = StaticTarget::Kind::File;
  result.file = *real;
  return result;
}

}  // namespace pq::site
