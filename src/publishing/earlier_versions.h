#pragma once
#include <cstdint>
#include <ctime>
#include <set>
#include <string>
#include <string_view>

namespace pq {

// The Edit tab's "Earlier versions…" command: whether it may run for the page shown, and how
// the versions read in its list.

inline constexpr const char* kEarlierVersionsLabel = "Earlier versions\u2026";
inline constexpr const char* kEarlierVersionsTitle = "Earlier Versions";
inline constexpr const char* kTooOldTooltip =
    "The site script on this website is too old to keep earlier versions of pages. Ask the "
    "website's designer to install the current site script.";

struct EarlierVersionsCommandState {
  bool enabled = false;
  std::string tooltip;
};
// siteReady: the site check found the site script; tooOld: it has refused the request as
// unknown this session.
EarlierVersionsCommandState EarlierVersionsState(bool pageShown, bool siteReady, bool tooOld);

// The sites (PasswordKey form) whose site script refused the requests as unknown, for the rest
// of the session.
class OutdatedSiteScripts {
 public:
  void Mark(std::string_view siteRoot);
  bool Contains(std::string_view siteRoot) const;

 private:
  std::set<std::string> sites_;
};

// The time in the user's zone, readable: "Fri 11 Dec 2026, 05:08:53".
std::string LocalTimeText(std::int64_t utcSeconds);
// "512 bytes", "1 byte", "12,345 bytes (12.1 KB)", "3,145,728 bytes (3.0 MB)".
std::string SizeText(std::uint64_t bytes);

}  // namespace pq
