#pragma once
#include <string>
#include <string_view>

#include "core/settings.h"

namespace pq {

inline constexpr const char* kPasswordsSection = "passwords";

// "Please enter password for " + the site root as the page's address spells it.
std::string PasswordPrompt(std::string_view siteRoot);
// The key a site's password is kept under: its scheme, host and port in lower case, the port
// only when not the scheme's default ("https://www.example.com", "http://127.0.0.1:8080"), so
// an http and an https site never share one. "" for a root that is no web site.
std::string PasswordKey(std::string_view siteRoot);
// The password remembered for the site, or "". An http site's password kept under the key of
// earlier versions (the root as spelled, in lower case) is still found.
std::string RememberedPassword(const Settings& settings, std::string_view siteRoot);
// After a successful publication: remembers the password when asked to, and otherwise
// forgets one remembered for this site (the key stays, holding ""); other sites are untouched.
void RememberAfterPublishing(Settings& settings, std::string_view siteRoot,
                             const std::string& password, bool remember);

}  // namespace pq
