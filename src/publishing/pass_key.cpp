#include "publishing/pass_key.h"

#include <glib.h>

#include <limits>

#include "publishing/site_check.h"
#include "publishing/site_replies.h"

namespace pq {

namespace {

// The site script's own words in a refusal of a key ("@@Too many pass keys ...@@"): a field
// with letters where the key would be; "" for anything else.
std::string ScriptMessage(std::string_view reply) {
  const auto field = ReplyField(reply, 1);
  if (!field || !ReplyField(reply, 2)) return "";
  for (const char c : *field)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return std::string(*field);
  return "";
}

}  // namespace

PassKey GetPassKey(std::string_view siteRoot, const Fetcher& fetch, std::string_view stamp) {
  const FetchedPage answer = fetch(SiteScriptAddress(siteRoot, "passkey", stamp));
  const std::string& reply = answer.text;
  const PassKeyReply parsed = ParsePassKeyReply(reply);
  if (!parsed.ok) {
    PassKey r;
    const std::string said = ScriptMessage(reply);
    g_debug("no pass key from the site script of %.*s (HTTP %d): %s", static_cast<int>(siteRoot.size()),
            siteRoot.data(), static_cast<int>(answer.status), said.empty() ? "no message" : said.c_str());
    r.error = !answer.problem.empty() ? answer.problem + " Nothing was published."
              : !said.empty()
                  ? "The website did not hand out a pass key, so nothing was published. It "
                    "said: " + said
              : answer.status != 0 && answer.status != 200
                  ? "The website answered the request for a pass key with an error (HTTP " +
                        std::to_string(answer.status) +
                        "), so nothing was published. Please try again; if this keeps "
                        "happening, ask your website designer to check the Pagequill script "
                        "on the website."
              : reply.empty()
                  ? "The website did not answer when asked for a pass key, so nothing was "
                    "published. Please check your Internet connection and try again."
                  : "The website did not hand out a valid pass key, so nothing was published. "
                    "Please try again; if this keeps happening, ask your website designer to "
                    "check the Pagequill script on the website.";
    return r;
  }
  return {true, parsed.key, {}};
}

PassKeySequence PassKeysFor(int k, bool hasFrames, int framesSent) {
  PassKeySequence s;
  s.top = k + 1;
  int next = k + 2;
  if (hasFrames)
    for (int i = 0; i < framesSent; ++i) s.frames.push_back(next++);
  const int last = s.frames.empty() ? s.top : s.frames.back();
  if (last > std::numeric_limits<std::int16_t>::max()) {
    s.frames.clear();
    s.error = "The website handed out a pass key too large for this publication, so nothing "
              "was published. Please try again.";
    return s;
  }
  s.ok = true;
  return s;
}

}  // namespace pq
