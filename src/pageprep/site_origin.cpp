#include "pageprep/site_origin.h"

#include <charconv>

#include "text/text_util.h"

namespace pq {

int DefaultPort(std::string_view scheme) {
  if (scheme == "http") return 80;
  if (scheme == "https") return 443;
  return 0;
}

std::optional<Origin> OriginOf(std::string_view url) {
  Origin o;
  if (StartsWithNoCase(url, "http://")) {
    o.scheme = "http";
  } else if (StartsWithNoCase(url, "https://")) {
    o.scheme = "https";
  } else {
    return std::nullopt;
  }
  url.remove_prefix(o.scheme.size() + 3);
  std::string_view authority = url.substr(0, url.find_first_of("/?#\\"));
  // Credentials before "@" name no site.
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  std::string_view port;
  if (!authority.empty() && authority.front() == '[') {
    const auto close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    std::string_view rest = authority.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return std::nullopt;
    if (!rest.empty()) port = rest.substr(1);
    authority = authority.substr(0, close + 1);
  } else if (const auto colon = authority.rfind(':'); colon != std::string_view::npos) {
    port = authority.substr(colon + 1);
    authority = authority.substr(0, colon);
  }
  if (authority.empty()) return std::nullopt;
  o.host = AsciiLower(authority);
  o.port = DefaultPort(o.scheme);
  if (!port.empty()) {
    int value = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (ec != std::errc() || end != port.data() + port.size() || value < 1 || value > 65535)
      return std::nullopt;
    o.port = value;
  }
  return o;
}

std::string OriginText(const Origin& origin) {
  std::string text = origin.scheme + "://" + origin.host;
  if (origin.port != DefaultPort(origin.scheme)) text += ":" + std::to_string(origin.port);
  return text;
}

bool SameOrigin(std::string_view a, std::string_view b) {
  const auto x = OriginOf(a);
  const auto y = OriginOf(b);
  return x && y && *x == *y;
}

std::string OtherSiteRefusal(std::string_view asked, std::string_view target) {
  const auto from = OriginOf(asked);
  const auto to = OriginOf(target);
  const std::string there = to ? OriginText(*to) : std::string(target.substr(0, 200));
  return "The website sent Pagequill's request on to another site (" + there +
         "). Pagequill sends nothing to any site but " + (from ? OriginText(*from) : std::string("the page's own")) +
         ", where the page came from, so the request was not sent on.";
}

}  // namespace pq
