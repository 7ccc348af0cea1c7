#include "publishing/remembered_password.h"

#include "pageprep/text_util.h"

namespace pq {

std::string PasswordPrompt(std::string_view siteRoot) {
  return "Please enter password for " + std::string(siteRoot);
}

std::string RememberedPassword(const Settings& settings, std::string_view siteRoot) {
  if (siteRoot.empty()) return "";
  return settings.GetSetting(kPasswordsSection, AsciiLower(siteRoot));
}

void RememberAfterPublishing(Settings& settings, std::string_view siteRoot,
                             const std::string& password, bool remember) {
  if (siteRoot.empty()) return;
  const std::string key = AsciiLower(siteRoot);
  if (remember)
    settings.SaveSetting(kPasswordsSection, key, password);
  else if (!settings.GetSetting(kPasswordsSection, key).empty())
    settings.SaveSetting(kPasswordsSection, key, "");
}

}  // namespace pq
