#include "publishing/earlier_versions.h"

#include <cstdio>

#include "publishing/remembered_password.h"

namespace pq {

EarlierVersionsCommandState EarlierVersionsState(bool pageShown, bool siteReady, bool tooOld) {
  if (!pageShown) return {false, "Open a page of your website first."};
  if (!siteReady) return {false, "Publishing is not set up on this website."};
  if (tooOld) return {false, kTooOldTooltip};
  return {true, "See, preview and restore the versions this page had before"};
}

void OutdatedSiteScripts::Mark(std::string_view siteRoot) { sites_.insert(PasswordKey(siteRoot)); }

bool OutdatedSiteScripts::Contains(std::string_view siteRoot) const {
  return sites_.count(PasswordKey(siteRoot)) > 0;
}

std::string LocalTimeText(std::int64_t utcSeconds) {
  const auto t = static_cast<std::time_t>(utcSeconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) return "(unknown time)";
  char text[64];
  if (std::strftime(text, sizeof text, "%a %d %b %Y, %H:%M:%S", &local) == 0) return "(unknown time)";
  return text;
}

namespace {
std::string Grouped(std::uint64_t n) {
  std::string digits = std::to_string(n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}
}  // namespace

std::string SizeText(std::uint64_t bytes) {
  std::string text = Grouped(bytes) + (bytes == 1 ? " byte" : " bytes");
  if (bytes < 10000) return text;
  const double kb = static_cast<double>(bytes) / 1024;
  char unit[32];
  if (kb < 1024)
    std::snprintf(unit, sizeof unit, " (%.1f KB)", kb);
  else
    std::snprintf(unit, sizeof unit, " (%.1f MB)", kb / 1024);
  return text + unit;
}

}  // namespace pq
