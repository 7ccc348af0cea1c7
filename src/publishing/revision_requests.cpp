#include "publishing/revision_requests.h"

#include <glib.h>

#include "pageprep/time_stamp.h"
#include "publishing/pass_key.h"
#include "publishing/site_check.h"

namespace pq {

RevisionRequests::RevisionRequests(std::string siteRoot, std::string file, Fetcher fetch,
                                   FormPoster post)
    : siteRoot_(std::move(siteRoot)),
      file_(std::move(file)),
      fetch_(std::move(fetch)),
      post_(std::move(post)) {}

namespace {

// The site script's own refusals are logged; the dialog says them to the user.
template <typename Reply>
Reply Logged(Reply reply, const char* request, const std::string& file) {
  if (reply.answer == RevisionsAnswer::Refused)
    g_debug("the site script refused the %s for %s: %s", request, file.c_str(), reply.message.c_str());
  return reply;
}

}  // namespace

bool RevisionRequests::Ask(const std::function<FormFields(int passKey)>& fields,
                           std::string& reply, RevisionsAnswer& answer, std::string& error) {
  const PassKey key = GetPassKey(siteRoot_, fetch_, MakeTimeStamp());
  const PassKeySequence keys = key.ok ? PassKeysFor(key.key, false, 0) : PassKeySequence{};
  if (!key.ok || !keys.ok) {
    answer = RevisionsAnswer::Refused;
    error = key.ok ? keys.error : key.error;
    return false;
  }
  PostedReply posted = post_(SiteScriptBase(siteRoot_), fields(keys.top));
  if (!posted.problem.empty()) {
    answer = RevisionsAnswer::Refused;
    error = posted.problem;
    return false;
  }
  if (!posted.answered) {
    answer = RevisionsAnswer::Unreadable;
    return false;
  }
  reply = std::move(posted.bytes);
  return true;
}

RevisionsReply RevisionRequests::List(const std::string& password) {
  RevisionsReply r;
  std::string reply;
  if (!Ask([&](int k) { return RevisionsRequest(file_, k, password); }, reply, r.answer, r.message))
    return r;
  return Logged(ParseRevisionsReply(reply), "list of earlier versions", file_);
}

RevisionBytesReply RevisionRequests::Fetch(const std::string& password, const std::string& id) {
  RevisionBytesReply r;
  std::string reply;
  if (!Ask([&](int k) { return FetchRevisionRequest(file_, id, k, password); }, reply, r.answer,
           r.message))
    return r;
  return Logged(ParseRevisionBytesReply(reply), "earlier version", file_);
}

RestoreReply RevisionRequests::Restore(const std::string& password, const std::string& id) {
  RestoreReply r;
  std::string reply;
  if (!Ask([&](int k) { return RestoreRequest(file_, id, k, password); }, reply, r.answer,
           r.message))
    return r;
  return Logged(ParseRestoreReply(reply), "restore", file_);
}

std::string RevisionsProblemText(RevisionsAnswer answer, const std::string& message) {
  switch (answer) {
    case RevisionsAnswer::Listed:
      return "";
    case RevisionsAnswer::Refused:
      return message;
    case RevisionsAnswer::TooOld:
      return "The site script on this website is too old to keep earlier versions of pages. "
             "Ask the website's designer to install the current site script.";
    case RevisionsAnswer::Unreadable:
      break;
  }
  return "The website did not answer as its site script does. Please check your Internet "
         "connection and try again.";
}

}  // namespace pq
