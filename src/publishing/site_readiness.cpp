#include "publishing/site_readiness.h"

#include <algorithm>

#include "text/text_util.h"
#include "publishing/site_replies.h"

namespace pq {

namespace {

bool Usable(const SiteAnswer& a) { return a.reached && a.problem.empty(); }

// Why an answer is missing or was refused.
std::string WhyNot(const SiteAnswer& a) {
  if (!a.problem.empty()) return a.problem;
  return "The website did not answer" + (a.failure.empty() ? "" : " (" + a.failure + ")") + ".";
}

std::string Reached(const SiteAnswer& a) {
  return Usable(a) ? "yes (HTTP " + std::to_string(a.status) + ")" : "no. " + WhyNot(a);
}

// A site script's own message ("@@...@@"), or the start of a reply that is none.
std::string Said(const std::string& text) {
  const auto message = ReplyField(text, 1);
  if (message && ReplyField(text, 2)) return "\"" + std::string(*message).substr(0, 200) + "\"";
  std::string start(TrimWhitespace(text).substr(0, 80));
  std::replace_if(start.begin(), start.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
  return start.empty() ? "nothing" : "\"" + start + (text.size() > 80 ? "...\"" : "\"");
}

}  // namespace

SiteReadiness JudgeSite(const SiteCheckAnswers& a) {
  SiteReadiness r;
  auto line = [&](std::string label, std::string text) { r.lines.emplace_back(std::move(label), std::move(text)); };
  line("Site script", a.scriptAddress);
  line("Reached", Reached(a.check));
  const bool reached = Usable(a.check);
  bool setUp = false;
  if (reached) {
    const bool ok = a.check.status >= 200 && a.check.status < 300;
    const CheckReply check = ParseCheckReply(a.check.text);
    setUp = ok && check.SiteReady;
    if (setUp) {
      line("Set up", "yes, the site script answered the check");
      line("Link texts", check.LinkTextEditable ? "may be changed" : "may not be changed (flag 1 is N)");
      line("Password e-mail", check.PasswordEmailAllowed ? "a forgotten password may be e-mailed to the owner"
                                                         : "not offered (flag 2 is N)");
      line("Pages", check.EditableByDefault ? "editable unless marked <meta name=\"pqedit\" content=\"n\">"
                                            : "only those marked <meta name=\"pqedit\" content=\"y\"> (flag 3 is N)");
    } else if (!ok) {
      line("Set up", "no. The site has no site script at /pagequill/ (HTTP " + std::to_string(a.check.status) + ")");
    } else {
      line("Set up", "no. The answer to the check is not a site script's: " + Said(a.check.text));
    }
  }
  bool keyIssued = false;
  if (a.passKey) {
    const SiteAnswer& k = *a.passKey;
    keyIssued = Usable(k) && ParsePassKeyReply(k.text).ok;
    if (keyIssued)
      line("Pass key", "issued");
    else if (!Usable(k))
      line("Pass key", "not issued. " + WhyNot(k));
    else
      line("Pass key", "not issued. The site script answered " + Said(k.text));
  }
  if (a.version) {
    const SiteAnswer& v = *a.version;
    const auto name = ReplyField(v.text, 2);
    if (Usable(v) && v.text.rfind("@@ok@@", 0) == 0 && name && !name->empty())
      line("Version", std::string(name->substr(0, 80)));
    else
      line("Version", "not known (the site script does not say: an older version, or not Pagequill's)");
  }
  bool passwordRight = true;
  if (a.verify) {
    const SiteAnswer& v = *a.verify;
    const PublishReply reply = ParsePublishReply(v.text);
    if (!Usable(v)) {
      passwordRight = false;
      line("Password", "not checked. " + WhyNot(v));
    } else if (v.text.find("@@ok@@") != std::string::npos) {
      line("Password", "right");
    } else if (reply.Message == "Unknown request" || reply.Message == "Incomplete request") {
      line("Password", "not checked: this site script does not know the verify request (an older version)");
    } else {
      passwordRight = false;
      line("Password", "refused: " + Said(v.text));
    }
  }
  r.ready = reached && setUp && keyIssued && passwordRight;
  if (r.ready)
    r.verdict = "Ready to publish.";
  else if (!reached)
    r.verdict = "Not ready to publish: the site script could not be reached.";
  else if (!setUp)
    r.verdict = "Not ready to publish: the site is not set up for Pagequill.";
  else if (!keyIssued)
    r.verdict = "Not ready to publish: the site script hands out no pass key.";
  else
    r.verdict = "Not ready to publish: the password was refused.";
  return r;
}

std::string FormatReadiness(const SiteReadiness& readiness) {
  std::size_t width = 0;
  for (const auto& [label, text] : readiness.lines) width = std::max(width, label.size());
  std::string out;
  for (const auto& [label, text] : readiness.lines)
    out += label + ":" + std::string(width + 2 - label.size(), ' ') + text + "\n";
  return out + readiness.verdict + "\n";
}

}  // namespace pq
