#include "publishing/widgets/publish_form.h"

#include <chrono>

#include "engine/wait_until.h"
#include "pageprep/time_stamp.h"
#include "pageprep/url_ops.h"
#include "publishing/post_trouble.h"
#include "publishing/publish_documents.h"
#include "publishing/site_check.h"
#include "publishing/widgets/modal_dialog.h"

namespace pq {

namespace {

constexpr auto kReloadWait = std::chrono::seconds(20);
// The browse pane's reload and the minimum display together never keep the form longer.
constexpr auto kLongestStay = std::chrono::seconds(40);
// How long the website is asked, after a Cancel, whether an aborted post was stored.
constexpr auto kCheckAfterCancel = std::chrono::seconds(10);

}  // namespace

Publish::Publish(GtkWindow* parent, PublishHost& host)
    : host_(host), dialog_(engine::GObjectPtr<GtkWidget>::Sink(gtk_dialog_new())) {
  GtkWidget* d = dialog_.get();
  gtk_window_set_title(GTK_WINDOW(d), "Publish Changes");
  gtk_widget_set_name(d, "Publish");
  MakeModal(GTK_WINDOW(d), parent);
  gtk_window_set_deletable(GTK_WINDOW(d), FALSE);

  GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(d));
  gtk_container_set_border_width(GTK_CONTAINER(area), 16);
  gtk_box_set_spacing(GTK_BOX(area), 12);
  Label1 = gtk_label_new("Your changes are being published - please wait . . .");
  gtk_widget_set_name(Label1, "Label1");
  animation_ = std::make_unique<Animation>("Publishing", 8, 250,
                                           parent ? gtk_widget_get_scale_factor(GTK_WIDGET(parent)) : 1);
  gtk_box_pack_start(GTK_BOX(area), Label1, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(area), animation_->Widget(), FALSE, FALSE, 0);
  // The form's own browser only reloads the published page; it is never seen.
  gtk_box_pack_start(GTK_BOX(area), webBrowser_.Widget(), FALSE, FALSE, 0);
  gtk_widget_set_no_show_all(webBrowser_.Widget(), TRUE);

  CancelButton = gtk_dialog_add_button(GTK_DIALOG(d), "Cancel", GTK_RESPONSE_CANCEL);
  gtk_widget_set_name(CancelButton, "CancelButton");
  atk_object_set_name(gtk_widget_get_accessible(CancelButton), "Cancel");
  signals_.Connect(CancelButton, "clicked", G_CALLBACK(&Publish::OnCancel), this);
  signals_.Connect(d, "delete-event", G_CALLBACK(&Publish::OnDelete), this);
}

Publish::~Publish() {
  signals_.DisconnectAll();
  gtk_container_remove(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog_.get()))),
                       webBrowser_.Widget());
  gtk_widget_destroy(dialog_.get());
}

void Publish::OnCancel(GtkWidget*, gpointer data) {
  auto* self = static_cast<Publish*>(data);
  self->cancelled_ = true;
  if (self->attempt_) self->attempt_->Cancel();
}

gboolean Publish::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  OnCancel(nullptr, data);
  return TRUE;
}

PassKey Publish::GetPassKey() {
  return pq::GetPassKey(siteRoot_,
                        [this](const std::string& url) {
                          return host_.Fetch(url, [this] { return cancelled_; });
                        },
                        MakeTimeStamp());
}

std::vector<std::string> Publish::StoredFiles() const {
  std::vector<std::string> files;
  if (attempt_)
    for (const PublishJob* job : attempt_->StoredJobs()) files.push_back(job->file);
  return files;
}

std::string Publish::Run() {
  errorText_.clear();
  cancelled_ = false;
  conflict_ = false;
  passwordNeeded_ = false;
  siteRoot_ = SiteRootOf(host_.CurrentOrigURL());
  gtk_widget_show_all(dialog_.get());
  animation_->Start();
  // Let the form appear before the work starts.
  engine::WaitUntil([this] { return gtk_widget_get_mapped(dialog_.get()); },
                    std::chrono::milliseconds(500));
  SetUpIE();
  animation_->Stop();
  gtk_widget_hide(dialog_.get());
  return errorText_;
}

void Publish::SetUpIE() {
  PublishPlan plan = PlanPublication(
      DocumentsToPublish(host_.Record(), host_.Frames(), host_.Live()), siteRoot_);
  EarlierPublications* earlier = host_.Earlier();
  if (earlier) FollowEarlierPublications(plan, *earlier);
  const bool anything = !plan.jobs.empty() && plan.error.empty();
  if (anything && password_.empty()) {
    passwordNeeded_ = true;  // the site would only refuse it
    return;
  }
  attempt_.emplace(std::move(plan), password_);
  if (cancelled_) attempt_->Cancel();  // pressed before the work began
  // Every transfer below is aborted as soon as the user presses Cancel.
  const std::function<bool()> stop = [this] { return cancelled_; };
  if (anything) {
    // A second editor's change since the page was opened is never overwritten.
    attempt_->CompareWithWebsite([this, &stop](const std::string& address) -> std::optional<std::string> {
      FetchedPage page = host_.Fetch(address, stop);
      if (page.bytes.empty()) return std::nullopt;
      return std::move(page.bytes);
    });
  }
  if (anything && attempt_->Conflicts().empty() && !cancelled_) {
    const PassKey key = GetPassKey();
    attempt_->Begin(key.ok, key.key, key.error);
  } else {
    attempt_->Begin(false, 0, "");
  }
  const std::string address = SiteScriptBase(siteRoot_);
  while (const PublishJob* job = attempt_->Next()) {
    submit_.SetFields(attempt_->NextFields());
    const engine::PostResult reply = submit_.Submit(address, engine::kPostTimeout, stop);
    host_.DropCachedCopies(job->origUrl);
    if (!reply.problem.empty()) {
      // Refused by the program itself (an untrusted certificate, a redirect to another site):
      // the user is told why, and nothing more is sent.
      attempt_->Undelivered(reply.problem);
      continue;
    }
    if (reply.ok && PublishAttempt::IsSiteScriptReply(reply.text)) {
      attempt_->Judge(reply.text);  // a Cancel meanwhile stops before the next one
      continue;
    }
    if (reply.cancelled) {
      // The form goes at once; whether the aborted post was stored is asked of the website.
      gtk_widget_hide(dialog_.get());
      attempt_->JudgeAborted(PageNow(job->address, true));
      continue;
    }
    // No reply that tells: the page may have been stored. The website is asked, not guessed.
    gtk_label_set_text(GTK_LABEL(Label1),
                       "The website did not answer in time. Your changes may have been "
                       "published; Pagequill will check.");
    PostTrouble trouble;
    trouble.answered = reply.ok;
    trouble.status = reply.status;
    trouble.empty = reply.text.empty();
    trouble.timedOut = reply.timedOut;
    trouble.sent = reply.sent;
    trouble.failure = reply.failure;
    g_debug("no reply of the site script to the post of %s: %s", job->file.c_str(),
            reply.failure.c_str());
    attempt_->JudgeFromWebsite(PageNow(job->address, false), WhatHappenedToThePost(trouble));
  }
  if (earlier)
    for (const PublishJob* job : attempt_->StoredJobs()) (*earlier)[job->address] = job->html;
  if (attempt_->Outcome() != PublishOutcome::Succeeded) {
    errorText_ = attempt_->ErrorMessage();
    g_debug("the publication did not succeed: %s", errorText_.c_str());
    conflict_ = attempt_->Outcome() == PublishOutcome::Conflict;
    return;  // closes at once, nothing reloaded
  }
  // Everything was stored, also when a Cancel came during the last post and the check found it
  // stored: the page is marked published and the browse pane reloaded all the same. Only the
  // form itself, which the user sent away, does not come back to watch.
  const bool watched = !cancelled_;
  if (watched) ReloadPage(host_.CurrentOrigURL());
  PublishState = PublishStateValue::Publishing;
  // The browse pane may report after this form has gone; the token tells.
  std::weak_ptr<bool> token = alive_;
  host_.RefreshBrowsePane([this, token] {
    if (!token.expired()) PublishState = PublishStateValue::Idle;
  });
  engine::WaitUntil(
      [this, watched] {
        if (watched && cancelled_) return true;
        return PublishState == PublishStateValue::Idle &&
               (!watched || animation_->Ticks() >= kMinimumTicks);
      },
      kLongestStay);
  PublishState = PublishStateValue::Idle;
}

std::optional<std::string> Publish::PageNow(const std::string& address, bool afterCancel) {
  // After a Cancel the check has a short bound of its own, and the window under the closed form
  // shows that something is still going on.
  const auto deadline = std::chrono::steady_clock::now() + kCheckAfterCancel;
  GtkWindow* parent = gtk_window_get_transient_for(GTK_WINDOW(dialog_.get()));
  GdkWindow* busyWindow = afterCancel && parent ? gtk_widget_get_window(GTK_WIDGET(parent)) : nullptr;
  engine::GObjectPtr<GdkCursor> busy;
  if (busyWindow) {
    busy = engine::GObjectPtr<GdkCursor>(
        gdk_cursor_new_for_display(gdk_window_get_display(busyWindow), GDK_WATCH));
    gdk_window_set_cursor(busyWindow, busy.get());
  }
  FetchedPage current = afterCancel
      ? host_.Fetch(address, [deadline] { return std::chrono::steady_clock::now() > deadline; })
      : host_.Fetch(address, [this] { return cancelled_; });
  if (busyWindow) gdk_window_set_cursor(busyWindow, nullptr);
  if (current.failed || (current.status && current.status != 200)) return std::nullopt;
  return std::move(current.bytes);
}

void Publish::ReloadPage(const std::string& origUrl) {
  if (origUrl.empty()) return;
  bool loaded = false;
  webBrowser_.DocumentComplete = [&loaded](const FramePath& frame, const std::string&) {
    if (frame.empty()) loaded = true;
  };
  webBrowser_.Navigate(origUrl);
  engine::WaitUntil([&] { return loaded || cancelled_; }, kReloadWait);
  webBrowser_.RefreshBypassingCache();
  engine::WaitUntil([&] { return !webBrowser_.Busy() || cancelled_; }, kReloadWait);
  webBrowser_.DocumentComplete = nullptr;
}

}  // namespace pq
