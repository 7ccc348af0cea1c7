#pragma once
#include <functional>
#include <string>

#include "pageprep/fetcher.h"
#include "text/form_fields.h"
#include "publishing/page_revisions.h"

namespace pq {

// What a form post brought back: the reply's bytes, or why none can be believed.
struct PostedReply {
  bool answered = false;  // a reply came (any status)
  std::string bytes;      // the reply exactly as it came
  std::string problem;    // refused by the program itself (an untrusted certificate, a redirect
                          // to another site): one sentence
};
using FormPoster = std::function<PostedReply(const std::string& url, const FormFields& fields)>;

// The posts about the earlier versions of one page, each with a pass key of its own and the
// password proof.
class RevisionRequests {
 public:
  // siteRoot: scheme, host and port; file: the page's path below it, as a publication's "file".
  RevisionRequests(std::string siteRoot, std::string file, Fetcher fetch, FormPoster post);

  RevisionsReply List(const std::string& password);
  RevisionBytesReply Fetch(const std::string& password, const std::string& id);
  RestoreReply Restore(const std::string& password, const std::string& id);

  const std::string& File() const { return file_; }

 private:
  // Posts the fields made with a fresh pass key; false with `error` set when nothing could be
  // asked or nothing usable came back.
  bool Ask(const std::function<FormFields(int passKey)>& fields, std::string& reply,
           RevisionsAnswer& answer, std::string& error);

  std::string siteRoot_;
  std::string file_;
  Fetcher fetch_;
  FormPoster post_;
};

// What the user is told when a request did not get its answer (answer is not Listed).
std::string RevisionsProblemText(RevisionsAnswer answer, const std::string& message);

}  // namespace pq
