#include "publishing/publish_flow.h"

#include "pageprep/markers.h"
#include "pageprep/page_encoding.h"
#include "pageprep/url_ops.h"
#include "publishing/md5.h"
#include "publishing/page_bytes.h"
#include "publishing/pass_key.h"
#include "publishing/publishable_page.h"
#include "publishing/site_replies.h"
#include "publishing/text_diff.h"

namespace pq {

namespace {

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

}  // namespace

std::optional<std::string> PublishedText(const PublishDocument& document) {
  const SpanSnapshot* recorded = document.recorded ? &*document.recorded : nullptr;
  const ChangedSpans changed(document.live, recorded);
  if (recorded && !changed.Any()) return std::nullopt;  // untouched: its source stands
  // A layout that holds nothing (made by hand, or from a copy read back) is found from the text.
  const SpanLayout layout = document.layout && !(document.layout->spans.empty() &&
                                                 document.layout->inserted.empty())
                                ? *document.layout
                                : FindSpanLayout(document.editHTML);
  const std::string text = PublishableHTML(document.editHTML, layout, changed);
  // The same restore with no span taken from the engine: wherever it differs from the source
  // (characters the restore filters, a space the markers kept as "&nbsp;"), the source's own
  // text stays.
  const std::string base = PublishableHTML(document.editHTML, layout, SpanSnapshot{});
  if (text == base) return std::nullopt;
  std::string published =
      base == document.sourceText
          ? text
          : ApplyEdits(document.sourceText, TransportEdits(text, DiffTexts(base, text),
                                                           DiffTexts(document.sourceText, base)));
  if (published == document.sourceText) return std::nullopt;
  return published;
}

std::optional<std::string> PublishedHTML(const PublishDocument& document, std::string& error) {
  const auto published = PublishedText(document);
  if (!published) return std::nullopt;
  const std::string bytes = document.sourceBytes.empty()
                                ? EncodeText(document.sourceText, document.charset).value_or("")
                                : document.sourceBytes;
  PageBytes page = PublishableBytes({bytes, document.charset, document.sourceText}, *published);
  if (!page.ok) {
    error = page.error;
    return std::nullopt;
  }
  return std::move(page.bytes);
}

PublishPlan PlanPublication(const std::vector<PublishDocument>& documents,
                            std::string_view siteRoot) {
  PublishPlan plan;
  plan.hasFrames = documents.size() > 1;
  std::vector<std::string> unwritable;
  for (std::size_t i = 0; i < documents.size(); ++i) {
    const PublishDocument& doc = documents[i];
    if (!doc.readable) continue;
    PublishJob job;
    job.isFrame = i > 0;
    job.file = RelativePathOf(GetMarker(doc.editHTML, "FullPath"), siteRoot);
    job.origUrl = GetMarker(doc.editHTML, "OrigURL");
    std::string error;
    auto html = PublishedHTML(doc, error);
    if (!error.empty()) unwritable.push_back(job.file + ": " + error);
    if (!html) continue;
    job.charset = PostingCharset(doc.charset, doc.sourceBytes);
    job.address = GetMarker(doc.editHTML, "FullPath");
    job.base = MD5HexOfBytes(doc.sourceBytes.empty()
                                 ? EncodeText(doc.sourceText, doc.charset).value_or("")
                                 : doc.sourceBytes);
    job.html = std::move(*html);
    plan.jobs.push_back(std::move(job));
  }
  if (!unwritable.empty()) {
    plan.jobs.clear();
    plan.error = "Nothing was published.";
    for (const auto& line : unwritable) plan.error += "\n" + line;
  }
  return plan;
}

void FollowEarlierPublications(PublishPlan& plan, const EarlierPublications& earlier) {
  std::vector<PublishJob> kept;
  for (auto& job : plan.jobs) {
    const auto it = earlier.find(job.address);
    if (it != earlier.end()) {
      if (it->second == job.html) continue;
      job.base = MD5HexOfBytes(it->second);
    }
    kept.push_back(std::move(job));
  }
  plan.jobs = std::move(kept);
}

void AddPublishFields(FormFields& fields, const PublishJob& job, const std::string& password) {
  const std::string key = std::to_string(job.passKey);
  fields.Reset();
  fields.SetCharset(job.charset);
  fields.AddField("passkey", key);
  fields.AddField("hash", MD5Hex(password + key));
  fields.AddField("file", job.file);
  fields.AddFieldBytes("html", job.html);
  fields.AddField("base", job.base);
}

PublishAttempt::PublishAttempt(PublishPlan plan, std::string password)
    : plan_(std::move(plan)), password_(std::move(password)) {}

void PublishAttempt::CompareWithWebsite(const CurrentBytes& current) {
  for (const auto& job : plan_.jobs) {
    if (job.address.empty()) continue;
    const auto bytes = current(job.address);
    if (bytes && MD5HexOfBytes(*bytes) != job.base) conflicts_.push_back(job.file);
  }
}

void PublishAttempt::Begin(bool passKeyOk, int k, const std::string& passKeyError) {
  begun_ = true;
  if (!conflicts_.empty()) return;  // nothing is posted: no key is needed
  if (!plan_.error.empty()) {
    fatal_ = plan_.error;
    return;
  }
  if (plan_.jobs.empty()) return;  // nothing to send needs no key
  if (!passKeyOk) {
    fatal_ = passKeyError.empty() ? "The website did not hand out a pass key." : passKeyError;
    return;
  }
  int framesSent = 0;
  for (const auto& job : plan_.jobs) framesSent += job.isFrame ? 1 : 0;
  const PassKeySequence keys = PassKeysFor(k, plan_.hasFrames, framesSent);
  if (!keys.ok) {
    fatal_ = keys.error;
    return;
  }
  std::size_t frame = 0;
  for (auto& job : plan_.jobs) job.passKey = job.isFrame ? keys.frames[frame++] : keys.top;
}

const PublishJob* PublishAttempt::Next() const {
  if (!begun_ || cancelled_ || !fatal_.empty() || !conflicts_.empty() ||
      next_ >= plan_.jobs.size())
    return nullptr;
  return &plan_.jobs[next_];
}

FormFields PublishAttempt::NextFields() const {
  FormFields fields;
  if (const PublishJob* job = Next()) AddPublishFields(fields, *job, password_);
  return fields;
}

void PublishAttempt::Judge(std::string_view reply) {
  // A submission under way when the user cancelled still gets its verdict.
  if (!begun_ || !fatal_.empty() || !conflicts_.empty() || next_ >= plan_.jobs.size()) return;
  const PublishJob* job = &plan_.jobs[next_];
  const PublishReply r = ParsePublishReply(reply);
  sent_.push_back(job->origUrl);
  if (r.Conflict) {
    conflicts_.push_back(job->file);  // nothing more is sent on top of a page we have not seen
  } else if (r.Updated) {
    stored_.push_back(job->file);
    storedJobs_.push_back(next_);
    ++next_;
  } else {
    refused_.emplace_back(job->file, r.Message);
    // A refused top page stops the attempt before its frames; a refused frame does not.
    next_ = job->isFrame ? next_ + 1 : plan_.jobs.size();
  }
}

std::vector<const PublishJob*> PublishAttempt::StoredJobs() const {
  std::vector<const PublishJob*> jobs;
  for (const std::size_t i : storedJobs_) jobs.push_back(&plan_.jobs[i]);
  return jobs;
}

void PublishAttempt::Cancel() {
  if (Next()) cancelled_ = true;  // after the last submission there is nothing to stop
}

PublishOutcome PublishAttempt::Outcome() const {
  if (!fatal_.empty()) return PublishOutcome::Failed;
  if (!conflicts_.empty()) return PublishOutcome::Conflict;
  if (Stopped()) return PublishOutcome::Cancelled;
  if (!begun_ || Next()) return PublishOutcome::Running;
  return refused_.empty() ? PublishOutcome::Succeeded : PublishOutcome::Failed;
}

std::string PublishAttempt::ErrorMessage() const {
  if (!fatal_.empty()) return fatal_;
  if (!conflicts_.empty()) {
    std::string message = (conflicts_.size() == 1 ? "This page was changed on the website since "
                                                     "you opened it: "
                                                   : "These pages were changed on the website "
                                                     "since you opened them: ") +
                          JoinNames(conflicts_) +
                          ".\n\nYour changes were not published, so nothing anyone else "
                          "published was overwritten.";
    if (!stored_.empty())
      message += "\n\nThese pages were already published: " + JoinNames(stored_) + ".";
    return message;
  }
  std::string message;
  const bool cancelled = Stopped();
  if (cancelled) {
    message = "Publishing was cancelled. ";
    message += stored_.empty() ? "Nothing was published."
                               : "These pages were already published: " + JoinNames(stored_) + ".";
  }
  if (!refused_.empty()) {
    // The site script's own words when one page was all there was to send.
    if (!cancelled && plan_.jobs.size() == 1) return refused_.front().second;
    if (!message.empty()) message += "\n\n";
    message += "These pages were not published:";
    for (const auto& [file, why] : refused_) message += "\n" + file + ": " + why;
    if (!cancelled && !stored_.empty())
      message += "\n\nThese pages were published: " + JoinNames(stored_) + ".";
  }
  return message;
}

}  // namespace pq
