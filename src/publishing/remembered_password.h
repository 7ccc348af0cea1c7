#pragma once
#include <string>
#include <string_view>

#include "core/settings.h"

namespace pq {

inline constexpr const char* kPasswordsSection = "passwords";

// "Please enter password for " + the site root as the page's address spells it.
std::string PasswordPrompt(std::string_view siteRoot);
// The password remembered for the site (its root compared in lower case), or "".
std::string RememberedPassword(const Settings& settings, std::string_view siteRoot);
// After a successful publication: remembers the password when asked to, and otherwise
// forgets one remembered for this site (the key stays, holding ""); other sites are untouched.
void RememberAfterPublishing(Settings& settings, std::string_view siteRoot,
                             const std::string& password, bool remember);

}  // namespace pq
