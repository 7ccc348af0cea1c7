#pragma once
#include <string>
#include <string_view>

#include "pageprep/fetcher.h"

namespace pq {

// The URL of the page file a browsed address shows; a folder address is resolved by
// comparing its answer with its "index.htm" and "index.html". "" when unresolved.
std::string FullPathOf(const std::string& url, const Fetcher& fetch);
// Text after the last "/" or backslash, one trailing "/" dropped first.
std::string LastPathSegment(std::string_view url);
// The scheme and host (and port, if written) of an http or https address as it spells them,
// without a trailing "/": "https://Host:8443". "" for any other address.
std::string SiteRootOf(std::string_view url);
// url minus root's length, one leading "/" dropped, "%20" turned into spaces.
std::string RelativePathOf(std::string_view url, std::string_view root);

}  // namespace pq
