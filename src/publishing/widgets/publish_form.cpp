#include "publishing/widgets/publish_form.h"

#include <chrono>

#include "engine/wait_until.h"
#include "pageprep/time_stamp.h"
#include "pageprep/url_ops.h"
#include "publishing/publish_documents.h"
#include "publishing/widgets/modal_dialog.h"

namespace pq {

namespace {

constexpr auto kReloadWait = std::chrono::seconds(20);
// The browse pane's reload and the minimum display together never keep the form longer.
constexpr auto kLongestStay = std::chrono::seconds(40);

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
  return pq::GetPassKey(siteRoot_, [this](const std::string& url) { return host_.Fetch(url); },
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
  if (anything) {
    // A second editor's change since the page was opened is never overwritten.
    attempt_->CompareWithWebsite([this](const std::string& address) -> std::optional<std::string> {
      FetchedPage page = host_.Fetch(address);
      if (page.bytes.empty()) return std::nullopt;
      return std::move(page.bytes);
    });
  }
  if (anything && attempt_->Conflicts().empty()) {
    const PassKey key = GetPassKey();
    attempt_->Begin(key.ok, key.key, key.error);
  } else {
    attempt_->Begin(false, 0, "");
  }
  const std::string address = siteRoot_ + "/pagequill/";
  while (const PublishJob* job = attempt_->Next()) {
    submit_.SetFields(attempt_->NextFields());
    const engine::PostResult reply = submit_.Submit(address);
    host_.DropCachedCopies(job->origUrl);
    if (reply.ok && PublishAttempt::IsSiteScriptReply(reply.text)) {
      attempt_->Judge(reply.text);  // a Cancel meanwhile stops before the next one
      continue;
    }
    // No reply that tells: the page may have been stored. The website is asked, not guessed.
    gtk_label_set_text(GTK_LABEL(Label1),
                       "The website did not answer in time. Your changes may have been "
                       "published; Pagequill will check.");
    FetchedPage current = host_.Fetch(job->address);
    attempt_->JudgeFromWebsite(current.failed || (current.status && current.status != 200)
                                   ? std::nullopt
                                   : std::optional<std::string>(std::move(current.bytes)));
  }
  if (earlier)
    for (const PublishJob* job : attempt_->StoredJobs()) (*earlier)[job->address] = job->html;
  if (attempt_->Outcome() != PublishOutcome::Succeeded) {
    errorText_ = attempt_->ErrorMessage();
    conflict_ = attempt_->Outcome() == PublishOutcome::Conflict;
    return;  // closes at once, nothing reloaded
  }
  if (cancelled_) return;  // everything was stored: a success the user chose not to watch

  const std::string origUrl = host_.CurrentOrigURL();
  ReloadPage(origUrl);
  PublishState = PublishStateValue::Publishing;
  // The browse pane may report after this form has gone; the token tells.
  std::weak_ptr<bool> token = alive_;
  host_.RefreshBrowsePane([this, token] {
    if (!token.expired()) PublishState = PublishStateValue::Idle;
  });
  engine::WaitUntil(
      [this] {
        return cancelled_ || (PublishState == PublishStateValue::Idle &&
                              animation_->Ticks() >= kMinimumTicks);
      },
      kLongestStay);
  PublishState = PublishStateValue::Idle;
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
