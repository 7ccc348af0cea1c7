#pragma once
#include <optional>
#include <string>
#include <vector>

namespace pq {

// One request of the designer's check of a site, as it went.
struct SiteAnswer {
  bool reached = false;   // an HTTP answer came
  unsigned status = 0;    // its status
  std::string text;       // its body
  std::string problem;    // why the program refused it (certificate, redirect elsewhere)
  std::string failure;    // the network library's words when no answer came
};

// What the check asked of the site script: the check request, a pass key, the script's version
// and, when a password was given, the verification of that password.
struct SiteCheckAnswers {
  std::string scriptAddress;  // "https://host/pagequill/"
  SiteAnswer check;
  std::optional<SiteAnswer> passKey;      // not asked when the check was not reached
  std::optional<SiteAnswer> version;
  std::optional<SiteAnswer> verify;       // only with a password
};

// The verdict in plain words: one line per thing checked ("label: what was found"), and whether
// the site is ready to publish to.
struct SiteReadiness {
  std::vector<std::pair<std::string, std::string>> lines;
  bool ready = false;
  std::string verdict;  // the last line
};
SiteReadiness JudgeSite(const SiteCheckAnswers& answers);

// The lines as pqtool prints them.
std::string FormatReadiness(const SiteReadiness& readiness);

}  // namespace pq
