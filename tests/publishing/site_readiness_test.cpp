#include "publishing/site_readiness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pq::SiteAnswer;

SiteAnswer Ok(const std::string& text, unsigned status = 200) { return {true, status, text, "", ""}; }

pq::SiteCheckAnswers ReadySite() {
  pq::SiteCheckAnswers a;
  a.scriptAddress = "https://shop.test/pagequill/";
  a.check = Ok("@@ok@@Y@@N@@Y@@");
  a.passKey = Ok("@@-12@@");
  a.version = Ok("@@ok@@pagequill-site 0.1@@");
  return a;
}

// The text after "label: " in the formatted report, or "<none>".
std::string Line(const pq::SiteReadiness& r, const std::string& label) {
  for (const auto& [l, text] : r.lines)
    if (l == label) return text;
  return "<none>";
}

TEST(SiteReadiness, AReadySiteInWords) {
  const auto r = pq::JudgeSite(ReadySite());
  EXPECT_TRUE(r.ready);
  EXPECT_EQ(pq::FormatReadiness(r),
            "Site script:      https://shop.test/pagequill/\n"
            "Reached:          yes (HTTP 200)\n"
            "Set up:           yes, the site script answered the check\n"
            "Link texts:       may be changed\n"
            "Password e-mail:  not offered (flag 2 is N)\n"
            "Pages:            editable unless marked <meta name=\"pqedit\" content=\"n\">\n"
            "Pass key:         issued\n"
            "Version:          pagequill-site 0.1\n"
            "Ready to publish.\n");
}

TEST(SiteReadiness, WhatStopsPublishing) {
  const struct {
    const char* name;
    void (*change)(pq::SiteCheckAnswers&);
    const char* label;
    const char* says;  // the start of that line
    bool ready;
  } cases[] = {
      {"no site script", [](auto& a) { a.check = Ok("<h1>Not Found</h1>", 404); a.passKey.reset(); a.version.reset(); },
       "Set up", "no. The site has no site script at /pagequill/ (HTTP 404)", false},
      {"an ordinary page answers", [](auto& a) { a.check = Ok("<html>Welcome</html>"); },
       "Set up", "no. The answer to the check is not a site script's: \"<html>Welcome</html>\"", false},
      {"the script refuses to run", [](auto& a) { a.check = Ok("@@The configuration file is world-readable@@"); },
       "Set up", "no. The answer to the check is not a site script's: \"The configuration file is world-readable\"",
       false},
      {"untrusted certificate",
       [](auto& a) {
         a.check = {false, 0, "", "The website's certificate is not trusted: it has expired.", "TLS error"};
         a.passKey.reset();
         a.version.reset();
       },
       "Reached", "no. The website's certificate is not trusted: it has expired.", false},
      {"nothing listens", [](auto& a) { a.check = {false, 0, "", "", "Connection refused"}; a.passKey.reset(); },
       "Reached", "no. The website did not answer (Connection refused).", false},
      {"no pass key", [](auto& a) { a.passKey = Ok("@@abc@@"); }, "Pass key",
       "not issued. The site script answered \"abc\"", false},
      {"older script", [](auto& a) { a.version = Ok("@@Unknown request@@"); }, "Version", "not known", true},
      {"password right", [](auto& a) { a.verify = Ok("@@ok@@"); }, "Password", "right", true},
      {"password wrong", [](auto& a) { a.verify = Ok("@@Wrong password@@"); }, "Password",
       "refused: \"Wrong password\"", false},
      {"verify unknown (GET)", [](auto& a) { a.verify = Ok("@@Unknown request@@"); }, "Password",
       "not checked: this site script does not know the verify request", true},
      {"verify unknown (post)", [](auto& a) { a.verify = Ok("@@Incomplete request@@"); }, "Password",
       "not checked: this site script does not know the verify request", true},
      {"verify redirected elsewhere",
       [](auto& a) { a.verify = SiteAnswer{false, 307, "", "The website sent Pagequill's request on to another site.", ""}; },
       "Password", "not checked. The website sent", false},
  };
  for (const auto& c : cases) {
    auto answers = ReadySite();
    c.change(answers);
    const auto r = pq::JudgeSite(answers);
    EXPECT_EQ(r.ready, c.ready) << c.name;
    EXPECT_EQ(Line(r, c.label).rfind(c.says, 0), 0u) << c.name << ": " << Line(r, c.label);
    EXPECT_EQ(r.verdict.rfind(c.ready ? "Ready" : "Not ready", 0), 0u) << c.name << ": " << r.verdict;
  }
}

}  // namespace
