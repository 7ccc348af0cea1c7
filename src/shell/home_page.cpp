#include "shell/home_page.h"

namespace pq {

namespace {

std::string FileURL(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : path) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    }
  }
  return url;
}

}  // namespace

std::string HomePageURL(const char* environmentHome, const Settings& settings, const std::string& dataDir) {
  if (environmentHome && *environmentHome) return environmentHome;
  std::string configured = settings.GetSetting("Browser", "HomePage");
  if (!configured.empty()) return configured;
  return FileURL(dataDir + "/start.htm");
}

}  // namespace pq
