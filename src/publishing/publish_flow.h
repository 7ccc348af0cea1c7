#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/frame_path.h"
#include "pageprep/prepared_page.h"
#include "pageprep/restore_html.h"
#include "text/form_fields.h"
#include "text/text_edit.h"

namespace pq {

// One document of the page in the edit pane: the top page (first) or a frame (the frames
// follow in the frame table's depth-first order).
struct PublishDocument {
  bool readable = true;     // false: an unreadable frame, or its live document could not be read
  FramePath path;           // where it is in the edit pane ({} the top document)
  PreparedPage page;        // its source, and its edit HTML as written into its edit copy
  SpanSnapshot live;                     // the spans' contents now
  std::optional<SpanSnapshot> recorded;  // their contents right after activation
};

// One submission of an attempt.
struct PublishJob {
  bool isFrame = false;
  std::string file;     // the "file" field: the path below the site root, "%20" as spaces
  std::string origUrl;  // whose cached copies are dropped afterwards
  std::string charset;  // the character set the fields are sent in
  std::string html;     // the "html" field, bytes in that set
  std::string address;  // the page file's address, fetched again just before posting
  std::string base;     // the "base" field: MD5 of the exact bytes the edit was made on
  int passKey = 0;
};

// What an attempt will send: the changed documents, or why nothing may be sent.
struct PublishPlan {
  std::vector<PublishJob> jobs;
  bool hasFrames = false;
  std::string error;  // a changed document that cannot be written (UTF-16): nothing is sent
};
PublishPlan PlanPublication(const std::vector<PublishDocument>& documents,
                            std::string_view siteRoot);

// What this program published of each page address (the job's `address`) since the page was
// loaded into the edit pane: the website holds these bytes now, not the source the edit began on.
using EarlierPublications = std::map<std::string, std::string>;
// Drops the jobs whose bytes are exactly what was published last (a second Publish without
// typing posts nothing) and takes the last publication as the base of the others.
void FollowEarlierPublications(PublishPlan& plan, const EarlierPublications& earlier);

// The changes publishing makes to a document's source text: each changed span's source range
// replaced by its contents now, nothing else. Empty when nothing changed; nullopt (with error)
// when a changed span's place cannot be found exactly.
std::optional<std::vector<TextEdit>> SpanEdits(const PublishDocument& document, std::string& error);

// The text of one document as it would be published: its source with the changed spans, or
// nullopt when nothing in it changed.
std::optional<std::string> PublishedText(const PublishDocument& document);

// The "html" bytes of one document, or nullopt when it is not to be sent (unchanged). Sets
// error when it has changed but cannot be written.
std::optional<std::string> PublishedHTML(const PublishDocument& document, std::string& error);

// "passkey", "hash", "file", "html" and "base", in that order. A site script that does not
// know "base" ignores it (fields are read by name).
void AddPublishFields(FormFields& fields, const PublishJob& job, const std::string& password);

enum class PublishOutcome { Running, Succeeded, Failed, Cancelled, Conflict };

// The bytes of a page as the website serves them now; nullopt when they could not be fetched.
using CurrentBytes = std::function<std::optional<std::string>(const std::string& address)>;

// One publication attempt, a submission at a time, so the window can run (and the user can
// cancel) between them.
class PublishAttempt {
 public:
  PublishAttempt(PublishPlan plan, std::string password);

  // Before anything is posted: compares each page as the website serves it now with the bytes
  // its edit was made on. A page changed meanwhile (a second editor) stops the attempt with
  // nothing posted. A page that cannot be fetched is left to the site script's own check.
  void CompareWithWebsite(const CurrentBytes& current);
  // Gives the pass key K (or the reason there is none) and numbers the submissions.
  void Begin(bool passKeyOk, int k, const std::string& passKeyError);
  // The next submission, or nullptr when the attempt is over.
  const PublishJob* Next() const;
  // The fields of the next submission.
  FormFields NextFields() const;
  // Judges the site script's reply to the submission Next() gave.
  void Judge(std::string_view reply);
  // The submission Next() gave never reached the site script (an untrusted certificate, a
  // redirect to another site): it counts as refused for that reason, and nothing more is sent.
  void Undelivered(const std::string& why);
  // Whether a reply is one the site script wrote (it holds its "@@" fields); anything else (no
  // answer, an answer cut short, a proxy's error page) says nothing about what was stored.
  static bool IsSiteScriptReply(std::string_view reply);
  // The submission Next() gave got no reply that tells: judged from the page as the website
  // serves it now (nullopt: it could not be fetched either). The very bytes posted mean stored.
  // `happened` says which step failed (post_trouble.h) when the user is told.
  void JudgeFromWebsite(const std::optional<std::string>& current,
                        const std::string& happened = "No answer came from the website that "
                                                      "Pagequill could read.");
  // The user cancelled: nothing more is sent, not even a first submission after Begin. A
  // submission under way still gets its verdict: from its reply, or, when its transfer was
  // aborted, from JudgeAborted.
  void Cancel();
  // The submission under way was aborted by the cancel: its outcome is judged from the page as
  // the website serves it now, as for a lost reply (nullopt: unknown).
  void JudgeAborted(const std::optional<std::string>& current);

  PublishOutcome Outcome() const;
  // For the Password form: "" after success, otherwise what went wrong, naming every
  // refused document and, after a cancellation, which were stored, which not, and which are
  // unknown.
  std::string ErrorMessage() const;
  // Whether the user cancelled before everything was stored.
  bool Cancelled() const { return Stopped(); }
  const std::vector<std::string>& Stored() const { return stored_; }
  // The jobs the site script stored.
  std::vector<const PublishJob*> StoredJobs() const;
  // The pages that were changed on the website since they were opened.
  const std::vector<std::string>& Conflicts() const { return conflicts_; }
  // The documents sent so far whose cached copies must go.
  const std::vector<std::string>& SentAddresses() const { return sent_; }

 private:
  // Cancelled before every page was stored (a Cancel during the last submission that was
  // stored anyway stops nothing).
  bool Stopped() const { return cancelled_ && stored_.size() < plan_.jobs.size(); }
  // Whether the submission Next() gave (or the one under way at a Cancel) can still be judged.
  bool Judging() const;
  void NotStored(const std::string& why);

  PublishPlan plan_;
  std::string password_;
  std::size_t next_ = 0;
  bool begun_ = false;
  bool cancelled_ = false;
  std::string fatal_;  // no pass key, or a document that cannot be written
  std::vector<std::string> stored_;
  std::vector<std::size_t> storedJobs_;
  std::vector<std::string> sent_;
  std::vector<std::string> conflicts_;
  std::vector<std::pair<std::string, std::string>> refused_;  // file, message ("" : cancelled)
  std::vector<std::pair<std::string, std::string>> unknown_;  // file, what happened
  std::vector<bool> judged_;                                  // per job
};

}  // namespace pq
