#include "publishing/remembered_password.h"

#include "pageprep/site_origin.h"
#include "text/text_util.h"

namespace pq {

namespace {

// Where earlier versions kept an http site's password; "" where that is the key itself, or
// for https (which they never published to).
std::string OlderKey(std::string_view siteRoot) {
  const auto origin = OriginOf(siteRoot);
  if (!origin || origin->scheme != "http") return "";
  std::string older = AsciiLower(siteRoot);
  return older == PasswordKey(siteRoot) ? "" : older;
}

}  // namespace

std::string PasswordPrompt(std::string_view siteRoot) {
  return "Please enter password for " + std::string(siteRoot);
}

std::string PasswordKey(std::string_view siteRoot) {
  const auto origin = OriginOf(siteRoot);
  return origin ? OriginText(*origin) : "";
}

std::string RememberedPassword(const Settings& settings, std::string_view siteRoot) {
  const std::string key = PasswordKey(siteRoot);
  if (key.empty()) return "";
  std::string password = settings.GetSetting(kPasswordsSection, key);
  if (password.empty())
    if (const std::string older = OlderKey(siteRoot); !older.empty())
      password = settings.GetSetting(kPasswordsSection, older);
  return password;
}

void RememberAfterPublishing(Settings& settings, std::string_view siteRoot,
                             const std::string& password, bool remember) {
  const std::string key = PasswordKey(siteRoot);
  if (key.empty()) return;
  const std::string older = OlderKey(siteRoot);
  // Whatever was kept under the older key is now kept (or forgotten) under the new one.
  if (!older.empty() && !settings.GetSetting(kPasswordsSection, older).empty())
    settings.SaveSetting(kPasswordsSection, older, "");
  if (remember)
    settings.SaveSetting(kPasswordsSection, key, password);
  else if (!settings.GetSetting(kPasswordsSection, key).empty())
    settings.SaveSetting(kPasswordsSection, key, "");
}

}  // namespace pq
