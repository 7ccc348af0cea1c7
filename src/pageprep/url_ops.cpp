#include "pageprep/url_ops.h"

#include "text/text_util.h"
#include "pageprep/time_stamp.h"

namespace pq {

std::string LastPathSegment(std::string_view url) {
  if (!url.empty() && url.back() == '/') url.remove_suffix(1);
  const auto cut = url.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? url : url.substr(cut + 1));
}

namespace {

// The length of "http://" or "https://" at the start of url; 0 for other schemes.
std::size_t WebSchemeLength(std::string_view url) {
  if (StartsWithNoCase(url, "http://")) return 7;
  if (StartsWithNoCase(url, "https://")) return 8;
  return 0;
}

}  // namespace

std::string SiteRootOf(std::string_view url) {
  const std::size_t scheme = WebSchemeLength(url);
  if (scheme == 0) return "";
  const auto end = url.find_first_of("/?#\\", scheme);
  return std::string(end == std::string_view::npos ? url : url.substr(0, end));
}

std::string RelativePathOf(std::string_view url, std::string_view root) {
  std::string_view rest = url.size() > root.size() ? url.substr(root.size()) : std::string_view();
  if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  return ReplaceAll(rest, "%20", " ");
}

std::string FullPathOf(const std::string& original, const Fetcher& fetch) {
  const std::size_t scheme = WebSchemeLength(original);
  if (scheme == 0) return "";
  std::string url = original;
  if (url.back() != '/') {
    // "http://host" splits into three parts at "/"; a last segment without a dot is a folder.
    const bool bareHost = url.find('/', scheme) == std::string::npos;
    if (bareHost || LastPathSegment(url).find('.') == std::string::npos) url += '/';
  }
  if (EndsWithNoCase(url, ".htm") || EndsWithNoCase(url, ".html") ||
      url.find('?') != std::string::npos)
    return url;

  const std::string base = url.substr(0, url.rfind('/') + 1);
  const std::string folder = fetch(url + "?now=" + MakeTimeStamp()).text;
  // An unanswered folder would otherwise "match" an unanswered index page.
  if (TrimWhitespace(folder).empty()) return "";
  for (const char* name : {"index.htm", "index.html"}) {
    if (fetch(base + name + "?now=" + MakeTimeStamp()).text == folder) return base + name;
  }
  return "";
}

}  // namespace pq
