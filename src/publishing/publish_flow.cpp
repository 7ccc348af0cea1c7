#include "publishing/publish_flow.h"

#include <glib.h>

#include "pageprep/markers.h"
#include "text/page_encoding.h"
#include "pageprep/url_ops.h"
#include "publishing/md5.h"
#include "text/page_bytes.h"
#include "publishing/pass_key.h"
#include "publishing/publishable_page.h"
#include "publishing/site_replies.h"
#include "publishing/span_alignment.h"
#include "pageprep/char_filters.h"

namespace pq {

namespace {

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

}  // namespace

namespace {

// The edit of an edited span that keeps the span's own text outside what the user changed, or
// nullopt where that cannot be told exactly (the whole span is then replaced).
std::optional<TextEdit> AlignedEdit(const PublishDocument& document, const SpanPlace& s,
                                    std::string_view source, const std::string& contentsNow) {
  if (s.kind != SpanKind::Edit || !document.recorded) return std::nullopt;
  // An emptied span gets the place-holder that keeps it editable next time.
  if (contentsNow.find("<!--DeletedText-->") != std::string::npos) return std::nullopt;
  const auto recorded = document.recorded->elements.find(s.Id());
  const auto live = document.live.elements.find(s.Id());
  if (recorded == document.recorded->elements.end() || live == document.live.elements.end())
    return std::nullopt;
  const std::string_view was = source.substr(s.sourceBegin, s.sourceEnd - s.sourceBegin);
  const auto change = AlignSpanChange(was, recorded->second.innerHTML, live->second.innerHTML);
  if (!change) return std::nullopt;
  // The typed text by the same rules as a whole span's.
  std::string text = StripUnsafeChars(EncodeSpecialChars(change->now));
  const std::string_view replaced = was.substr(change->begin, change->end - change->begin);
  // A space at either end of the span was shown as a non-breaking one: it stays a space.
  if (change->begin == 0 && !replaced.empty() && replaced.front() == ' ' &&
      text.rfind("&nbsp;", 0) == 0)
    text.replace(0, 6, " ");
  if (change->end == was.size() && !replaced.empty() && replaced.back() == ' ' &&
      text.size() >= 6 && text.compare(text.size() - 6, 6, "&nbsp;") == 0)
    text.replace(text.size() - 6, 6, " ");
  return TextEdit{s.sourceBegin + change->begin, s.sourceBegin + change->end, std::move(text)};
}

}  // namespace

std::optional<std::vector<TextEdit>> SpanEdits(const PublishDocument& document,
                                               std::string& error) {
  const SpanSnapshot* recorded = document.recorded ? &*document.recorded : nullptr;
  const ChangedSpans changed(document.live, recorded);
  std::vector<TextEdit> edits;
  if (recorded && !changed.Any()) return edits;  // untouched: its source stands
  const auto layout = SourceLayoutOf(document.page);
  if (!layout) {
    error = "Pagequill could not find the edited text's place in the page, so nothing was "
            "published.";
    return std::nullopt;
  }
  const std::string_view source = document.page.source.text;
  std::size_t floor = 0;
  for (const SpanPlace& s : layout->spans) {
    auto now = SpanContentsNow(document.page.edit.html, s, changed);
    if (!now) continue;
    if (s.sourceBegin < floor || s.sourceEnd < s.sourceBegin || s.sourceEnd > source.size()) {
      error = "Pagequill could not find the place of the changed text " + s.Id() +
              " exactly in the page, so nothing was published.";
      return std::nullopt;
    }
    floor = s.sourceEnd;
    if (auto edit = AlignedEdit(document, s, source, *now)) {
      if (edit->text != source.substr(edit->from, edit->to - edit->from))
        edits.push_back(std::move(*edit));
      continue;
    }
    std::string text = std::move(*now);
    const std::string_view was = source.substr(s.sourceBegin, s.sourceEnd - s.sourceBegin);
    // A space at either end of the span was shown as a non-breaking one: it stays a space.
    if (s.kind == SpanKind::Edit) {
      if (!was.empty() && was.front() == ' ' && text.rfind("&nbsp;", 0) == 0)
        text.replace(0, 6, " ");
      if (was.size() > 1 && was.back() == ' ' && text.size() >= 6 &&
          text.compare(text.size() - 6, 6, "&nbsp;") == 0)
        text.replace(text.size() - 6, 6, " ");
    }
    if (text == was) continue;
    if (s.kind == SpanKind::Anchor) {
      // Only a link's text is new: its own tags keep their bytes, even one the set cannot
      // write back as it stood (an undecodable byte in an address).
      const std::size_t head = s.textBegin - s.contentBegin, tail = s.contentEnd - s.textEnd;
      if (s.contentBegin <= s.textBegin && s.textEnd <= s.contentEnd && head + tail <= was.size() &&
          text.size() >= head + tail && text.compare(0, head, was, 0, head) == 0 &&
          text.compare(text.size() - tail, tail, was, was.size() - tail, tail) == 0) {
        edits.push_back({s.sourceBegin + head, s.sourceEnd - tail, text.substr(head, text.size() - head - tail)});
        continue;
      }
    }
    edits.push_back({s.sourceBegin, s.sourceEnd, std::move(text)});
  }
  return edits;
}

std::optional<std::string> PublishedText(const PublishDocument& document) {
  std::string error;
  const auto edits = SpanEdits(document, error);
  if (!edits || edits->empty()) return std::nullopt;
  return ApplyEdits(document.page.source.text, *edits);
}

std::optional<std::string> PublishedHTML(const PublishDocument& document, std::string& error) {
  const auto edits = SpanEdits(document, error);
  if (!edits || edits->empty()) return std::nullopt;
  PageBytes page = PublishableBytes(document.page.source, *edits);
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
    job.file = RelativePathOf(GetMarker(doc.page.edit.html, "FullPath"), siteRoot);
    job.origUrl = GetMarker(doc.page.edit.html, "OrigURL");
    std::string error;
    auto html = PublishedHTML(doc, error);
    if (!error.empty()) unwritable.push_back(job.file + ": " + error);
    if (!html) continue;
    const SourcePage& source = doc.page.source;
    job.charset = PostingCharset(source.charset, source.bytes);
    job.address = GetMarker(doc.page.edit.html, "FullPath");
    job.base = MD5HexOfBytes(source.bytes);
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
    : plan_(std::move(plan)), password_(std::move(password)), judged_(plan_.jobs.size(), false) {}

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
  if (cancelled_) return;  // cancelled while the key was asked for: nothing is posted
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
  if (cancelled_ || !Judging()) return nullptr;
  return &plan_.jobs[next_];
}

bool PublishAttempt::Judging() const {
  return begun_ && fatal_.empty() && conflicts_.empty() && next_ < plan_.jobs.size();
}

FormFields PublishAttempt::NextFields() const {
  FormFields fields;
  if (const PublishJob* job = Next()) AddPublishFields(fields, *job, password_);
  return fields;
}

void PublishAttempt::NotStored(const std::string& why) {
  const PublishJob& job = plan_.jobs[next_];
  refused_.emplace_back(job.file, why);
  judged_[next_] = true;
  // A refused top page stops the attempt before its frames; a refused frame does not.
  next_ = job.isFrame ? next_ + 1 : plan_.jobs.size();
}

void PublishAttempt::Judge(std::string_view reply) {
  // A submission under way when the user cancelled still gets its verdict.
  if (!Judging()) return;
  const PublishJob* job = &plan_.jobs[next_];
  const PublishReply r = ParsePublishReply(reply);
  sent_.push_back(job->origUrl);
  if (r.Conflict) {
    g_debug("the site script refused %s: the page changed on the website", job->file.c_str());
    conflicts_.push_back(job->file);  // nothing more is sent on top of a page we have not seen
  } else if (r.Updated) {
    stored_.push_back(job->file);
    storedJobs_.push_back(next_);
    judged_[next_] = true;
    ++next_;
  } else {
    g_debug("the site script refused %s: %s", job->file.c_str(), r.Message.c_str());
    NotStored(r.Message);
  }
}

void PublishAttempt::Undelivered(const std::string& why) {
  if (!Judging()) return;
  refused_.emplace_back(plan_.jobs[next_].file, why);
  judged_[next_] = true;
  next_ = plan_.jobs.size();  // the next post would go the same way
}

std::vector<const PublishJob*> PublishAttempt::StoredJobs() const {
  std::vector<const PublishJob*> jobs;
  for (const std::size_t i : storedJobs_) jobs.push_back(&plan_.jobs[i]);
  return jobs;
}

bool PublishAttempt::IsSiteScriptReply(std::string_view reply) {
  const auto first = reply.find("@@");
  return first != std::string_view::npos && reply.find("@@", first + 2) != std::string_view::npos;
}

void PublishAttempt::JudgeFromWebsite(const std::optional<std::string>& current,
                                      const std::string& happened) {
  if (!Judging()) return;
  const PublishJob& job = plan_.jobs[next_];
  sent_.push_back(job.origUrl);
  if (current && *current == job.html) {
    stored_.push_back(job.file);
    storedJobs_.push_back(next_);
    judged_[next_] = true;
    ++next_;
    return;
  }
  if (current) {
    // An aborted post (happened empty) needs no words: the cancel says why.
    NotStored(happened.empty() ? happened
                               : happened + " The page on the website is not your version: "
                                            "your changes were not published.");
    return;
  }
  unknown_.emplace_back(job.file, happened);
  judged_[next_] = true;
  next_ = job.isFrame ? next_ + 1 : plan_.jobs.size();
}

void PublishAttempt::JudgeAborted(const std::optional<std::string>& current) {
  JudgeFromWebsite(current, "");
}

void PublishAttempt::Cancel() {
  // Before the key was asked for, or with a submission still to send or under way.
  if (!begun_ || Next()) cancelled_ = true;
}

PublishOutcome PublishAttempt::Outcome() const {
  if (!fatal_.empty()) return PublishOutcome::Failed;
  if (!conflicts_.empty()) return PublishOutcome::Conflict;
  if (Stopped() && begun_) return PublishOutcome::Cancelled;
  if (!begun_ || Next()) return PublishOutcome::Running;
  return refused_.empty() && unknown_.empty() ? PublishOutcome::Succeeded
                                              : PublishOutcome::Failed;
}

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;  // file, why

bool HaveWords(const Entries& entries) {
  for (const auto& entry : entries)
    if (!entry.second.empty()) return true;
  return false;
}

// "Heading a, b." when no entry has words of its own, else one line per entry.
std::string Listed(const std::string& heading, const Entries& entries) {
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.first);
  if (!HaveWords(entries)) return heading + " " + JoinNames(names) + ".";
  std::string text = heading;
  for (const auto& [file, why] : entries) text += "\n" + file + (why.empty() ? "" : ": " + why);
  return text;
}

constexpr const char* kNotChecked = "Pagequill could not check whether your changes were "
                                    "published. Open the page to see which version the website "
                                    "has.";

}  // namespace

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
  const bool cancelled = Stopped();
  if (!cancelled && plan_.jobs.size() == 1) {
    // The site script's own words, or which step failed, when one page was all there was.
    if (!refused_.empty()) return refused_.front().second;
    if (!unknown_.empty()) return unknown_.front().second + " " + kNotChecked;
  }
  Entries notPublished = refused_;
  if (cancelled)
    for (std::size_t i = 0; i < plan_.jobs.size(); ++i)
      if (!judged_[i]) notPublished.emplace_back(plan_.jobs[i].file, "");
  std::string message;
  const auto section = [&message](const std::string& text) {
    message += (message.empty() ? "" : "\n\n") + text;
  };
  if (cancelled) {
    message = "Publishing was cancelled.";
    if (!stored_.empty())
      message += " These pages were already published: " + JoinNames(stored_) + ".";
    else if (unknown_.empty())
      message += " Nothing was published.";
  }
  if (!notPublished.empty()) section(Listed("These pages were not published:", notPublished));
  if (!unknown_.empty())
    section(Listed("Pagequill could not check whether these pages were published:", unknown_) +
            (HaveWords(unknown_) ? "\n" : " ") +
            "Open them on the website to see which version it has.");
  if (!cancelled && !stored_.empty() && !message.empty())
    section("These pages were published: " + JoinNames(stored_) + ".");
  return message;
}

}  // namespace pq
