#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// What a web address talks to: its scheme, host and port. Two addresses with the same origin
// reach the same site; publishing never sends anything to another one.
struct Origin {
  std::string scheme;  // "http" or "https", lower case
  std::string host;    // lower case; an IPv6 literal keeps its brackets
  int port = 0;        // as written, else the scheme's default
  bool operator==(const Origin&) const = default;
};

// 80 for http, 443 for https, 0 for anything else.
int DefaultPort(std::string_view scheme);

// The origin of an http or https address; nullopt for other schemes, an empty host or a port
// that is not a number from 1 to 65535.
std::optional<Origin> OriginOf(std::string_view url);

// "scheme://host", with ":port" only when it is not the scheme's default.
std::string OriginText(const Origin& origin);

// Both are web addresses of the same origin.
bool SameOrigin(std::string_view a, std::string_view b);

// What the user is told when a request to `asked` was redirected to `target` on another site,
// and therefore not followed.
std::string OtherSiteRefusal(std::string_view asked, std::string_view target);

}  // namespace pq
